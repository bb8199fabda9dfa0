#include "learning/release_key_entry.h"

#include <array>

#include "device/device_library.h"
#include "device/remote_map.h"
#include "device/remote_memory_map.h"
#include "learning/code_table.h"
#include "learning/key_slots.h"

namespace {

// The entry is read five units at a time, as the remote is asked for everything.
constexpr int kKeyEntryReadUnits = 5;

// Fields of the key entry.
constexpr std::size_t kLocationByte = 2;  // bit 7: the code lies in the code table
constexpr std::size_t kEntryIndexByte = 3;

// What makes the key hold no code: its status byte cleared.
constexpr std::array<std::uint8_t, 1> kNoCodeStatus = {0x00};

}  // namespace

std::optional<MemoryAddress> KeyEntryAddress(const RemoteMap& map, int slotIndex) {
    // A slot past the key table has no entry of its own: writing there would hit whatever
    // follows the table.
    if (slotIndex < 0 || slotIndex >= map.keyEntryCount)
        return std::nullopt;
    const int address = map.keyTableAddress + kKeyEntryBytes * slotIndex;
    if (address > kHighestAddress)
        return std::nullopt;
    return static_cast<MemoryAddress>(address);
}

std::optional<MemoryBytes> ReadKeyEntry(const RemoteMap& map, DeviceLibrary& device,
                                        int slotIndex) {
    const std::optional<MemoryAddress> address = KeyEntryAddress(map, slotIndex);
    if (!address)
        return std::nullopt;
    MemoryRead entry = device.ReadMemory(*address, kKeyEntryReadUnits, map.memoryBank);
    if (!entry.Succeeded() || entry.bytes.size() < static_cast<std::size_t>(kKeyEntryBytes))
        return std::nullopt;
    entry.bytes.resize(kKeyEntryBytes);
    return std::move(entry.bytes);
}

std::optional<std::uint8_t> CodeEntryIndexOf(std::span<const std::uint8_t> keyEntry) {
    if (keyEntry.size() <= kEntryIndexByte || (keyEntry[kLocationByte] & 0x80) == 0)
        return std::nullopt;
    return keyEntry[kEntryIndexByte];
}

CodeEntryRelease ReleaseCodeEntry(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                                  std::uint8_t entryIndex) {
    if (CodeEntryUsedByOtherKey(map.keySlots, keyCode, entryIndex))
        return CodeEntryRelease::kStillUsed;
    // An index past the table frees nothing, and the region goes back unchanged.
    CodeTableState state = WithCodeEntryReleased(map, entryIndex);
    const MemoryBytes region = CodeTableRegionBytes(state.codeAreaBitmap, state.codeTable);
    if (!device.WriteMemory(map.codeTableAddress, region, map.memoryBank))
        return CodeEntryRelease::kRegionNotWritten;
    map.codeAreaBitmap = std::move(state.codeAreaBitmap);
    map.codeTable = std::move(state.codeTable);
    return CodeEntryRelease::kFreed;
}

ReleaseOutcome ReleaseKeyEntry(RemoteMap& map, DeviceLibrary& device, int slotIndex,
                               KeyCode keyCode) {
    const std::optional<MemoryAddress> address = KeyEntryAddress(map, slotIndex);
    if (!address)
        return ReleaseOutcome::kNoKeyEntry;
    // Without the entry there is no telling which code-table entry the key holds, so nothing
    // is written on a guess.
    const std::optional<MemoryBytes> entry = ReadKeyEntry(map, device, slotIndex);
    if (!entry)
        return ReleaseOutcome::kEntryNotReadable;
    // While the key may still hold its code, its code-table entry must stay in use.
    if (!device.WriteMemory(*address, kNoCodeStatus, map.memoryBank))
        return ReleaseOutcome::kStatusNotWritten;
    if (const std::optional<std::uint8_t> index = CodeEntryIndexOf(*entry))
        ReleaseCodeEntry(map, device, keyCode, *index);
    return ReleaseOutcome::kReleased;
}
