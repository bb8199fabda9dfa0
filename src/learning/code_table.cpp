#include "learning/code_table.h"

#include "device/remote_map.h"

std::optional<CodeEntry> CodeEntryAt(const std::vector<CodeEntry>& codeTable, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= codeTable.size())
        return std::nullopt;
    return codeTable[static_cast<std::size_t>(index)];
}

MemoryBytes PackCodeAreaBitmap(const CodeAreaBitmap& codeAreaBitmap) {
    return codeAreaBitmap.Bytes();
}

MemoryBytes CodeTableRegionBytes(const CodeAreaBitmap& codeAreaBitmap,
                                 const std::vector<CodeEntry>& codeTable) {
    MemoryBytes region = PackCodeAreaBitmap(codeAreaBitmap);
    for (const CodeEntry& entry : codeTable) {
        const auto bytes = CodeEntryBytes(entry);
        region.insert(region.end(), bytes.begin(), bytes.end());
    }
    return region;
}

MemoryBytes CodeTableRegionBytes(const RemoteMap& map) {
    return CodeTableRegionBytes(map.codeAreaBitmap, map.codeTable);
}

bool UnitClaimedByOtherEntry(const std::vector<CodeEntry>& codeTable, int unit, int exceptIndex) {
    for (std::size_t i = 0; i < codeTable.size(); ++i) {
        const CodeEntry& entry = codeTable[i];
        if (static_cast<int>(i) != exceptIndex && entry.inUse && unit >= entry.firstUnit &&
            unit < entry.firstUnit + entry.unitCount)
            return true;
    }
    return false;
}

CodeTableState WithCodeEntryReleased(const RemoteMap& map, int index) {
    CodeTableState state{map.codeAreaBitmap, map.codeTable};
    const std::optional<CodeEntry> entry = CodeEntryAt(map.codeTable, index);
    if (!entry)
        return state;
    state.codeTable[static_cast<std::size_t>(index)] = CodeEntry{};
    // A free entry has no units; its word may still hold stale bits that point at units which
    // another code now uses. SetUsed leaves padding bits and units past the bitmap alone.
    if (!entry->inUse)
        return state;
    for (int unit = entry->firstUnit; unit < entry->firstUnit + entry->unitCount; ++unit) {
        if (!UnitClaimedByOtherEntry(map.codeTable, unit, index))
            state.codeAreaBitmap.SetUsed(unit, false);
    }
    return state;
}
