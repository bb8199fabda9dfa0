#include "common/hex_digits.h"

#include <array>

namespace hex {
namespace {

constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr std::size_t kMaxDigits = 8;  // what a std::uint32_t holds

// Every converter body and record goes through these digit by digit, so a table answers: the
// converter's raw path spends a good part of its time here.
constexpr std::array<std::int8_t, 256> MakeDigitTable() {
    std::array<std::int8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] =
            static_cast<std::int8_t>(c >= '0' && c <= '9'   ? c - '0'
                                     : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                     : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                            : -1);
    }
    return table;
}
constexpr std::array<std::int8_t, 256> kDigitValues = MakeDigitTable();

}  // namespace

int DigitValue(char c) {
    return kDigitValues[static_cast<unsigned char>(c)];
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
    std::string text(2 * bytes.size(), '0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        text[2 * i] = kUpperDigits[bytes[i] >> 4];
        text[2 * i + 1] = kUpperDigits[bytes[i] & 0xF];
    }
    return text;
}

void AppendDigits(std::string& out, std::uint32_t value, int width) {
    if (width <= 0)
        return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(width));
    for (int i = width - 1; i >= 0; --i, value >>= 4)
        out[at + static_cast<std::size_t>(i)] = kUpperDigits[value & 0xF];
}

std::string FormatDigits(std::uint32_t value, int width) {
    std::string text;
    text.reserve(width > 0 ? static_cast<std::size_t>(width) : 0);
    AppendDigits(text, value, width);
    return text;
}

}  // namespace hex
