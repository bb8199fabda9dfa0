#include "hex_fields.h"

#include <cctype>

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

std::optional<int> HexByteAt(std::string_view hex, std::size_t index) {
    if (index > hex.size() / 2 || hex.size() - 2 * index < 2)
        return std::nullopt;
    return HexNumber(hex.substr(2 * index, 2));
}

std::optional<int> LittleEndianWordAt(std::string_view hex, std::size_t index) {
    const std::optional<int> low = HexByteAt(hex, index);
    const std::optional<int> high = HexByteAt(hex, index + 1);
    if (!low || !high)
        return std::nullopt;
    return *high * 256 + *low;
}

std::optional<std::string> HexBytesAt(std::string_view hex, std::size_t index, std::size_t count) {
    if (index > hex.size() / 2 || count > (hex.size() - 2 * index) / 2)
        return std::nullopt;
    std::string bytes(hex.substr(2 * index, 2 * count));
    if (!IsHexText(bytes))
        return std::nullopt;
    for (char& c : bytes)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return bytes;
}

int TranslateDevicePointer(int word, int directoryAddress, int pointerBias) {
    return word >= pointerBias ? word - pointerBias : word + directoryAddress;
}

std::optional<std::string> UnpackCodeAreaBitmap(std::string_view hex) {
    std::string bits;
    bits.reserve(hex.size() * 4);
    for (char c : hex) {
        const int digit = DigitValue(c);
        if (digit < 0)
            return std::nullopt;
        for (int bit = 3; bit >= 0; --bit)
            bits.push_back((digit >> bit) & 1 ? '1' : '0');
    }
    return bits;
}
