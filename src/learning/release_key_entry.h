#pragma once
// Taking a key's code off the remote: the one release that deleting a key, clearing every key
// and the tests go through.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/memory_address.h"
#include "device/remote_tables.h"

class DeviceLibrary;
struct RemoteMap;

enum class ReleaseOutcome {
    kReleased,          // the key holds no code now, and its slot says so
    kNoKeyEntry,        // the slot lies outside the key table: nothing read or written
    kEntryNotReadable,  // the key entry could not be read (refused, or not hex): nothing written
    kStatusNotWritten,  // the status byte was refused (and reads back unchanged): the code table
                        // was left alone, since the key still points at its entry
    kStatusUnknown,     // the status byte was not confirmed and could not be read back: whether
                        // the key still holds its code is not known, so nothing was freed and
                        // the map may differ from the remote (read the tables again)
};

// A code-table entry as it was before a release freed it.
struct FreedCodeEntry {
    std::uint8_t index = 0;
    CodeEntry entry;
    bool operator==(const FreedCodeEntry&) const = default;
};

// What taking one key's code off the remote did.
struct KeyRelease {
    std::size_t slotIndex = 0;
    KeyCode keyCode = 0;  // the slot's key code; 0 for a slot past the key slots
    // kReleased: the key holds no code and its slot says not learned. Anything else: its slot
    // is unchanged, and so is the key on the remote, except after kStatusUnknown, when it may
    // hold no code any more.
    ReleaseOutcome outcome = ReleaseOutcome::kReleased;
    // The code-table entry the key pointed at, when this release freed it.
    std::optional<FreedCodeEntry> freedEntry;
    // The entry the key pointed at, when no key uses it any more but the remote refused the
    // write that frees it: it stays in use with no key pointing at it.
    std::optional<std::uint8_t> entryLeftInUse;
    // A write was not confirmed and could not be read back (kStatusUnknown, or the freeing of
    // entryLeftInUse): the map may differ from the remote.
    bool remoteUncertain = false;

    bool Released() const { return outcome == ReleaseOutcome::kReleased; }
    bool operator==(const KeyRelease&) const = default;
};

// How often the status byte is sent. Clearing every key has always sent it twice; a key whose
// first write was refused but whose second took holds no code and counts as released.
enum class StatusWrites { kOnce = 1, kTwice = 2 };

// Takes the code of the key in slot `slotIndex` off the remote. Its entry is read before
// anything is written, since only the entry tells which code-table entry the key holds; then its
// status byte becomes 00, and once one of the writes took (the remote said so, or the status byte
// reads back as 00 after a write it did not confirm), the slot becomes not learned and the
// code-table entry it pointed at is freed with its code-area units (the bitmap and table in one
// write) unless another key still holds a code through it. The slot changes as soon as the key
// holds no code, so that of keys sharing an entry, the last one released frees it. The map
// follows the remote; the code data itself is never touched. Shows nothing: every outcome but
// kReleased is the caller's "删除操作失败！".
KeyRelease ReleaseKeyEntry(RemoteMap& map, DeviceLibrary& device, std::size_t slotIndex,
                           StatusWrites statusWrites = StatusWrites::kOnce);

// The pieces of a release, for callers that replace a key's code rather than take it off: they
// read the key entry before anything changes, write the new entry over it, and only then free
// what the old one pointed at.

// Where slot `slotIndex`'s key entry lies, or none when the slot is outside the key table.
std::optional<MemoryAddress> KeyEntryAddress(const RemoteMap& map, int slotIndex);

// The key entry of slot `slotIndex` as the remote holds it, or none when the slot is outside the
// key table or the entry could not be read.
std::optional<KeyEntry> ReadKeyEntry(const RemoteMap& map, DeviceLibrary& device, int slotIndex);

enum class CodeEntryRelease {
    kStillUsed,         // another key still points at the entry: nothing written
    kFreed,             // the bitmap and table were written back without the entry
    kRegionNotWritten,  // the remote refused the write: the entry stays in use
    kRegionUnknown,     // the write was not confirmed and could not be read back: the map keeps
                        // the entry in use, which the remote may no longer hold
};

// Frees code-table entry `entryIndex` unless a key other than keyCode still points at it. The
// region is written back whole (and read back when the remote does not confirm the write); the
// map follows the remote only when the remote holds the write.
CodeEntryRelease ReleaseCodeEntry(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                                  std::uint8_t entryIndex);
