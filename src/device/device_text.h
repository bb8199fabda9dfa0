#pragma once
// The texts and buffers of the device library's C face, as DeviceLibrary makes and reads them.
// Nothing above the device layer needs these; tests use them to state what reached the remote.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "common/device_buffer_sizes.h"
#include "device/memory_address.h"

// Result buffers of the calls that are not memory reads.
inline constexpr std::size_t kVersionBufferSize = device_buffer::kVersionSize;
inline constexpr std::size_t kIdentityBufferSize = device_buffer::kIdentitySize;
inline constexpr std::size_t kCaptureBufferSize = device_buffer::kCaptureSize;
inline constexpr std::size_t kHexCharsPerUnit = device_buffer::kHexCharsPerUnit;
static_assert(kHexCharsPerUnit == 2 * kUnitBytes);

// The most units one read may ask for: the whole 64 KiB memory.
inline constexpr int kMaxReadUnits = (kHighestAddress + 1) / kUnitBytes;

// The zero-filled buffer a read of unitCount units (1..kMaxReadUnits) is given: room for its
// 16 characters per unit and one spare unit of zero fill behind them, rounded up to 512, 1024
// or 2048 bytes (the sizes the C face documents) while the read fits one of them.
std::size_t ReadBufferSize(int unitCount);

// After a successful call: the whole buffer as text, one character per byte, zero bytes
// included, so the text is as long as the buffer. After a failed call: empty.
std::string DeviceBufferText(bool succeeded, const char* buffer, std::size_t size);

// A 16-bit address as the library takes it: four upper-case hex digits split into the high
// text and the low text (B03C gives "B0" and "3C").
struct AddressTexts {
    std::string high;
    std::string low;
};
AddressTexts FormatAddress(MemoryAddress address);

// Upper-case hex of value with at least `digits` digits.
std::string HexText(unsigned value, int digits);

// Two upper-case hex digits per byte, in order.
std::string HexBytesText(std::span<const std::uint8_t> bytes);

// The bank as the library takes it: two upper-case hex digits.
std::string BankText(MemoryBank bank);
