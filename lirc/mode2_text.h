#pragma once
// The text that LIRC's mode2 and `ir-ctl --mode2` print of a stream, one value a line:
//   pulse 9000
//   space 4500
//   timeout 125000
//   carrier 38000        (also "frequency 38000")
// Each line stands for one value of the binary stream, so the text goes through the same
// Mode2Assembler as the device's bytes and ends its signals by the same rules.

#include <cstdint>
#include <optional>
#include <string_view>

namespace lirc {

enum class TextLineKind {
    kValue,     // value holds the line's mode2 value
    kNotMode2,  // the line is of another kind of text
    kBadValue,  // a mode2 word with no number, or one past 24 bits
};

struct TextLine {
    TextLineKind kind = TextLineKind::kNotMode2;
    std::uint32_t value = 0;
};

TextLine ReadMode2TextLine(std::string_view line);

// The number of a comment such as "# carrier 38000" or "# timeout 125000" (as ir-ctl ends a
// line with them; "Hz" after the number is allowed): the mode2 value it stands for.
std::optional<std::uint32_t> Mode2ValueOfComment(std::string_view comment);

}  // namespace lirc
