#pragma once
// The code converter (libquorvel, Quorvel.dll on Windows), loaded by its file name from the
// program's folder at every learning attempt, so that a converter replaced beside the program
// is the one the next attempt uses. After a successful call the library stays loaded: the
// platform's reference count keeps one copy however often it is loaded again.

#include <QString>
#include <string>
#include <string_view>

enum class ConversionStatus {
    kConverted,     // the converter answered; its text may be empty (it cannot convert this)
    kNoConverter,   // the library or its entry point is missing: the text is empty
    kFailedInside,  // the call threw or gave no text at all: the attempt ends without a box
};

struct Conversion {
    ConversionStatus status = ConversionStatus::kNoConverter;
    std::string text;  // the converter's result, copied: the library owns what it returns
};

// The folder the converter is loaded from: the program's own (QCoreApplication must exist).
QString ConverterFolder();

// Converts the body of a normalised capture with the converter in `folder`.
Conversion ConvertWithLibrary(std::string_view body, const QString& folder);
Conversion ConvertWithLibrary(std::string_view body);
