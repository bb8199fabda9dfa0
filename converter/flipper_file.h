#pragma once
// A Flipper Zero infrared signal file ("Filetype: IR signals file", version 1): every signal a
// raw one under its name, its durations unsigned and alternating from a mark.

#include <string>
#include <vector>

#include "converter/signal_file.h"

namespace quorvel {

// The whole file; the usual carrier for a signal whose carrier was not measured.
std::string WriteFlipperFile(const std::vector<NamedSignal>& namedSignals);

}  // namespace quorvel
