#include "hex_text.h"

#include <array>

namespace quorvel {
namespace {

// Every body and record goes through these digit by digit, so a table answers: the raw path
// of the converter spends a good part of its time here.
constexpr std::array<std::int8_t, 256> MakeDigitTable() {
    std::array<std::int8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = static_cast<std::int8_t>(c >= '0' && c <= '9'   ? c - '0'
                                            : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                            : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                   : -1);
    }
    return table;
}
constexpr std::array<std::int8_t, 256> kDigitValues = MakeDigitTable();

int DigitValue(char c) {
    return kDigitValues[static_cast<unsigned char>(c)];
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
    if (digits <= 0)
        return;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(digits));
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        out[at + static_cast<std::size_t>(i)] = kDigits[value & 0xF];
}

std::string HexOfBytes(const Bytes& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out(2 * bytes.size(), '0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0xF];
    }
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
