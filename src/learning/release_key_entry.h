#pragma once
// Taking a key's code off the remote.

#include <cstdint>
#include <optional>
#include <span>

#include "device/memory_address.h"
#include "device/remote_tables.h"

class DeviceLibrary;
struct RemoteMap;

enum class ReleaseOutcome {
    kReleased,          // the key holds no code now; its code-table entry was freed unless
                        // another key still uses it (a refused write of the table goes
                        // unreported, and the map then keeps what the remote holds)
    kNoKeyEntry,        // the slot lies outside the key table: nothing read or written
    kEntryNotReadable,  // the key entry could not be read (refused, or not hex): nothing written
    kStatusNotWritten,  // the status byte was refused: the code table was left alone, since the
                        // key may still point at its entry
};

// Clears the key entry of slot `slotIndex` on the remote (its status byte becomes 00) and, when
// the entry pointed at a code-table entry that no other key (a slot with a key code other than
// keyCode) still points at, frees that code-table entry and its code-area units, writing the
// bitmap and the table back in one write and keeping map.codeAreaBitmap and map.codeTable in
// step with the remote. Shows nothing: every outcome but kReleased is the caller's
// "删除操作失败！". The code data itself is never touched.
ReleaseOutcome ReleaseKeyEntry(RemoteMap& map, DeviceLibrary& device, int slotIndex,
                               KeyCode keyCode);

// The pieces of a release, for callers that replace a key's code rather than take it off: they
// read the key entry before anything changes, write the new entry over it, and only then free
// what the old one pointed at.

// Where slot `slotIndex`'s key entry lies, or none when the slot is outside the key table.
std::optional<MemoryAddress> KeyEntryAddress(const RemoteMap& map, int slotIndex);

// The key entry of slot `slotIndex` as the remote holds it, or none when the slot is outside the
// key table or the entry could not be read.
std::optional<MemoryBytes> ReadKeyEntry(const RemoteMap& map, DeviceLibrary& device, int slotIndex);

// The code-table entry a key entry points at, or none for an entry that names its code itself.
std::optional<std::uint8_t> CodeEntryIndexOf(std::span<const std::uint8_t> keyEntry);

enum class CodeEntryRelease {
    kStillUsed,        // another key still points at the entry: nothing written
    kFreed,            // the bitmap and table were written back without the entry
    kRegionNotWritten  // the remote refused the write: the entry stays in use
};

// Frees code-table entry `entryIndex` unless a key other than keyCode still points at it. The
// region is written back whole; the map follows the remote only when the remote took the write.
CodeEntryRelease ReleaseCodeEntry(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                                  std::uint8_t entryIndex);
