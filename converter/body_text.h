#pragma once
// The normalised body the program hands to the converter: four-hex-digit groups, marks and
// spaces in microseconds alternating from a mark, "FEFE" <pause in ms> "EDED" where the signal
// paused, and "EDED" at its end (after "FEFE" "0014" when it never paused).

#include <optional>
#include <string>
#include <string_view>

#include "converter/ir_protocol.h"

namespace quorvel {

// Longer bodies come from no capture (a capture holds 2560 groups).
inline constexpr std::size_t kMaxBodyLength = 65536;
// The longest space a body writes as a value; anything longer is a pause.
inline constexpr std::int32_t kLongestBodySpaceUs = 10980;

// The signal of a body, pauses as spaces of whole milliseconds, ending with the last mark (what
// follows it is the silence that ended the capture); nothing when the text is not a body
// (empty, not hex groups, no end, a pause before any mark, a zero duration, ...).
std::optional<Durations> ParseBody(std::string_view body);

// The body the program makes from a capture of exactly this signal (its last space is the
// silence that ends the capture and is not written), down to what a capture cannot hold: a
// mark longer than 21786 us, a space shorter than 58 us, a pause longer than 218 ms, one level
// given twice in a row.
std::string FormatBody(const Durations& signal);

}  // namespace quorvel
