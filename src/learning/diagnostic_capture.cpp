#include "learning/diagnostic_capture.h"

#include <QFile>

#include "platform/app_paths.h"

QString DiagnosticCapturePath() {
    return AppDataFilePath(kDiagnosticCaptureFileName);
}

Result<Done, FileWriteProblem> SaveDiagnosticCapture(std::string_view text, const QString& path) {
    std::string line(text);
    line += "\r\n";
    return WriteWholeFile(path, line);
}

std::string ReadDiagnosticCapture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray line = file.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return std::string(line.constData(), static_cast<std::size_t>(line.size()));
}

std::optional<NormalisedCode> NormaliseKeepingFailures(std::string_view cutText,
                                                       const QString& path) {
    auto code = NormaliseRawCodeParts(cutText);
    if (!code)
        SaveDiagnosticCapture(cutText, path);  // a diagnostic that cannot be kept is no error
    return code;
}

std::optional<NormalisedCode> NormaliseKeepingFailures(std::string_view cutText) {
    auto code = NormaliseRawCodeParts(cutText);
    if (!code)
        SaveDiagnosticCapture(cutText, DiagnosticCapturePath());
    return code;
}

std::optional<NormalisedCode> ReplaySavedCapture(const QString& path) {
    return NormaliseRawCodeParts(CutAtEndMarker(ReadDiagnosticCapture(path)));
}

std::optional<NormalisedCode> ReplaySavedCapture() {
    return ReplaySavedCapture(DiagnosticCapturePath());
}
