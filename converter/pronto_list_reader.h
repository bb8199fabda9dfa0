#pragma once
// Pronto codes, one a line after the button's name and a tab (or a blank), as remotectl export
// writes them; '#' lines are comments. Besides the learned form ("0000", a carrier word, the
// pair counts, then durations in carrier periods) Pronto has short forms that name a protocol:
// "0100" (the learned form unmodulated: read, though a remote cannot send it), "5000" RC5
// (device, function), "5001" RC5x (device, function, data), "6000" RC6 mode 0 (device,
// function) and "900A" NEC (device and sub-device in one word, then the function and its
// complement). The short forms' carrier word is not read: each protocol has its own.

#include <string_view>

#include "converter/code_collection.h"

namespace quorvel {

// One Pronto code in any of the forms above, or why it is none.
Result<ButtonSignal> ParseProntoCode(std::string_view text);

// Whether a line looks like a name followed by a Pronto code of these forms.
bool LooksLikeProntoLine(std::string_view line);

CollectionReading ReadProntoList(std::string_view text);

}  // namespace quorvel
