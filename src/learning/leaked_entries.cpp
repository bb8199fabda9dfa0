#include "learning/leaked_entries.h"

#include <algorithm>

#include "device/remote_map.h"
#include "learning/checked_write.h"
#include "learning/code_table.h"

namespace {

bool HoldsCode(const KeySlot& slot) {
    return slot.state == SlotState::kDownloaded || slot.state == SlotState::kLearned;
}

}  // namespace

std::vector<std::uint8_t> LeakedCodeEntries(const RemoteMap& map) {
    const std::size_t entries = static_cast<std::size_t>(std::max(map.keyEntryCount, 0));
    if (entries > map.keySlots.size())
        return {};
    std::vector<bool> pointedAt(map.codeTable.size(), false);
    for (std::size_t i = 0; i < map.keySlots.size(); ++i) {
        const KeySlot& slot = map.keySlots[i];
        // Every key entry must have been read: a slot whose entry was never read may point
        // anywhere.
        if (i < entries && slot.state == SlotState::kNotRead)
            return {};
        if (!HoldsCode(slot))
            continue;
        if (slot.holding == CodeHolding::kNotRecorded)
            return {};
        if (slot.holding == CodeHolding::kCodeTable && slot.codeEntryIndex < pointedAt.size())
            pointedAt[slot.codeEntryIndex] = true;
    }
    std::vector<std::uint8_t> leaked;
    for (std::size_t i = 0; i < map.codeTable.size() && i <= 0xFF; ++i) {
        if (map.codeTable[i].inUse && !pointedAt[i])
            leaked.push_back(static_cast<std::uint8_t>(i));
    }
    return leaked;
}

EntryReclaim ReclaimLeakedEntries(RemoteMap& map, DeviceLibrary& device) {
    EntryReclaim reclaim;
    const std::vector<std::uint8_t> leaked = LeakedCodeEntries(map);
    if (leaked.empty())
        return reclaim;
    RemoteMap after = map;
    std::vector<FreedCodeEntry> freed;
    for (const std::uint8_t index : leaked) {
        freed.push_back(FreedCodeEntry{index, after.codeTable[index]});
        CodeTableState state = WithCodeEntryReleased(after, index);
        after.codeAreaBitmap = std::move(state.codeAreaBitmap);
        after.codeTable = std::move(state.codeTable);
    }
    switch (WriteChecked(device, map.codeTableAddress, CodeTableRegionBytes(after), map.memoryBank)
                .landing) {
        case WriteLanding::kLanded:
            map.codeAreaBitmap = std::move(after.codeAreaBitmap);
            map.codeTable = std::move(after.codeTable);
            reclaim.outcome = EntryReclaim::Outcome::kReclaimed;
            reclaim.freed = std::move(freed);
            break;
        case WriteLanding::kNotLanded:
            reclaim.outcome = EntryReclaim::Outcome::kNotWritten;
            break;
        case WriteLanding::kUnknown:
            reclaim.outcome = EntryReclaim::Outcome::kUnknown;
            break;
    }
    return reclaim;
}
