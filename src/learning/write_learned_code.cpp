#include "learning/write_learned_code.h"

#include <algorithm>
#include <array>

#include "device/device_library.h"
#include "device/device_text.h"
#include "device/remote_map.h"
#include "learning/checked_write.h"
#include "learning/code_table.h"
#include "learning/converted_code.h"
#include "learning/key_slots.h"
#include "learning/leaked_entries.h"
#include "learning/release_key_entry.h"

namespace {

// A slot learned into an entry this attempt made records the bytes after the index; one learned
// into an entry already there records none.
constexpr std::uint16_t kNewEntryMark = kLearnedAfterIndex;

// Ids whose first byte is below this, with the other two bytes zero, are named directly.
constexpr std::uint8_t kFirstLongIdByte = 0x22;

// How the key will hold its code.
struct Holding {
    CodeHolding form = CodeHolding::kDirect;
    bool newEntry = false;
    std::uint8_t entryIndex = 0;
};

std::optional<std::uint8_t> FindEntryInUse(const std::vector<CodeEntry>& codeTable,
                                           const CodeId& codeId) {
    for (std::size_t i = 0; i < codeTable.size() && i <= 0xFF; ++i) {
        if (codeTable[i].inUse && codeTable[i].codeId == codeId)
            return static_cast<std::uint8_t>(i);
    }
    return std::nullopt;
}

std::optional<std::uint8_t> FindFreeEntry(const std::vector<CodeEntry>& codeTable) {
    for (std::size_t i = 0; i < codeTable.size() && i <= 0xFF; ++i) {
        if (!codeTable[i].inUse)
            return static_cast<std::uint8_t>(i);
    }
    return std::nullopt;
}

// The key entry as learning writes it: learned, the code named here or at its code-table entry
// (followed by the bytes learning writes after an index), then as many field bytes as the code
// has.
MemoryBytes KeyEntryRecord(const ConvertedCode& code, const Holding& holding) {
    KeyEntry entry{.status = kLearnedStatus};
    if (holding.form == CodeHolding::kDirect) {
        entry.location = kCodeNamedHere;
        entry.reference = code.codeId.bytes;
    } else {
        entry.location = kCodeInCodeTable;
        entry.reference = {holding.entryIndex, kLearnedAfterIndex >> 8, kLearnedAfterIndex & 0xFF};
    }
    std::copy(code.fields.begin(), code.fields.end(), entry.fields.begin());
    return KeyEntryBytes(entry, code.fields.size());
}

KeySlot LearnedSlot(KeyCode keyCode, const ConvertedCode& code, const Holding& holding) {
    KeySlot slot{.keyCode = keyCode, .state = SlotState::kLearned, .holding = holding.form};
    if (holding.form == CodeHolding::kDirect) {
        slot.learnedCodeId = code.codeId;
    } else {
        slot.codeEntryIndex = holding.entryIndex;
        if (holding.newEntry)
            slot.afterIndex = kNewEntryMark;
    }
    return slot;
}

LearnOutcome LearnedOutcome(const Holding& holding) {
    if (holding.form == CodeHolding::kDirect)
        return LearnOutcome::kLearnedDirect;
    return holding.newEntry ? LearnOutcome::kLearnedNewEntry : LearnOutcome::kLearnedExistingEntry;
}

// A new code's claim: its data, the units it goes to and the table with its entry.
struct NewEntryClaim {
    MemoryBytes data;
    int firstUnit = 0;
    CodeTableState tables;
};

// A key entry from the first bytes of one, the rest read as zero.
KeyEntry KeyEntryFromStart(const MemoryBytes& bytes) {
    std::array<std::uint8_t, kKeyEntryBytes> whole{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), whole.size()), whole.begin());
    return KeyEntryFromBytes(whole);
}

LearnResult Outcome(LearnOutcome outcome) {
    LearnResult result;
    result.outcome = outcome;
    return result;
}

}  // namespace

bool Learned(LearnOutcome outcome) {
    return outcome == LearnOutcome::kLearnedDirect ||
           outcome == LearnOutcome::kLearnedExistingEntry ||
           outcome == LearnOutcome::kLearnedNewEntry;
}

bool IsBuiltinCode(const RemoteMap& map, const CodeId& codeId) {
    // Ids are compared as bytes, so the case of the hex letters they came in does not matter.
    return std::find(map.builtinCodeIds.begin(), map.builtinCodeIds.end(), codeId) !=
           map.builtinCodeIds.end();
}

bool IsShortCodeId(const CodeId& codeId) {
    return codeId.bytes[0] < kFirstLongIdByte && codeId.bytes[1] == 0 && codeId.bytes[2] == 0;
}

