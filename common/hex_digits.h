#pragma once
// Hex text as the remote's memory and the converter's records carry it: two digits per byte,
// either case read, upper case written. Nothing here trusts its input: a character that is not
// a hex digit is an answer (nothing, or -1), never undefined behaviour.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hex {

// The value of one hex digit (either case), or -1 for any other character.
int DigitValue(char c);

// The value of 1 to 8 hex digits; nothing for an empty text, a longer one or one that is not
// all hex digits.
std::optional<std::uint32_t> ParseDigits(std::string_view text);
// The value of exactly `count` hex digits (1 to 8), such as the two of a bank or an address
// half; nothing for any other text.
std::optional<std::uint32_t> ParseFixedDigits(std::string_view text, std::size_t count);

// The bytes of an even-length hex text, two digits each (an empty text gives no bytes); nothing
// for an odd length or a character that is not a hex digit.
std::optional<std::vector<std::uint8_t>> ParseBytes(std::string_view text);

// Upper-case hex of the bytes, two digits each.
std::string FormatBytes(std::span<const std::uint8_t> bytes);

// Appends the low `width` digits of value (0 to 8), upper case, high digit first: exactly
// `width` characters, with leading zeros and without the digits above them.
void AppendDigits(std::string& out, std::uint32_t value, int width);
std::string FormatDigits(std::uint32_t value, int width);

}  // namespace hex
