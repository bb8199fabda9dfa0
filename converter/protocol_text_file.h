#pragma once
// Signals as the protocol and parameters that explain them ("NEC1 D=4 S=251 F=8", the words
// irtool render reads back), or as microseconds when no protocol does: one a line after its
// name and a tab. remotectl export calls this format irp.

#include <string>
#include <vector>

#include "converter/ir_decode.h"
#include "converter/ir_render.h"
#include "converter/signal_file.h"

namespace quorvel {

// "NEC1 D=4 S=251 F=8": the protocol's name and each parameter it carries, in decimal.
std::string ProtocolText(const Decoded& decoded);

// The protocol text of the signal as the decoder reads it, or "raw" and its signed
// microseconds.
std::string SignalProtocolText(const Rendered& signal);

// "NAME<tab>TEXT" for each signal, each line ending in a newline.
std::string WriteProtocolTextFile(const std::vector<NamedSignal>& namedSignals);

}  // namespace quorvel
