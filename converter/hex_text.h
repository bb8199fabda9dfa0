#pragma once
// Upper-case hex text, the form of every record the converter writes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

using Bytes = std::vector<std::uint8_t>;

// The value of 1 to 8 hex digits (either case); nothing for any other text.
std::optional<std::uint32_t> ParseHexDigits(std::string_view text);
// Appends value as exactly `digits` upper-case hex digits.
void AppendHex(std::string& out, std::uint32_t value, int digits);
std::string HexOfBytes(const Bytes& bytes);
// The bytes of an even-length hex text; nothing for any other text.
std::optional<Bytes> BytesOfHex(std::string_view text);

}  // namespace quorvel
