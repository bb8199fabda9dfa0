#include "learning/release_key_entry.h"

#include <array>

#include "device/device_library.h"
#include "device/remote_map.h"
#include "learning/checked_write.h"
#include "learning/code_table.h"
#include "learning/key_slots.h"

namespace {

// The entry is read five units at a time, as the remote is asked for everything.
constexpr int kKeyEntryReadUnits = 5;

// What makes the key hold no code: its status byte, the entry's first, cleared.
constexpr std::array<std::uint8_t, 1> kNoCodeStatusWrite = {kNoCodeStatus};

// Frees the entry a released key pointed at, and says in the report what became of it. Only an
// entry in use has anything to free; one past the table or already free is written back as it
// is and reported as neither.
void ReleaseEntryOf(RemoteMap& map, DeviceLibrary& device, std::uint8_t index,
                    KeyRelease& release) {
    const std::optional<CodeEntry> before = CodeEntryAt(map.codeTable, index);
    const bool wasInUse = before && before->inUse;
    switch (ReleaseCodeEntry(map, device, release.keyCode, index)) {
        case CodeEntryRelease::kFreed:
            if (wasInUse)
                release.freedEntry = FreedCodeEntry{index, *before};
            break;
        case CodeEntryRelease::kRegionNotWritten:
            if (wasInUse)
                release.entryLeftInUse = index;
            break;
        case CodeEntryRelease::kRegionUnknown:
            if (wasInUse)
                release.entryLeftInUse = index;
            release.remoteUncertain = true;
            break;
        case CodeEntryRelease::kStillUsed:
            break;
    }
}

}  // namespace

std::optional<MemoryAddress> KeyEntryAddress(const RemoteMap& map, int slotIndex) {
    // A slot past the key table has no entry of its own: writing there would hit whatever
    // follows the table.
    if (slotIndex < 0 || slotIndex >= map.keyEntryCount)
        return std::nullopt;
    const int address = map.keyTableAddress + static_cast<int>(kKeyEntryBytes) * slotIndex;
    if (address > kHighestAddress)
        return std::nullopt;
    return static_cast<MemoryAddress>(address);
}

std::optional<KeyEntry> ReadKeyEntry(const RemoteMap& map, DeviceLibrary& device, int slotIndex) {
    const std::optional<MemoryAddress> address = KeyEntryAddress(map, slotIndex);
    if (!address)
        return std::nullopt;
    const MemoryRead read = device.ReadMemory(*address, kKeyEntryReadUnits, map.memoryBank);
    if (!read.Succeeded() || read.bytes.size() < kKeyEntryBytes)
        return std::nullopt;
    return KeyEntryFromBytes(std::span(read.bytes).first<kKeyEntryBytes>());
}

CodeEntryRelease ReleaseCodeEntry(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                                  std::uint8_t entryIndex) {
    if (CodeEntryUsedByOtherKey(map.keySlots, keyCode, entryIndex))
        return CodeEntryRelease::kStillUsed;
    // An index past the table frees nothing, and the region goes back unchanged.
    CodeTableState state = WithCodeEntryReleased(map, entryIndex);
    const MemoryBytes region = CodeTableRegionBytes(state.codeAreaBitmap, state.codeTable);
    switch (WriteChecked(device, map.codeTableAddress, region, map.memoryBank).landing) {
        case WriteLanding::kLanded:
            break;
        case WriteLanding::kNotLanded:
            return CodeEntryRelease::kRegionNotWritten;
        case WriteLanding::kUnknown:
            return CodeEntryRelease::kRegionUnknown;
    }
    map.codeAreaBitmap = std::move(state.codeAreaBitmap);
    map.codeTable = std::move(state.codeTable);
    return CodeEntryRelease::kFreed;
}

KeyRelease ReleaseKeyEntry(RemoteMap& map, DeviceLibrary& device, std::size_t slotIndex,
                           StatusWrites statusWrites) {
    KeyRelease release;
    release.slotIndex = slotIndex;
    // The key table has no more entries than there are key codes, so a slot past them has
    // none; and there are at most 255 of them, so the slot fits an int.
    const bool hasSlot = slotIndex < map.keySlots.size();
    if (hasSlot)
        release.keyCode = map.keySlots[slotIndex].keyCode;
    const std::optional<MemoryAddress> address =
        hasSlot ? KeyEntryAddress(map, static_cast<int>(slotIndex)) : std::nullopt;
    if (!address) {
        release.outcome = ReleaseOutcome::kNoKeyEntry;
        return release;
    }
    // Without the entry there is no telling which code-table entry the key holds, so nothing
    // is written on a guess.
    const std::optional<KeyEntry> entry = ReadKeyEntry(map, device, static_cast<int>(slotIndex));
    if (!entry) {
        release.outcome = ReleaseOutcome::kEntryNotReadable;
        return release;
    }
    bool statusWritten = false;
    for (int i = 0; i < static_cast<int>(statusWrites); ++i)
        statusWritten =
            device.WriteMemory(*address, kNoCodeStatusWrite, map.memoryBank) || statusWritten;
    if (!statusWritten) {
        // A write the remote did not confirm may have landed all the same: the status byte
        // tells. While the key may still hold its code, its code-table entry stays in use.
        switch (CheckLanded(device, *address, kNoCodeStatusWrite, map.memoryBank).landing) {
            case WriteLanding::kLanded:
                break;
            case WriteLanding::kNotLanded:
                release.outcome = ReleaseOutcome::kStatusNotWritten;
                return release;
            case WriteLanding::kUnknown:
                release.outcome = ReleaseOutcome::kStatusUnknown;
                release.remoteUncertain = true;
                return release;
        }
    }
    map.keySlots[slotIndex] = NotLearnedSlot(release.keyCode);
    if (const std::optional<std::uint8_t> index = entry->CodeEntryIndex())
        ReleaseEntryOf(map, device, *index, release);
    return release;
}
