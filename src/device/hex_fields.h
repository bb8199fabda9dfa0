#pragma once
// Numbers read out of device hex text at fixed byte positions. Every reader checks that the
// characters exist and are hex digits (either case): a remote's memory is input from outside
// the program, so a wrong character is an answer, never undefined behaviour.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The value of a text made only of hex digits (1 to 7 of them), or none.
std::optional<int> HexNumber(std::string_view digits);

// Byte `index` (counted from 0) of a hex text: characters 2 x index and 2 x index + 1.
std::optional<int> HexByteAt(std::string_view hex, std::size_t index);

// The little-endian 16-bit word whose first (low) byte is byte `index`: the second byte's two
// digits followed by the first byte's.
std::optional<int> LittleEndianWordAt(std::string_view hex, std::size_t index);

// `count` bytes from byte `index` on, as their hex text in upper case, or none when the text is
// too short or not hex there.
std::optional<std::string> HexBytesAt(std::string_view hex, std::size_t index, std::size_t count);

// Whether every character of the text is a hex digit.
bool IsHexText(std::string_view text);

// A stored pointer word as an address: word - pointerBias when word >= pointerBias, else
// word + directoryAddress. The result may lie past FFFF; callers check.
int TranslateDevicePointer(int word, int directoryAddress, int pointerBias);

// Each hex digit becomes four characters '0' or '1', most significant bit first ("A" gives
// "1010"). None when a character is not a hex digit.
std::optional<std::string> UnpackCodeAreaBitmap(std::string_view hex);
