#include "hex_digits.h"

namespace hex {
namespace {

constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr std::size_t kMaxDigits = 8;  // what a std::uint32_t holds

}  // namespace

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::uint32_t> ParseDigits(std::string_view text) {
    if (text.empty() || text.size() > kMaxDigits)
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

std::optional<std::uint32_t> ParseFixedDigits(std::string_view text, std::size_t count) {
    if (text.size() != count)
        return std::nullopt;
    return ParseDigits(text);
}

std::optional<std::vector<std::uint8_t>> ParseBytes(std::string_view text) {
    if (text.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
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

std::string FormatBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(2 * bytes.size());
    for (std::uint8_t byte : bytes)
        AppendDigits(text, byte, 2);
    return text;
}

void AppendDigits(std::string& out, std::uint32_t value, int width) {
    for (int i = width - 1; i >= 0; --i)
        out.push_back(kUpperDigits[(value >> (4 * i)) & 0xF]);
}

std::string FormatDigits(std::uint32_t value, int width) {
    std::string text;
    text.reserve(width > 0 ? static_cast<std::size_t>(width) : 0);
    AppendDigits(text, value, width);
    return text;
}

}  // namespace hex
