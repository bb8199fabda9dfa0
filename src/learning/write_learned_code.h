#pragma once
// Writing a learned code into the remote: the converter's result becomes the key's entry,
// naming the code itself or pointing at a code-table entry, which a code new to the remote gets
// together with units of the code area for its data.
//
// The writes are ordered so that a crash or a refused write at any point leaves the remote
// consistent: the code data into free units, then the bitmap and code table that claim them,
// then the key entry that points at them, and only then the release of what the key held
// before. At worst a crash leaves an entry in use that no key references; never a key pointing
// at a free entry, and never units claimed twice. Everything that can fail without a write
// (the result's shape, the key's slot, a free entry, room for the data) is settled first.
//
// A write the remote does not confirm may have landed: it is read back before anything is
// decided on it. A key entry that reads back as written is learned, whatever the remote
// answered; a claim is taken back only once the key entry is seen not to point at it, and what
// cannot be read back is left in use (the safe side) and reported as uncertain.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "device/remote_tables.h"
#include "learning/code_table.h"
#include "learning/converted_code.h"
#include "learning/release_key_entry.h"

class DeviceLibrary;
struct RemoteMap;

enum class LearnOutcome {
    kLearnedDirect,         // the key entry names the code (built-in or short id)
    kLearnedExistingEntry,  // the key entry points at the code-table entry already holding it
    kLearnedNewEntry,       // a new code-table entry, with its data, holds the code
    // Failed; nothing of the attempt is left on the remote or in the map unless said so.
    kMalformedResult,     // the converter's result is empty or not of its shape ("学习失败！")
    kNoKeySlot,           // the key has no slot, or its slot lies outside the key table
    kKeyEntryNotRead,     // the key's present entry could not be read: nothing written
    kNoFreeCodeEntry,     // a new code, and every code-table entry is in use
    kNoRoom,              // a new code, and no free run of units is long enough for its data
    kCodeDataNotWritten,  // the remote refused the code data
    kCodeTableNotWritten,  // the remote refused the bitmap and code table with the new entry
    kKeyEntryNotWritten,   // the remote refused the key entry: the key keeps its code
    kKeyEntryUnknown,      // the key entry was not confirmed and could not be read back: whether
                           // the key holds the new code is not known (remoteUncertain)
    kTablesNotRead,        // the tables could not be read again after the remote was away:
                           // nothing written (RemoteSession)
};

// Whether learning may reclaim leaked code-table entries (leaked_entries.h) when the table is
// full or the code area has no room for a new code: only a caller that has held the lock since
// it read the whole key table may say so.
enum class LeakedEntries { kLeftAlone, kReclaimedWhenFull };

// Whether the outcome is one of the learned ones.
bool Learned(LearnOutcome outcome);

struct LearnResult {
    LearnOutcome outcome = LearnOutcome::kMalformedResult;
    // Once learned: the key's slot (its text now says learned) and, for a table code, the
    // code-table entry's index as two hex digits, followed by "FFFF" for an entry this attempt
    // made.
    std::size_t slotIndex = 0;
    std::string learnedCodeRef;
    // Learned, but the entry the key held before could not be freed (the remote refused the
    // write): it stays in use with no key pointing at it, which the memory check reports.
    bool previousEntryLeftInUse = false;
    // A new entry's claim stays in use (and in the map): after kKeyEntryNotWritten taking it
    // back was refused too, so no key points at it; after kKeyEntryUnknown, or a claim that was
    // not confirmed and could not be read back, it may stand, and is kept on the safe side.
    bool newEntryLeftInUse = false;
    // Leaked entries freed to make room for the code (kReclaimedWhenFull), whatever the outcome.
    std::vector<FreedCodeEntry> reclaimed;
    // A write was not confirmed and could not be read back: the map may differ from the remote
    // (it keeps whatever may be in use as in use), and the tables are to be read again.
    bool remoteUncertain = false;
};

// Whether `codeId` is one of the remote's built-in codes.
bool IsBuiltinCode(const RemoteMap& map, const CodeId& codeId);

// Whether `codeId` is short enough for a key entry to name it: its first byte below 22 hex and
// the other two zero.
bool IsShortCodeId(const CodeId& codeId);

// The first free run of `unitCount` code-area units (first fit), or none. A unit is free when
// the bitmap says so and no entry in use claims it, and the run must lie inside the code area
// and, with `dataBytes` of data, below the end of memory.
std::optional<int> FindFreeUnits(const RemoteMap& map, int unitCount, std::size_t dataBytes);

// Where a code goes on the remote as its tables are now: named in the key entry (a built-in or
// short id), at the entry in use that holds it already, or in the first free entry with the
// first free run of units its data takes; or why it cannot go (kMalformedResult,
// kNoFreeCodeEntry, kNoRoom). WriteLearnedCode writes what this decides; an import plans with it.
struct CodePlacement {
    CodeHolding form = CodeHolding::kDirect;
    bool newEntry = false;
    std::uint8_t entryIndex = 0;
    int firstUnit = 0;  // a new entry's units
    int unitCount = 0;
    MemoryBytes data;  // a new entry's code data
};
Result<CodePlacement, LearnOutcome> PlaceCode(const RemoteMap& map, const ConvertedCode& code);

// The bitmap and code table with a new entry's claim: its units used, its entry in use (as they
// are for a placement without a new entry).
CodeTableState ClaimedTables(const RemoteMap& map, const ConvertedCode& code,
                             const CodePlacement& placement);

// Learns the converter's result for the key `keyCode`: writes the key entry, and for a code new
// to the remote its data, bitmap and code-table entry, then frees what the key held before when
// no key uses it any more. The map follows the remote: on success the key's slot says learned,
// on failure the map is what the remote holds.
LearnResult WriteLearnedCode(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                             std::string_view convertedCode,
                             LeakedEntries leaked = LeakedEntries::kLeftAlone);
