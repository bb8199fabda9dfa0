#pragma once
// A Flipper Zero infrared signal file ("Filetype: IR signals file", version 1). A signal goes
// as a raw one under its name, its durations unsigned and alternating from a mark, or, when
// asked for and one of Flipper's protocols sends exactly what the decoder reads in it, as a
// parsed one (collection_protocols.h names them).

#include <string>
#include <vector>

#include "converter/signal_file.h"

namespace quorvel {

enum class FlipperSignals {
    kRawOnly,
    kParsedWhereFits,
};

// The whole file; the usual carrier for a raw signal whose carrier was not measured.
std::string WriteFlipperFile(const std::vector<NamedSignal>& namedSignals,
                             FlipperSignals form = FlipperSignals::kRawOnly);

}  // namespace quorvel
