#pragma once
// How the program names a place in the remote's memory: a 16-bit byte address in a bank, and
// the 8-byte units that reads count in.

#include <cstdint>
#include <vector>

// A byte address of the remote's memory.
using MemoryAddress = std::uint16_t;
inline constexpr int kHighestAddress = 0xFFFF;

// The memory area a read or write selects; one byte, sent as two hex digits.
enum class MemoryBank : std::uint8_t {};
// Start-up reads every block from this bank; later reads and writes use the config block's.
inline constexpr MemoryBank kStartupBank{0x08};

// Bytes of the remote's memory in address order.
using MemoryBytes = std::vector<std::uint8_t>;

// Reads count in units of this many bytes.
inline constexpr int kUnitBytes = 8;