std::optional<int> FindFreeUnits(const RemoteMap& map, int unitCount, std::size_t dataBytes) {
    if (unitCount <= 0)
        return std::nullopt;
    const int units = std::min(map.codeAreaUnits, map.codeAreaBitmap.UnitCount());
    const auto isFree = [&map](int unit) {
        return !map.codeAreaBitmap.IsUsed(unit) &&
               !UnitClaimedByOtherEntry(map.codeTable, unit, -1);
    };
    for (int first = 0; first + unitCount <= units; ++first) {
        if (map.codeAreaAddress + kUnitBytes * first + static_cast<long>(dataBytes) - 1 >
            kHighestAddress)
            return std::nullopt;
        int length = 0;
        while (length < unitCount && isFree(first + length))
            ++length;
        if (length == unitCount)
            return first;
        first += length;  // the unit after the run is used: no run starts inside this one
    }
    return std::nullopt;
}

Result<CodePlacement, LearnOutcome> PlaceCode(const RemoteMap& map, const ConvertedCode& code) {
    CodePlacement placement;
    if (IsBuiltinCode(map, code.codeId) || IsShortCodeId(code.codeId))
        return placement;
    placement.form = CodeHolding::kCodeTable;
    if (const auto existing = FindEntryInUse(map.codeTable, code.codeId)) {
        placement.entryIndex = *existing;
        return placement;
    }
    std::optional<MemoryBytes> data = CodeDataBytes(code.codeData);
    if (!data)
        return Failure(LearnOutcome::kMalformedResult);
    const auto free = FindFreeEntry(map.codeTable);
    if (!free)
        return Failure(LearnOutcome::kNoFreeCodeEntry);
    const int unitCount = CodeUnitsFor(data->size());
    const std::optional<int> firstUnit = FindFreeUnits(map, unitCount, data->size());
    if (!firstUnit)
        return Failure(LearnOutcome::kNoRoom);
    placement.newEntry = true;
    placement.entryIndex = *free;
    placement.firstUnit = *firstUnit;
    placement.unitCount = unitCount;
    placement.data = std::move(*data);
    return placement;
}

CodeTableState ClaimedTables(const RemoteMap& map, const ConvertedCode& code,
                             const CodePlacement& placement) {
    CodeTableState tables{map.codeAreaBitmap, map.codeTable};
    if (!placement.newEntry)
        return tables;
    for (int unit = placement.firstUnit; unit < placement.firstUnit + placement.unitCount; ++unit)
        tables.codeAreaBitmap.SetUsed(unit, true);
    tables.codeTable[placement.entryIndex] =
        CodeEntry{code.codeId, true, static_cast<std::uint16_t>(placement.firstUnit),
                  static_cast<std::uint8_t>(placement.unitCount)};
    return tables;
}

