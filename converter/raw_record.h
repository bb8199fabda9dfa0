#pragma once
// A signal no protocol explains, as a timing table and a sequence of indices (the "R" record of
// quorvel_record.h).

#include <cstddef>
#include <optional>

#include "converter/hex_text.h"
#include "converter/ir_protocol.h"

namespace quorvel {

// Nothing when the signal is empty or its record would exceed maxBytes.
std::optional<Bytes> EncodeRaw(const Durations& signal, std::size_t maxBytes);
// Nothing when data is not a well-formed raw record.
std::optional<Durations> DecodeRaw(const Bytes& data);

}  // namespace quorvel
