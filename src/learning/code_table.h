#pragma once
// The remote's shared code table as the window keeps it (RemoteMap::codeTableText, 12 hex
// characters per entry) and the code-area bitmap (RemoteMap::codeAreaBitmap, one '0' or '1'
// per unit). On the remote both lie in one region at codeTableAddress: the packed bitmap, then
// the entries. An entry is
//
//   bytes 0-2  code id
//   bytes 3-4  little-endian word: bit 15 set = in use, bits 0-14 = first code-area unit
//   byte  5    number of units
//
// These helpers never change the length of the bitmap or of the table text: the table lies
// directly behind the bitmap on the remote, so a longer bitmap would shift it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct RemoteMap;

inline constexpr std::size_t kCodeEntryHexChars = 12;
inline constexpr std::size_t kCodeEntryIdHexChars = 6;
inline constexpr int kCodeEntryInUseBit = 0x8000;
inline const std::string kFreeCodeEntryText = "000000000000";

struct CodeEntry {
    std::string codeId;  // six hex digits
    bool inUse = false;
    int firstUnit = 0;
    int unitCount = 0;
};

// The text of entry `index`, or empty when the index is outside 0..codeTableCount-1 or
// codeTableText ends before it.
std::string CodeEntryText(const RemoteMap& map, int index);

// An entry's fields, or none when the text is not 12 hex digits.
std::optional<CodeEntry> ParseCodeEntry(std::string_view entryText);

// The 12 hex digits of an entry in use with these fields (the form learning writes).
std::string MakeCodeEntryText(const std::string& codeId, int firstUnit, int unitCount);

// codeTableText with entry `index` replaced by entryText (12 characters); unchanged when the
// index is outside 0..codeTableCount-1 or the text ends before it.
std::string WithCodeEntryText(std::string_view codeTableText, int codeTableCount, int index,
                              std::string_view entryText);

// The bitmap as the remote stores it: each group of eight characters, first character most
// significant, as two upper-case hex digits. A last group shorter than eight (never made by
// start-up) counts as padded with '0'; any character but '1' counts as '0'.
std::string PackCodeAreaBitmap(std::string_view codeAreaBitmap);
std::string PackCodeAreaBitmap(const RemoteMap& map);

// The whole region at codeTableAddress as hex: the packed bitmap followed by the table.
std::string CodeTableRegionText(const RemoteMap& map);

// Whether `unit` is a code-area unit that the bitmap describes (the padding bits of the last
// bitmap byte are not units).
bool IsCodeAreaUnit(const RemoteMap& map, int unit);

// Whether an entry in use other than entry `exceptIndex` has `unit` among its units.
bool UnitClaimedByOtherEntry(const RemoteMap& map, int unit, int exceptIndex);

// The bitmap and table after entry `index` is released: the entry becomes
// "000000000000", and, when it was in use, those of its units that are code-area units and
// that no other entry in use claims become '0'. An index outside the table changes nothing.
struct CodeTableState {
    std::string codeAreaBitmap;
    std::string codeTableText;
};
CodeTableState WithCodeEntryReleased(const RemoteMap& map, int index);
