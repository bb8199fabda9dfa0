#include "learning/delete_keys.h"

#include <array>

#include "device/device_library.h"
#include "device/remote_map.h"
#include "learning/code_table.h"
#include "learning/key_slots.h"

namespace {

// What makes a key hold no code: its status byte cleared.
constexpr std::array<std::uint8_t, 1> kNoCodeStatus = {0x00};

// Clearing all keys has always sent each key's status byte twice; the second write now counts
// too, so that a key whose first write was refused but whose second took is not reported as
// failed while it holds no code.
constexpr int kDeleteStatusWrites = 1;
constexpr int kClearStatusWrites = 2;

// Takes the code of the learned key in slot slotIndex off the remote. Its entry is read before
// anything is written, since only the entry tells which code-table entry the key holds; its
// status byte is sent `statusWrites` times, and only once one of them took is the key's slot
// marked not learned and the code-table entry freed. The slot changes as soon as the key holds
// no code, not after the last key, so that when every learned key is cleared an entry two of
// them shared is freed with the second instead of staying claimed by no key.
KeyRelease ReleaseLearnedKey(RemoteMap& map, DeviceLibrary& device, std::size_t slotIndex,
                             int statusWrites) {
    const KeyCode keyCode = map.keySlots[slotIndex].keyCode;
    KeyRelease release;
    release.slotIndex = slotIndex;
    release.keyCode = keyCode;
    const int slot = static_cast<int>(slotIndex);
    const std::optional<MemoryAddress> address = KeyEntryAddress(map, slot);
    if (!address) {
        release.outcome = ReleaseOutcome::kNoKeyEntry;
        return release;
    }
    const std::optional<MemoryBytes> entry = ReadKeyEntry(map, device, slot);
    if (!entry) {
        release.outcome = ReleaseOutcome::kEntryNotReadable;
        return release;
    }
    bool statusWritten = false;
    for (int i = 0; i < statusWrites; ++i)
        statusWritten =
            device.WriteMemory(*address, kNoCodeStatus, map.memoryBank) || statusWritten;
    if (!statusWritten) {
        // The key may still point at its entry, which therefore stays in use.
        release.outcome = ReleaseOutcome::kStatusNotWritten;
        return release;
    }
    map.keySlots[slotIndex] = NotLearnedSlot(keyCode);

    const std::optional<std::uint8_t> index = CodeEntryIndexOf(*entry);
    if (!index)
        return release;
    // Only an entry in use has anything to free; one past the table or already free is
    // written back as it is and reported as neither.
    const std::optional<CodeEntry> before = CodeEntryAt(map.codeTable, *index);
    const bool wasInUse = before && before->inUse;
    switch (ReleaseCodeEntry(map, device, keyCode, *index)) {
        case CodeEntryRelease::kFreed:
            if (wasInUse)
                release.freedEntry = FreedCodeEntry{*index, *before};
            break;
        case CodeEntryRelease::kRegionNotWritten:
            if (wasInUse)
                release.entryLeftInUse = *index;
            break;
        case CodeEntryRelease::kStillUsed:
            break;
    }
    return release;
}

}  // namespace

std::optional<DeleteOutcome> DeleteRefusal(const std::vector<KeySlot>& keySlots, KeyCode keyCode) {
    if (keySlots.empty())
        return DeleteOutcome::kNoKeySlots;
    const std::optional<std::size_t> slot = FindKeySlot(keySlots, keyCode);
    if (!slot || keySlots[*slot].state != SlotState::kLearned)
        return DeleteOutcome::kNotLearned;
    return std::nullopt;
}

DeleteResult DeleteLearnedKey(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode) {
    if (const std::optional<DeleteOutcome> refusal = DeleteRefusal(map.keySlots, keyCode))
        return DeleteResult{*refusal, KeyRelease{}};
    const std::size_t slot = *FindKeySlot(map.keySlots, keyCode);
    KeyRelease release = ReleaseLearnedKey(map, device, slot, kDeleteStatusWrites);
    const DeleteOutcome outcome =
        release.Released() ? DeleteOutcome::kDeleted : DeleteOutcome::kNotDeleted;
    return DeleteResult{outcome, std::move(release)};
}

std::vector<FreedCodeEntry> ClearResult::FreedEntries() const {
    std::vector<FreedCodeEntry> freed;
    for (const KeyRelease& key : cleared) {
        if (key.freedEntry)
            freed.push_back(*key.freedEntry);
    }
    return freed;
}

ClearResult ClearLearnedKeys(RemoteMap& map, DeviceLibrary& device) {
    ClearResult result;
    for (std::size_t slot = 0; slot < map.keySlots.size(); ++slot) {
        if (map.keySlots[slot].state != SlotState::kLearned)
            continue;
        KeyRelease release = ReleaseLearnedKey(map, device, slot, kClearStatusWrites);
        (release.Released() ? result.cleared : result.failed).push_back(std::move(release));
    }
    if (result.cleared.empty() && result.failed.empty())
        result.outcome = ClearOutcome::kNothingLearned;
    else
        result.outcome =
            result.failed.empty() ? ClearOutcome::kCleared : ClearOutcome::kPartlyCleared;
    return result;
}
