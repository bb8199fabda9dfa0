#include "converter/hex_text.h"

#include "common/hex_digits.h"

namespace quorvel {

std::optional<std::uint32_t> ParseHexDigits(std::string_view text) {
    return hex::ParseDigits(text);
}

void AppendHex(std::string& out, std::uint32_t value, int digits) {
    hex::AppendDigits(out, value, digits);
}

std::string HexOfBytes(const Bytes& bytes) {
    return hex::FormatBytes(bytes);
}

std::optional<Bytes> BytesOfHex(std::string_view text) {
    return hex::ParseBytes(text);
}

}  // namespace quorvel
