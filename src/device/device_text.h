#pragma once
// Turning device buffers into text, and the reads and writes every caller makes, so that no
// caller formats an address or sizes a buffer by hand.

#include <cstddef>
#include <string>
#include <string_view>

class DeviceLibrary;

// Buffer sizes of the call sites.
inline constexpr std::size_t kVersionBufferSize = 250;
inline constexpr std::size_t kSmallReadBufferSize = 512;
inline constexpr std::size_t kReadBufferSize = 1024;
inline constexpr std::size_t kLargeReadBufferSize = 2048;
inline constexpr std::size_t kIdentityBufferSize = 1024;
inline constexpr std::size_t kCaptureBufferSize = 10240;
inline constexpr std::size_t kHexCharsPerUnit = 16;

// After a successful call: the whole buffer as text, one character per byte, zero bytes
// included, so the text is as long as the buffer. After a failed call: empty.
std::string DeviceBufferText(bool succeeded, const char* buffer, std::size_t size);

// A 16-bit address as the library takes it: four upper-case hex digits split into the high
// text and the low text (B03C gives "B0" and "3C").
struct AddressTexts {
    std::string high;
    std::string low;
};
AddressTexts FormatAddress(int address);

// Reads unitCount units at address of bank into a zero-filled buffer of bufferSize bytes and
// gives DeviceBufferText of it. A read that would not fit its buffer, or an address outside
// 0..FFFF, is refused before the library is called and gives an empty text.
std::string ReadUnitsText(DeviceLibrary& device, int address, int unitCount,
                          const std::string& memoryBank, std::size_t bufferSize);

// Writes hexData at address of bank; false when the library refuses or the address is outside
// 0..FFFF.
bool WriteHexText(DeviceLibrary& device, int address, const std::string& memoryBank,
                  const std::string& hexData);

// Upper-case hex of value with at least `digits` digits.
std::string HexText(unsigned value, int digits);
