#pragma once
// The remote's shared code table (RemoteMap::codeTable) and the code-area bitmap
// (RemoteMap::codeAreaBitmap) as the key operations change them. On the remote both lie in one
// region at codeTableAddress: the packed bitmap, then the entries.
//
// These helpers never change the length of the bitmap or the number of entries: the table lies
// directly behind the bitmap on the remote, so a longer bitmap would shift it.

#include <optional>
#include <vector>

#include "device/memory_address.h"
#include "device/remote_tables.h"

struct RemoteMap;

// Entry `index` of the table, or none outside 0..size-1.
std::optional<CodeEntry> CodeEntryAt(const std::vector<CodeEntry>& codeTable, int index);

// The bitmap as the remote stores it, padding bits included.
MemoryBytes PackCodeAreaBitmap(const CodeAreaBitmap& codeAreaBitmap);

// The whole region at codeTableAddress: the packed bitmap followed by the entries.
MemoryBytes CodeTableRegionBytes(const CodeAreaBitmap& codeAreaBitmap,
                                 const std::vector<CodeEntry>& codeTable);
MemoryBytes CodeTableRegionBytes(const RemoteMap& map);

// Whether an entry in use other than entry `exceptIndex` has `unit` among its units.
bool UnitClaimedByOtherEntry(const std::vector<CodeEntry>& codeTable, int unit, int exceptIndex);

// The bitmap and table after entry `index` is released: the entry becomes all zero, and, when
// it was in use, those of its units that are code-area units and that no other entry in use
// claims become free. An index outside the table changes nothing.
struct CodeTableState {
    CodeAreaBitmap codeAreaBitmap;
    std::vector<CodeEntry> codeTable;
};
CodeTableState WithCodeEntryReleased(const RemoteMap& map, int index);
