#pragma once
// lircd.conf: remote blocks ("begin remote" ... "end remote"), each a description of the
// remote's timing followed by its buttons, as codes ("begin codes": a name and the hex value of
// the frame's data part) or as raw timings ("begin raw_codes": "name", then microseconds from
// a pulse). A '#' starts a comment. A coded button is rendered into durations from the
// description: header, plead, pre_data, pre, the code's bits, post, post_data, ptrail, then
// the gap (with CONST_LENGTH, the whole frame's length), and min_repeat repeat frames (the
// repeat pulse and space where there is one). Bits go most significant first unless REVERSE;
// SPACE_ENC sends a bit as pulse and space, RC5 (SHIFT_ENC) a one as space then pulse, RC6 a
// one as pulse then space with the bits of rc6_mask (by default the fifth bit of the frame, the
// trailer bit) twice as long. Encodings other than these are refused with their line.

#include <string_view>

#include "converter/code_collection.h"

namespace quorvel {

CollectionReading ReadLircdFile(std::string_view text);

}  // namespace quorvel
