#include "lirc/mode2_text.h"

#include <linux/lirc.h>

#include <array>
#include <cctype>
#include <utility>

namespace lirc {
namespace {

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 5> kWords = {{
    {"pulse", LIRC_MODE2_PULSE},
    {"space", LIRC_MODE2_SPACE},
    {"timeout", LIRC_MODE2_TIMEOUT},
    {"carrier", LIRC_MODE2_FREQUENCY},
    {"frequency", LIRC_MODE2_FREQUENCY},
}};

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// "9000", or "38000Hz" for a carrier; nothing past the 24 bits a value holds.
std::optional<std::uint32_t> Number(std::string_view text, bool hertz) {
    if (hertz && text.size() > 2 && (text.substr(text.size() - 2) == "Hz"))
        text.remove_suffix(2);
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (value > LIRC_VALUE_MASK)
        return std::nullopt;
    return value;
}

}  // namespace

TextLine ReadMode2TextLine(std::string_view line) {
    line = Trimmed(line);
    std::size_t wordEnd = 0;
    while (wordEnd < line.size() && !IsBlank(line[wordEnd]))
        ++wordEnd;
    const std::string_view word = line.substr(0, wordEnd);
    for (const auto& [name, type] : kWords) {
        if (word != name)
            continue;
        const auto number = Number(Trimmed(line.substr(wordEnd)), type == LIRC_MODE2_FREQUENCY);
        if (!number)
            return {TextLineKind::kBadValue, 0};
        return {TextLineKind::kValue, type | *number};
    }
    return {TextLineKind::kNotMode2, 0};
}

std::optional<std::uint32_t> Mode2ValueOfComment(std::string_view comment) {
    comment = Trimmed(comment);
    if (!comment.empty() && comment.front() == '#')
        comment.remove_prefix(1);
    const TextLine line = ReadMode2TextLine(comment);
    const std::uint32_t type = LIRC_MODE2(line.value);
    if (line.kind != TextLineKind::kValue ||
        (type != LIRC_MODE2_TIMEOUT && type != LIRC_MODE2_FREQUENCY))
        return std::nullopt;
    return line.value;
}

}  // namespace lirc
