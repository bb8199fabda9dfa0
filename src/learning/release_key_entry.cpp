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

// Frees code-table entry `entryIndex` unless another key still points at it. The region is
// written back whole; the map follows the remote only when the remote took the write.
void ReleaseCodeEntry(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                      std::uint8_t entryIndex) {
    if (CodeEntryUsedByOtherKey(map.keySlots, keyCode, entryIndex))
        return;
    // An index past the table frees nothing, and the region goes back unchanged.
    CodeTableState state = WithCodeEntryReleased(map, entryIndex);
    const MemoryBytes region = CodeTableRegionBytes(state.codeAreaBitmap, state.codeTable);
    if (device.WriteMemory(map.codeTableAddress, region, map.memoryBank)) {
        map.codeAreaBitmap = std::move(state.codeAreaBitmap);
        map.codeTable = std::move(state.codeTable);
    }
}

}  // namespace

ReleaseOutcome ReleaseKeyEntry(RemoteMap& map, DeviceLibrary& device, int slotIndex,
                               KeyCode keyCode) {
    // A slot past the key table has no entry of its own: writing there would hit whatever
    // follows the table.
    if (slotIndex < 0 || slotIndex >= map.keyEntryCount)
        return ReleaseOutcome::kNoKeyEntry;
    const int address = map.keyTableAddress + kKeyEntryBytes * slotIndex;
    if (address > kHighestAddress)
        return ReleaseOutcome::kNoKeyEntry;
    const MemoryRead entry =
        device.ReadMemory(static_cast<MemoryAddress>(address), kKeyEntryReadUnits, map.memoryBank);
    // Without the entry there is no telling which code-table entry the key holds, so nothing
    // is written on a guess.
    if (!entry.Succeeded() || entry.bytes.size() <= kEntryIndexByte)
        return ReleaseOutcome::kEntryNotReadable;
    // While the key may still hold its code, its code-table entry must stay in use.
    if (!device.WriteMemory(static_cast<MemoryAddress>(address), kNoCodeStatus, map.memoryBank))
        return ReleaseOutcome::kStatusNotWritten;
    if (entry.bytes[kLocationByte] & 0x80)
        ReleaseCodeEntry(map, device, keyCode, entry.bytes[kEntryIndexByte]);
    return ReleaseOutcome::kReleased;
}
