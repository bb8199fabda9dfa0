#pragma once
// The diagnostic copy of a capture that could not be normalised: a file in the user's
// application data folder, replaced by each failure, holding the failed input as its only
// line. A support person replays it with the hidden replay button or `irtool normalise`.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "learning/normalise.h"
#include "platform/whole_file_writer.h"

inline const QString kDiagnosticCaptureFileName = QStringLiteral("123.txt");

// The diagnostic file in the user's application data folder (made when missing).
QString DiagnosticCapturePath();

// Replaces the file at path with text and a carriage return and line feed, bytes as they are
// (zero characters of the capture buffer included, so a replay sees the same input). The old
// file stays whole when writing fails (platform/whole_file_writer.h), and the reason is given.
Result<Done, FileWriteProblem> SaveDiagnosticCapture(std::string_view text, const QString& path);

// The first line of the file at path, without its line end; empty when the file is missing
// or cannot be read.
std::string ReadDiagnosticCapture(const QString& path);

// Normalisation as the learning pipeline runs it: a failure leaves its input in the diagnostic
// file at path. A file that cannot be written changes nothing else: the result is still empty.
std::optional<NormalisedCode> NormaliseKeepingFailures(std::string_view cutText,
                                                       const QString& path);
// The same with the user's diagnostic file, whose path is looked up only on failure.
std::optional<NormalisedCode> NormaliseKeepingFailures(std::string_view cutText);

// Cuts and normalises the first line of the diagnostic file again, so that a saved capture can
// be followed under a debugger. The file is only read: a replay that fails again must not
// replace the capture it was asked to show. A missing file replays as an empty line.
std::optional<NormalisedCode> ReplaySavedCapture(const QString& path);
std::optional<NormalisedCode> ReplaySavedCapture();
