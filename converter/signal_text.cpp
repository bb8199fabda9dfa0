#include "converter/signal_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "converter/hex_text.h"

namespace quorvel {
namespace {

// Pronto's carrier word counts periods of this many microseconds.
constexpr double kProntoClockUs = 0.241246;
constexpr double kDefaultCarrierHz = 38000;
constexpr long kLongestUs = 10'000'000;

std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() &&
               (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == ','))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) &&
               text[i] != ',')
            ++i;
        if (i > start)
            tokens.push_back(text.substr(start, i - start));
    }
    return tokens;
}

// Pushes one duration, merging it into the last one of the same level; false when the merged
// duration would be longer than any duration of a signal.
bool Push(Durations& signal, std::int32_t d) {
    if (signal.empty() || (signal.back() > 0) != (d > 0)) {
        signal.push_back(d);
        return true;
    }
    const std::int64_t merged = std::int64_t{signal.back()} + d;
    if (merged > kLongestUs || merged < -kLongestUs)
        return false;
    signal.back() = static_cast<std::int32_t>(merged);
    return true;
}

}  // namespace

std::string FormatMicroseconds(const Durations& signal) {
    std::string text;
    for (std::int32_t d : signal) {
        if (!text.empty())
            text += ' ';
        text += d > 0 ? "+" : "-";
        text += std::to_string(std::abs(static_cast<long long>(d)));
    }
    return text;
}

std::optional<TextSignal> ParseMicroseconds(std::string_view text) {
    const auto tokens = Tokens(text);
    if (tokens.empty())
        return std::nullopt;
    bool signedForm = false;
    for (std::string_view token : tokens)
        signedForm = signedForm || token[0] == '+' || token[0] == '-';
    TextSignal out;
    bool mark = true;
    for (std::string_view token : tokens) {
        bool negative = false;
        if (token[0] == '+' || token[0] == '-') {
            negative = token[0] == '-';
            token.remove_prefix(1);
        }
        if (token.empty() || token.size() > 8)
            return std::nullopt;
        long value = 0;
        for (char c : token) {
            if (!std::isdigit(static_cast<unsigned char>(c)))
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
        if (value == 0 || value > kLongestUs)
            return std::nullopt;
        const bool isMark = signedForm ? !negative : mark;
        if (!Push(out.durations, static_cast<std::int32_t>(isMark ? value : -value)))
            return std::nullopt;
        mark = !mark;
    }
    return out;
}

std::string FormatPronto(const Durations& once, const Durations& repeat, std::uint32_t carrierHz) {
    const double carrier = carrierHz ? carrierHz : kDefaultCarrierHz;
    const auto word = static_cast<std::uint32_t>(std::lround(1e6 / (carrier * kProntoClockUs)));
    const double periodUs = word * kProntoClockUs;
    std::string text = "0000 ";
    AppendHex(text, word, 4);
    std::vector<std::uint32_t> counts;
    auto add = [&](const Durations& part) {
        for (std::int32_t d : part) {
            const long periods = std::lround(std::abs(static_cast<double>(d)) / periodUs);
            counts.push_back(static_cast<std::uint32_t>(std::clamp(periods, 1L, 0xFFFFL)));
        }
        if (part.size() % 2 == 1)
            counts.push_back(1);  // a sequence ends with a space
    };
    add(once);
    const std::size_t onceCount = counts.size();
    add(repeat);
    text += ' ';
    AppendHex(text, static_cast<std::uint32_t>(onceCount / 2), 4);
    text += ' ';
    AppendHex(text, static_cast<std::uint32_t>((counts.size() - onceCount) / 2), 4);
    for (std::uint32_t c : counts) {
        text += ' ';
        AppendHex(text, c, 4);
    }
    return text;
}

std::optional<TextSignal> ParsePronto(std::string_view text) {
    const auto tokens = Tokens(text);
    if (tokens.size() < 6)
        return std::nullopt;
    std::vector<std::uint32_t> words;
    for (std::string_view token : tokens) {
        const auto word = token.size() == 4 ? ParseHexDigits(token) : std::nullopt;
        if (!word)
            return std::nullopt;
        words.push_back(*word);
    }
    const std::size_t pairs = words[2] + words[3];
    if (words[0] != 0 || words[1] == 0 || pairs == 0 || words.size() != 4 + 2 * pairs)
        return std::nullopt;
    const double periodUs = words[1] * kProntoClockUs;
    TextSignal out;
    out.carrierHz = static_cast<std::uint32_t>(std::lround(1e6 / periodUs));
    for (std::size_t i = 0; i < 2 * pairs; ++i) {
        if (words[4 + i] == 0)
            return std::nullopt;
        const auto us = static_cast<std::int32_t>(std::lround(words[4 + i] * periodUs));
        Push(out.durations, i % 2 == 0 ? us : -us);  // alternates: never merges
    }
    return out;
}

}  // namespace quorvel
