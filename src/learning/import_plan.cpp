#include "learning/import_plan.h"

#include <algorithm>

#include "converter/body_text.h"
#include "learning/code_table.h"
#include "learning/converted_code.h"

std::vector<PlannedKey> PlanImport(const RemoteMap& map, const std::vector<ImportRequest>& requests,
                                   const QString& converterFolder) {
    using Status = PlannedKey::Status;
    RemoteMap planned = map;
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
            if (placement) {
                key.status = Status::kFits;
                CodeTableState tables = ClaimedTables(planned, *code, *placement);
                planned.codeAreaBitmap = std::move(tables.codeAreaBitmap);
                planned.codeTable = std::move(tables.codeTable);
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
