#include "learning/converter_library.h"

#include <QCoreApplication>
#include <QLibrary>

#include "converter/quorvel.h"

namespace {

using ConvertCodeEntry = const char*(QUORVEL_CALL*)(const char* input, int32_t mode);

// QLibrary adds lib….so or .dll. A bare name would be looked for by dlopen from Qt's own
// library, which ignores the program's RUNPATH; the full path finds the converter beside it.
QString ConverterPath(const QString& folder) {
#if defined(Q_OS_WIN)
    return folder + QStringLiteral("/Quorvel");
#else
    return folder + QStringLiteral("/quorvel");
#endif
}

}  // namespace

QString ConverterFolder() {
    return QCoreApplication::applicationDirPath();
}

Conversion ConvertWithLibrary(std::string_view body, const QString& folder) {
    QLibrary library(ConverterPath(folder));
    if (!library.load())
        return {ConversionStatus::kNoConverter, {}};
    const auto convert = reinterpret_cast<ConvertCodeEntry>(library.resolve("ConvertCode"));
    if (convert == nullptr) {
        library.unload();
        return {ConversionStatus::kNoConverter, {}};
    }
    // The converter takes a zero-terminated text; the body is copied so that it has one.
    const std::string input(body);
    try {
        const char* result = convert(input.c_str(), QUORVEL_MODE);
        if (result == nullptr) {
            library.unload();
            return {ConversionStatus::kFailedInside, {}};
        }
        // Copied at once: the text is the library's, valid only until its next call.
        return {ConversionStatus::kConverted, std::string(result)};
    } catch (...) {
        library.unload();
        return {ConversionStatus::kFailedInside, {}};
    }
}

Conversion ConvertWithLibrary(std::string_view body) {
    return ConvertWithLibrary(body, ConverterFolder());
}
