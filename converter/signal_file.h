#pragma once
// What the signal file writers take: each signal with the name a file gives it (for a remote's
// keys, the key's code). One writer per format, each in a file of its own: pronto_file.h,
// protocol_text_file.h, flipper_file.h.

#include <cstdint>
#include <string>

#include "converter/ir_render.h"

namespace quorvel {

struct NamedSignal {
    std::string name;
    Rendered signal;
};

// The carrier a file states for a signal whose carrier was never measured.
inline constexpr std::uint32_t kUsualCarrierHz = 38000;

}  // namespace quorvel
