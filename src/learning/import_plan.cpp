#include "learning/import_plan.h"

#include <algorithm>

#include "converter/body_text.h"
#include "learning/code_table.h"
#include "learning/converted_code.h"
#include "learning/key_slots.h"
#include "learning/leaked_entries.h"

namespace {

bool Full(const Result<CodePlacement, LearnOutcome>& placement) {
    return !placement && (placement.Problem() == LearnOutcome::kNoFreeCodeEntry ||
                          placement.Problem() == LearnOutcome::kNoRoom);
}

// The map as it is once its leaked entries are freed.
void FreeLeakedEntries(RemoteMap& map) {
    for (const std::uint8_t index : LeakedCodeEntries(map)) {
        CodeTableState tables = WithCodeEntryReleased(map, index);
        map.codeAreaBitmap = std::move(tables.codeAreaBitmap);
        map.codeTable = std::move(tables.codeTable);
    }
}

}  // namespace

std::vector<PlannedKey> PlanImport(const RemoteMap& map, const std::vector<ImportRequest>& requests,
                                   const QString& converterFolder, bool reclaimLeaked) {
    using Status = PlannedKey::Status;
    RemoteMap planned = map;
    bool reclaimed = false;
    std::vector<PlannedKey> plan;
    for (const ImportRequest& request : requests) {
        PlannedKey key;
        const Conversion conversion =
            ConvertWithLibrary(quorvel::FormatBody(request.signal), converterFolder);
        const std::optional<ConvertedCode> code = conversion.status == ConversionStatus::kConverted
                                                      ? ParseConvertedCode(conversion.text)
                                                      : std::nullopt;
        if (conversion.status != ConversionStatus::kConverted) {
            key.status = Status::kNoConverter;
        } else if (!code) {
            key.status = Status::kNotConvertible;
        } else {
            key.codeIdText = CodeIdText(code->codeId);
            Result<CodePlacement, LearnOutcome> placement = PlaceCode(planned, *code);
            if (Full(placement) && reclaimLeaked && !reclaimed) {
                FreeLeakedEntries(planned);
                reclaimed = true;
                placement = PlaceCode(planned, *code);
                key.afterReclaiming = placement.HasValue();
            }
            if (placement) {
                key.status = Status::kFits;
                CodeTableState tables = ClaimedTables(planned, *code, *placement);
                planned.codeAreaBitmap = std::move(tables.codeAreaBitmap);
                planned.codeTable = std::move(tables.codeTable);
                // The key points at its code now: its entry is no leaked one.
                if (const auto slot = FindKeySlot(planned.keySlots, request.key)) {
                    KeySlot& slotPlanned = planned.keySlots[*slot];
                    slotPlanned.state = SlotState::kLearned;
                    slotPlanned.holding = placement->form;
                    slotPlanned.codeEntryIndex = placement->entryIndex;
                    slotPlanned.afterIndex = kLearnedAfterIndex;
                    if (placement->form == CodeHolding::kDirect)
                        slotPlanned.learnedCodeId = code->codeId;
                }
                key.placement = std::move(*placement);
            } else {
                key.status =
                    placement.Problem() == LearnOutcome::kNoFreeCodeEntry ? Status::kNoFreeCodeEntry
                    : placement.Problem() == LearnOutcome::kNoRoom        ? Status::kNoRoom
                                                                          : Status::kNotConvertible;
            }
        }
        plan.push_back(std::move(key));
    }
    return plan;
}

int ReclaimableCodeEntries(const RemoteMap& map) {
    return static_cast<int>(LeakedCodeEntries(map).size());
}

int FreeCodeEntries(const RemoteMap& map) {
    int free = 0;
    for (const CodeEntry& entry : map.codeTable)
        free += !entry.inUse;
    return free;
}

int FreeCodeUnits(const RemoteMap& map) {
    int free = 0;
    const int units = std::min(map.codeAreaUnits, map.codeAreaBitmap.UnitCount());
    for (int unit = 0; unit < units; ++unit)
        free +=
            !map.codeAreaBitmap.IsUsed(unit) && !UnitClaimedByOtherEntry(map.codeTable, unit, -1);
    return free;
}
