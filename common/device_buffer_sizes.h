#pragma once
// The sizes of the buffers the program hands the device library, one per call site, in bytes.
// zorvik.h states the same numbers for C callers (ZORVIK_*_BUFFER_SIZE); libzorvik checks at
// compile time that the two agree.

#include <cstddef>

namespace device_buffer {

inline constexpr std::size_t kVersionSize = 250;    // ReadVersion
inline constexpr std::size_t kIdentitySize = 1024;  // RBasicInfo
inline constexpr std::size_t kCaptureSize = 10240;  // RCollectCodeInfo
// readdatav20: the three sizes the reads of the remote's tables use (the key table's buffer
// grows with its entries instead).
inline constexpr std::size_t kSmallReadSize = 512;
inline constexpr std::size_t kReadSize = 1024;
inline constexpr std::size_t kLargeReadSize = 2048;
// readdatav20 counts memory in 8-byte units, each given as 16 hex characters.
inline constexpr std::size_t kHexCharsPerUnit = 16;

}  // namespace device_buffer
