#pragma once
// Signals as people and other tools write them: microseconds and Pronto hex.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "converter/ir_protocol.h"

namespace quorvel {

struct TextSignal {
    Durations durations;
    std::uint32_t carrierHz = 0;  // 0: not stated
};

// "+9024 -4512 +564 ...": signed microseconds, separated by blanks or commas.
std::string FormatMicroseconds(const Durations& signal);
// Signed microseconds (a plus or no sign for a mark, a minus for a space), or unsigned ones that
// alternate from a mark. Nothing when the text holds anything else or no duration.
std::optional<TextSignal> ParseMicroseconds(std::string_view text);

// Pronto hex: "0000", the carrier word, the pair counts of the once and the repeat sequence,
// then the durations in carrier periods.
std::string FormatPronto(const Durations& once, const Durations& repeat, std::uint32_t carrierHz);
// The once sequence followed by one repeat sequence; nothing when the text is not Pronto hex
// of the learned ("0000") kind.
std::optional<TextSignal> ParsePronto(std::string_view text);

}  // namespace quorvel
