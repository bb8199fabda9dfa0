#include "code_table.h"

#include <algorithm>

#include "device_text.h"
#include "hex_fields.h"
#include "remote_map.h"

namespace {

bool EntryInRange(std::size_t textSize, int codeTableCount, int index) {
    return index >= 0 && index < codeTableCount &&
           (static_cast<std::size_t>(index) + 1) * kCodeEntryHexChars <= textSize;
}

}  // namespace

std::string CodeEntryText(const RemoteMap& map, int index) {
    if (!EntryInRange(map.codeTableText.size(), map.codeTableCount, index))
        return {};
    return map.codeTableText.substr(static_cast<std::size_t>(index) * kCodeEntryHexChars,
                                    kCodeEntryHexChars);
}

std::optional<CodeEntry> ParseCodeEntry(std::string_view entryText) {
    if (entryText.size() != kCodeEntryHexChars || !IsHexText(entryText))
        return std::nullopt;
    // The word is little-endian: byte 3 is its low byte, byte 4 its high byte.
    const int low = *HexNumber(entryText.substr(6, 2));
    const int high = *HexNumber(entryText.substr(8, 2));
    const int word = high * 256 + low;
    CodeEntry entry;
    entry.codeId = std::string(entryText.substr(0, kCodeEntryIdHexChars));
    entry.inUse = (word & kCodeEntryInUseBit) != 0;
    entry.firstUnit = word & ~kCodeEntryInUseBit;
    entry.unitCount = *HexNumber(entryText.substr(10, 2));
    return entry;
}

std::string MakeCodeEntryText(const std::string& codeId, int firstUnit, int unitCount) {
    const int word = kCodeEntryInUseBit | (firstUnit & 0x7FFF);
    const auto byte = [](int value) { return HexText(static_cast<unsigned>(value) & 0xFFu, 2); };
    return codeId + byte(word) + byte(word >> 8) + byte(unitCount);
}

std::string WithCodeEntryText(std::string_view codeTableText, int codeTableCount, int index,
                              std::string_view entryText) {
    std::string text(codeTableText);
    if (EntryInRange(text.size(), codeTableCount, index) && entryText.size() == kCodeEntryHexChars)
        text.replace(static_cast<std::size_t>(index) * kCodeEntryHexChars, kCodeEntryHexChars,
                     entryText);
    return text;
}

std::string PackCodeAreaBitmap(std::string_view codeAreaBitmap) {
    std::string packed;
    packed.reserve((codeAreaBitmap.size() + 7) / 8 * 2);
    for (std::size_t start = 0; start < codeAreaBitmap.size(); start += 8) {
        int byte = 0;
        for (std::size_t bit = 0; bit < 8; ++bit) {
            const std::size_t at = start + bit;
            byte = byte * 2 + (at < codeAreaBitmap.size() && codeAreaBitmap[at] == '1' ? 1 : 0);
        }
        packed += HexText(static_cast<unsigned>(byte), 2);
    }
    return packed;
}

std::string PackCodeAreaBitmap(const RemoteMap& map) {
    return PackCodeAreaBitmap(map.codeAreaBitmap);
}

std::string CodeTableRegionText(const RemoteMap& map) {
    return PackCodeAreaBitmap(map) + map.codeTableText;
}

bool IsCodeAreaUnit(const RemoteMap& map, int unit) {
    const auto units = std::min<std::size_t>(
        map.codeAreaBitmap.size(), static_cast<std::size_t>(std::max(map.codeAreaUnits, 0)));
    return unit >= 0 && static_cast<std::size_t>(unit) < units;
}

bool UnitClaimedByOtherEntry(const RemoteMap& map, int unit, int exceptIndex) {
    for (int i = 0; i < map.codeTableCount; ++i) {
        if (i == exceptIndex)
            continue;
        const auto entry = ParseCodeEntry(CodeEntryText(map, i));
        if (entry && entry->inUse && unit >= entry->firstUnit &&
            unit < entry->firstUnit + entry->unitCount)
            return true;
    }
    return false;
}

CodeTableState WithCodeEntryReleased(const RemoteMap& map, int index) {
    CodeTableState state{map.codeAreaBitmap, map.codeTableText};
    const std::string entryText = CodeEntryText(map, index);
    if (entryText.empty())
        return state;
    state.codeTableText =
        WithCodeEntryText(map.codeTableText, map.codeTableCount, index, kFreeCodeEntryText);
    // A free entry has no units; its word may still hold stale bits that point at units which
    // another code now uses.
    const auto entry = ParseCodeEntry(entryText);
    if (!entry || !entry->inUse)
        return state;
    for (int unit = entry->firstUnit; unit < entry->firstUnit + entry->unitCount; ++unit) {
        if (IsCodeAreaUnit(map, unit) && !UnitClaimedByOtherEntry(map, unit, index))
            state.codeAreaBitmap[static_cast<std::size_t>(unit)] = '0';
    }
    return state;
}
