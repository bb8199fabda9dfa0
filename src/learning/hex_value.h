#pragma once
// Reading short hex fields of device text and slot texts without trusting them.

#include <algorithm>
#include <optional>
#include <string_view>

// The value of one hex digit (either case), or -1.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

inline bool IsHexText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return HexDigitValue(c) >= 0; });
}

// One to four hex digits as a number; none when empty, longer or not hex.
inline std::optional<int> HexValue(std::string_view digits) {
    if (digits.empty() || digits.size() > 4)
        return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}
