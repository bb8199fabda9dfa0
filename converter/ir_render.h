#pragma once
// Turning a protocol and its parameters into the signal a remote sends.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "converter/ir_protocol.h"

namespace quorvel {

struct Rendered {
    // Alternating, a mark first, the last a space (the lead-out of the last frame).
    Durations durations;
    // For each duration: whether it belongs to a frame's lead-in (the durations before the
    // frame's first bit), which receivers measure less exactly than the rest.
    std::vector<bool> leadIn;
    // Where each frame begins in durations: the first frame, then the repeat frames.
    std::vector<std::size_t> frameStarts;
    std::uint32_t carrierHz = 0;
};

// The first frame followed by `repeats` repeat frames.
Rendered Render(const ProtocolDef& def, const Params& params, int repeats);

// The bit a field sends at position `index` (0 = sent first) for these parameters.
int FieldBit(const ProtocolDef& def, const Item& item, const Params& params, int index);

}  // namespace quorvel
