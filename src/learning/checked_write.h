#pragma once
// A write to the remote whose answer may not tell the truth: the remote may take a write while
// its answer is lost, comes after the library's time-out, or says it failed. So a failure is
// never taken for "nothing changed": the bytes are read back, and what comes next (undoing a
// claim, freeing an entry, telling the user) is decided on what the remote holds.

#include <cstdint>
#include <optional>
#include <span>

#include "device/memory_address.h"

class DeviceLibrary;

enum class WriteLanding {
    kLanded,     // the remote holds the bytes: it said so, or reading them back showed it
    kNotLanded,  // the library reported a failure and the remote reads back otherwise
    kUnknown,    // the library reported a failure and the bytes could not be read back
};

struct CheckedWrite {
    WriteLanding landing = WriteLanding::kUnknown;
    // kNotLanded: what the remote holds where the bytes were to go.
    MemoryBytes readBack;
};

// Writes bytes from address of bank on; when the library reports a failure, reads them back.
CheckedWrite WriteChecked(DeviceLibrary& device, MemoryAddress address,
                          std::span<const std::uint8_t> bytes, MemoryBank bank);

// What the remote holds now where bytes were to go, compared with them: for a write (or writes)
// the library reported failed.
CheckedWrite CheckLanded(DeviceLibrary& device, MemoryAddress address,
                         std::span<const std::uint8_t> bytes, MemoryBank bank);

// length bytes from address of bank on, read in whole units; none when the read fails.
std::optional<MemoryBytes> ReadBytesAt(DeviceLibrary& device, MemoryAddress address,
                                       std::size_t length, MemoryBank bank);