LearnResult WriteLearnedCode(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                             std::string_view convertedCode, LeakedEntries leaked) {
    const std::optional<ConvertedCode> code = ParseConvertedCode(convertedCode);
    if (!code)
        return Outcome(LearnOutcome::kMalformedResult);

    // How the remote is to hold the code.
    Result<CodePlacement, LearnOutcome> placement = PlaceCode(map, *code);
    std::vector<FreedCodeEntry> reclaimed;
    const bool full = !placement && (placement.Problem() == LearnOutcome::kNoFreeCodeEntry ||
                                     placement.Problem() == LearnOutcome::kNoRoom);
    // Entries no key points at make room before the remote is called full.
    if (full && leaked == LeakedEntries::kReclaimedWhenFull) {
        EntryReclaim reclaim = ReclaimLeakedEntries(map, device);
        reclaimed = std::move(reclaim.freed);
        if (reclaim.outcome == EntryReclaim::Outcome::kUnknown) {
            LearnResult unknown = Outcome(LearnOutcome::kCodeTableNotWritten);
            unknown.remoteUncertain = true;
            return unknown;
        }
        placement = PlaceCode(map, *code);
    }
    if (!placement) {
        LearnResult failed = Outcome(placement.Problem());
        failed.reclaimed = std::move(reclaimed);
        return failed;
    }
    Holding holding{placement->form, placement->newEntry, placement->entryIndex};
    std::optional<NewEntryClaim> claim;
    if (placement->newEntry)
        claim = NewEntryClaim{placement->data, placement->firstUnit,
                              ClaimedTables(map, *code, *placement)};
    // Every outcome from here on says what was reclaimed on the way.
    const auto outcome = [&reclaimed](LearnOutcome value) {
        LearnResult result = Outcome(value);
        result.reclaimed = reclaimed;
        return result;
    };

    // The key's slot, and what its entry holds now, before anything is written.
    const std::optional<std::size_t> slot = FindKeySlot(map.keySlots, keyCode);
    const int slotIndex = slot ? static_cast<int>(*slot) : -1;
    const std::optional<MemoryAddress> entryAddress = KeyEntryAddress(map, slotIndex);
    if (!entryAddress)
        return outcome(LearnOutcome::kNoKeySlot);
    const std::optional<KeyEntry> previousEntry = ReadKeyEntry(map, device, slotIndex);
    if (!previousEntry)
        return outcome(LearnOutcome::kKeyEntryNotRead);

    if (claim) {
        // Data in free units claims nothing, whether it landed or not.
        const int dataAddress = map.codeAreaAddress + kUnitBytes * claim->firstUnit;
        if (WriteChecked(device, static_cast<MemoryAddress>(dataAddress), claim->data,
                         map.memoryBank)
                .landing != WriteLanding::kLanded)
            return outcome(LearnOutcome::kCodeDataNotWritten);
        switch (WriteChecked(
                    device, map.codeTableAddress,
                    CodeTableRegionBytes(claim->tables.codeAreaBitmap, claim->tables.codeTable),
                    map.memoryBank)
                    .landing) {
            case WriteLanding::kLanded:
                break;
            case WriteLanding::kNotLanded:
                return outcome(LearnOutcome::kCodeTableNotWritten);
            case WriteLanding::kUnknown: {
                // The claim may stand: an entry in use that no key points at, the safe side,
                // which the map keeps so that nothing else is given its units meanwhile.
                map.codeAreaBitmap = std::move(claim->tables.codeAreaBitmap);
                map.codeTable = std::move(claim->tables.codeTable);
                LearnResult unknown = outcome(LearnOutcome::kCodeTableNotWritten);
                unknown.newEntryLeftInUse = true;
                unknown.remoteUncertain = true;
                return unknown;
            }
        }
    }

    const MemoryBytes record = KeyEntryRecord(*code, holding);
    const CheckedWrite keyWrite = WriteChecked(device, *entryAddress, record, map.memoryBank);
    if (keyWrite.landing != WriteLanding::kLanded) {
        // Only a key entry seen not to point at the claimed entry lets the claim go.
        const bool pointsAtClaim =
            claim && keyWrite.readBack.size() >= kKeyEntryHeaderBytes &&
            KeyEntryFromStart(keyWrite.readBack).HoldsTableCode() &&
            KeyEntryFromStart(keyWrite.readBack).CodeEntryIndex() == holding.entryIndex;
        const bool unknown = keyWrite.landing == WriteLanding::kUnknown || pointsAtClaim;
        LearnResult failed =
            outcome(unknown ? LearnOutcome::kKeyEntryUnknown : LearnOutcome::kKeyEntryNotWritten);
        failed.remoteUncertain = unknown;
        if (!claim)
            return failed;
        if (!unknown) {
            // The claim goes back: the entry and its units are free again, as before the
            // attempt.
            switch (WriteChecked(device, map.codeTableAddress, CodeTableRegionBytes(map),
                                 map.memoryBank)
                        .landing) {
                case WriteLanding::kLanded:
                    return failed;
                case WriteLanding::kNotLanded:
                    break;
                case WriteLanding::kUnknown:
                    failed.remoteUncertain = true;
                    break;
            }
        }
        // The claim stays in the map as it may stand on the remote.
        map.codeAreaBitmap = std::move(claim->tables.codeAreaBitmap);
        map.codeTable = std::move(claim->tables.codeTable);
        failed.newEntryLeftInUse = true;
        return failed;
    }
    if (claim) {
        map.codeAreaBitmap = std::move(claim->tables.codeAreaBitmap);
        map.codeTable = std::move(claim->tables.codeTable);
    }
    map.keySlots[*slot] = LearnedSlot(keyCode, *code, holding);

    LearnResult learned = outcome(LearnedOutcome(holding));
    learned.slotIndex = *slot;
    if (holding.form == CodeHolding::kCodeTable)
        learned.learnedCodeRef =
            HexText(holding.entryIndex, 2) + (holding.newEntry ? HexText(kNewEntryMark, 4) : "");

    // What the key held before is freed last, and never the entry it points at now.
    const std::optional<std::uint8_t> previousIndex = previousEntry->CodeEntryIndex();
    const bool pointsThereNow =
        holding.form == CodeHolding::kCodeTable && previousIndex == holding.entryIndex;
    if (previousEntry->HoldsTableCode() && !pointsThereNow) {
        switch (ReleaseCodeEntry(map, device, keyCode, *previousIndex)) {
            case CodeEntryRelease::kStillUsed:
            case CodeEntryRelease::kFreed:
                break;
            case CodeEntryRelease::kRegionNotWritten:
                learned.previousEntryLeftInUse = true;
                break;
            case CodeEntryRelease::kRegionUnknown:
                learned.previousEntryLeftInUse = true;
                learned.remoteUncertain = true;
                break;
        }
    }
    return learned;
}
