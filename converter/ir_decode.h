#pragma once
// Naming the protocol and parameters of a received signal.

#include <cstdint>
#include <optional>

#include "converter/ir_protocol.h"

namespace quorvel {

struct Decoded {
    const ProtocolDef* def = nullptr;
    Params params;
    int repeats = 0;  // repeat frames that followed the first frame
};

// The first protocol of the table that explains the whole signal, frame by frame; a space that
// ends the signal is where its recording stopped and counts for nothing. Failing that, the
// first that explains it but for a last copy cut off part-way, which repeats leaves out.
// carrierHz is the carrier the receiver measured, 0 when unknown; it only decides between
// protocols that differ in nothing else.
std::optional<Decoded> Decode(const Durations& signal, std::uint32_t carrierHz = 0);

// The same for one protocol.
std::optional<Decoded> DecodeAs(const ProtocolDef& def, const Durations& signal);

// The signal with neighbours of the same level merged (saturating), zero durations dropped and
// leading spaces removed.
Durations Tidy(const Durations& signal);

// Frames of a signal no protocol explains: runs of durations separated by spaces of at least
// 10 ms.
int CountFrames(const Durations& signal);

}  // namespace quorvel
