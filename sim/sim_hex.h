#pragma once
// Hex text as the remote's calls carry it: two characters per byte, either case accepted,
// upper case given out.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The value of one hex digit, or -1.
int HexDigitValue(char c);

// A text of exactly two hex digits (a bank or an address half); false for anything else,
// including a null pointer.
bool ParseTwoHexDigits(const char* text, int& value);

// Non-empty, even-length hex text to bytes; false (bytes untouched) otherwise.
bool DecodeHexBytes(std::string_view text, std::vector<std::uint8_t>& bytes);

// Upper-case hex of the bytes, two characters each.
std::string EncodeHexBytes(const std::uint8_t* bytes, std::size_t count);

}  // namespace sim
