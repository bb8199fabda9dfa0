#pragma once
// One learning attempt after the capture: cut and normalise the raw capture, convert its body
// with the converter library, and write the learned code into the remote. Shared by the window
// and the command-line tool; it shows nothing, and the caller turns the outcome into words.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "device/remote_tables.h"
#include "learning/converter_library.h"
#include "learning/write_learned_code.h"

class DeviceLibrary;
struct RemoteMap;

struct CaptureLearning {
    // The normalised text (frame count, carrier field, body), empty when the capture could not
    // be normalised; its input was then kept in the diagnostic file, when diagnosticKept.
    std::string normalised;
    bool diagnosticKept = false;
    Conversion conversion;
    // What writing the code did; none when the converter gave no result to write (it is
    // missing, or failed inside its call).
    std::optional<LearnResult> learned;

    bool Succeeded() const { return learned && Learned(learned->outcome); }
};

// Learns `capture` into the key `keyCode`. The converter is loaded from `converterFolder`; the
// converter's empty answer is written as nothing (a malformed result). leaked: whether leaked
// code-table entries may be reclaimed to make room (write_learned_code.h).
CaptureLearning LearnCapture(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                             std::string_view capture, const QString& converterFolder,
                             LeakedEntries leaked = LeakedEntries::kLeftAlone);
