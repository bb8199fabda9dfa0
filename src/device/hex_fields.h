#pragma once
// The device's reader of hex text: memory arrives from the library as hex text (either case),
// and a wrong character is an answer from outside the program, never undefined behaviour.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The value of a text made only of hex digits (1 to 7 of them), or none.
std::optional<int> HexNumber(std::string_view digits);

// Whether every character of the text is a hex digit.
bool IsHexText(std::string_view text);

// The bytes of a text of two hex digits per byte, or none when its length is odd or a
// character is not a hex digit.
std::optional<std::vector<std::uint8_t>> DecodeHexBytes(std::string_view hex);
