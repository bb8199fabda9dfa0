#include "device/hex_fields.h"

#include "common/hex_digits.h"

bool IsHexText(std::string_view text) {
    for (char c : text)
        if (hex::DigitValue(c) < 0)
            return false;
    return true;
}

std::optional<int> HexNumber(std::string_view digits) {
    // Seven digits keep every value inside an int.
    if (digits.size() > 7)
        return std::nullopt;
    const std::optional<std::uint32_t> value = hex::ParseDigits(digits);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<std::vector<std::uint8_t>> DecodeHexBytes(std::string_view hex) {
    return hex::ParseBytes(hex);
}
