#include "sim_hex.h"

#include <utility>

namespace sim {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool ParseTwoHexDigits(const char* text, int& value) {
    if (text == nullptr || text[0] == '\0' || text[1] == '\0' || text[2] != '\0')
        return false;
    const int high = HexDigitValue(text[0]);
    const int low = HexDigitValue(text[1]);
    if (high < 0 || low < 0)
        return false;
    value = high * 16 + low;
    return true;
}

bool DecodeHexBytes(std::string_view text, std::vector<std::uint8_t>& bytes) {
    if (text.empty() || text.size() % 2 != 0)
        return false;
    std::vector<std::uint8_t> decoded(text.size() / 2);
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        const int high = HexDigitValue(text[2 * i]);
        const int low = HexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        decoded[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    bytes = std::move(decoded);
    return true;
}

std::string EncodeHexBytes(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(2 * count, '0');
    for (std::size_t i = 0; i < count; ++i) {
        text[2 * i] = kDigits[bytes[i] >> 4];
        text[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    return text;
}

}  // namespace sim
