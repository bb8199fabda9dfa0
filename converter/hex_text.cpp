#include "hex_text.h"

namespace quorvel {
namespace {

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::optional<std::uint32_t> ParseHexDigits(std::string_view text) {
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        const int digit = DigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

void AppendHex(std::string& out, std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i)
        out.push_back(kDigits[(value >> (4 * i)) & 0xF]);
}

std::string HexOfBytes(const Bytes& bytes) {
    std::string out;
    out.reserve(2 * bytes.size());
    for (std::uint8_t b : bytes)
        AppendHex(out, b, 2);
    return out;
}

std::optional<Bytes> BytesOfHex(std::string_view text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    Bytes bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = DigitValue(text[i]);
        const int low = DigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

}  // namespace quorvel
