#include "learning/delete_keys.h"

#include "device/remote_map.h"
#include "learning/key_slots.h"

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
    KeyRelease release = ReleaseKeyEntry(map, device, slot, StatusWrites::kOnce);
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
        KeyRelease release = ReleaseKeyEntry(map, device, slot, StatusWrites::kTwice);
        (release.Released() ? result.cleared : result.failed).push_back(std::move(release));
    }
    if (result.cleared.empty() && result.failed.empty())
        result.outcome = ClearOutcome::kNothingLearned;
    else
        result.outcome =
            result.failed.empty() ? ClearOutcome::kCleared : ClearOutcome::kPartlyCleared;
    return result;
}
