#pragma once
// Signals as a lircd.conf: one remote block of raw codes for each carrier the signals use (the
// first named `remoteName`, the others after it and their carrier), each signal under its
// name as microseconds from a pulse to its last pulse; the block's gap is the longest silence
// that ends one of its signals. lircd_reader.h reads it back.

#include <string>
#include <vector>

#include "converter/signal_file.h"

namespace quorvel {

std::string WriteLircdFile(const std::string& remoteName,
                           const std::vector<NamedSignal>& namedSignals);

}  // namespace quorvel
