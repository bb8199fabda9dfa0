#include "converter/body_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "converter/hex_text.h"
#include "converter/ir_decode.h"

namespace quorvel {
namespace {

constexpr std::uint32_t kPauseStart = 0xFEFE;
constexpr std::uint32_t kPauseEnd = 0xEDED;
// What a capture can hold, as the normaliser reads it back. The longest mark is two full mark
// groups (2 x 7FFF thirds of a microsecond, less the receiver's excess of 58 us); no space comes
// out shorter than that excess, which the receiver took off and the normaliser adds back; and a
// pause of twenty 7FFF groups would read as the end, so the longest is nineteen and a rest.
constexpr std::int32_t kLongestMarkUs = 21786;
constexpr std::int32_t kShortestSpaceUs = 58;
constexpr std::int32_t kLongestPauseMs = 218;

}  // namespace

std::optional<Durations> ParseBody(std::string_view body) {
    if (body.empty() || body.size() % 4 != 0 || body.size() > kMaxBodyLength)
        return std::nullopt;
    const std::size_t groups = body.size() / 4;
    Durations signal;
    signal.reserve(groups);
    bool expectMark = true;
    for (std::size_t g = 0; g < groups; ++g) {
        const auto value = ParseHexDigits(body.substr(4 * g, 4));
        if (!value)
            return std::nullopt;
        if (*value == kPauseEnd)
            return g + 1 == groups && !signal.empty() ? std::optional<Durations>(signal)
                                                      : std::nullopt;
        if (*value == kPauseStart) {
            if (g + 2 >= groups || signal.empty())
                return std::nullopt;
            const auto pause = ParseHexDigits(body.substr(4 * (g + 1), 4));
            const auto close = ParseHexDigits(body.substr(4 * (g + 2), 4));
            if (!pause || *pause == 0 || *pause >= 0x8000 || !close || *close != kPauseEnd)
                return std::nullopt;
            g += 2;
            // The last "EDED" closes both the final pause and the body. That pause is no
            // measurement (the capture ended in silence), so the signal ends at its last mark.
            if (g + 1 == groups)
                return signal;
            const std::int32_t us = static_cast<std::int32_t>(*pause) * 1000;
            if (expectMark)  // a pause after a space lengthens it, up to what a duration holds
                signal.back() = static_cast<std::int32_t>(std::max<std::int64_t>(
                    std::int64_t{signal.back()} - us, -std::numeric_limits<std::int32_t>::max()));
            else
                signal.push_back(-us);
            expectMark = true;
            continue;
        }
        if (*value == 0 || *value >= 0x8000)
            return std::nullopt;
        const auto us = static_cast<std::int32_t>(*value);
        signal.push_back(expectMark ? us : -us);
        expectMark = !expectMark;
    }
    return std::nullopt;  // no end
}

std::string FormatBody(const Durations& given) {
    // A receiver sees levels, not durations: one level given twice is one duration to it.
    const Durations signal = Tidy(given);
    std::string body;
    bool paused = false;
    std::size_t count = signal.size();
    if (count > 0 && signal[count - 1] < 0)
        --count;  // the end of the capture
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t d = signal[i];
        if (d > 0) {
            AppendHex(body, static_cast<std::uint32_t>(std::clamp(d, 1, kLongestMarkUs)), 4);
        } else if (-d <= kLongestBodySpaceUs) {
            AppendHex(body, static_cast<std::uint32_t>(std::max(-d, kShortestSpaceUs)), 4);
        } else {
            AppendHex(body, kPauseStart, 4);
            AppendHex(body, static_cast<std::uint32_t>(std::min(-d / 1000, kLongestPauseMs)), 4);
            AppendHex(body, kPauseEnd, 4);
            paused = true;
        }
    }
    if (!paused)
        body += "FEFE0014";
    body += "EDED";
    return body;
}

}  // namespace quorvel
