#include "hex_fields.h"

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

bool IsHexText(std::string_view text) {
    for (char c : text)
        if (DigitValue(c) < 0)
            return false;
    return true;
}

std::optional<int> HexNumber(std::string_view digits) {
    // Seven digits keep every value inside an int.
    if (digits.empty() || digits.size() > 7)
        return std::nullopt;
    int value = 0;
    for (char c : digits) {
        const int digit = DigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

std::optional<std::vector<std::uint8_t>> DecodeHexBytes(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = DigitValue(hex[i]);
        const int low = DigitValue(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}
