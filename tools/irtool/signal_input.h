#pragma once
// Signals as irtool reads them from text, and the protocol line it prints of one: shared by
// decode, which names every signal of a text, send, which sends the signals of a file, and
// receive --decode.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "converter/ir_decode.h"
#include "converter/ir_protocol.h"

struct ReadSignal {
    quorvel::Durations durations;
    std::uint32_t carrierHz = 0;  // 0: not stated
};

// The protocol line of a signal, or "unknown frames=N" when no protocol explains it.
std::string DecodedLine(const quorvel::Durations& signal, std::uint32_t carrierHz);

// One signal in any of the one-line forms, told apart by their look: signed or alternating
// microseconds (as ir-ctl prints them, a "# carrier 38000" comment giving the carrier), Pronto
// hex, a raw capture, a normalised body or code.
std::optional<ReadSignal> ReadSignalText(const std::string& line);

// Every signal of a text: one a line in the forms above, or runs of mode2 lines ("pulse 9000",
// "space 4500", "timeout 125000", "carrier 38000") that end where a signal of the stream would.
struct SignalInText {
    int line = 0;                      // where the signal ends (its only line, mostly)
    std::optional<ReadSignal> signal;  // nothing: the line holds no signal irtool reads
};
std::vector<SignalInText> ReadSignalList(const std::string& text);
