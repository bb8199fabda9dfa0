#pragma once
// Signals as Pronto hex, one a line after its name and a tab.

#include <string>
#include <vector>

#include "converter/ir_render.h"
#include "converter/signal_file.h"

namespace quorvel {

// The first frame as Pronto's once sequence and the repeat frames as its repeat sequence (a
// signal without frames of its own, such as a raw record's, all once); the usual carrier when
// none was measured.
std::string ProntoText(const Rendered& signal);

// "NAME<tab>PRONTO HEX" for each signal, each line ending in a newline.
std::string WriteProntoFile(const std::vector<NamedSignal>& namedSignals);

}  // namespace quorvel
