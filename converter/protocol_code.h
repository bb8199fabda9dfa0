#pragma once
// A protocol's definition as code data, for remotes that lack the protocol (the "P" record of
// quorvel_record.h).

#include <optional>

#include "converter/hex_text.h"
#include "converter/ir_protocol.h"

namespace quorvel {

Bytes EncodeProtocol(const ProtocolDef& def);
// The definition stored in data, named after the table's protocol of the same id when there is
// one; nothing when data is not a well-formed definition.
std::optional<ProtocolDef> DecodeProtocol(const Bytes& data, std::uint8_t id);

}  // namespace quorvel
