#pragma once
// Planning an import: where each of the signals an import gives its keys would go on the
// remote, decided as writing decides it (PlaceCode) on the tables as they will be once the
// keys planned before it hold their codes. A code that two keys are given is planned into one
// entry, which the second key shares. The plan writes nothing; it is made on the tables read
// under the lock that the writes then keep.
//
// As writing does under the lock, a code that finds the table or the code area full first
// frees the entries no key points at (leaked_entries.h), when `reclaimLeaked`; each key's plan
// says whether its place needed that. What the keys held before is not counted as freed: an
// import that replaces codes may find room the plan did not promise, never less.

#include <QString>
#include <string>
#include <vector>

#include "converter/ir_protocol.h"
#include "device/remote_map.h"
#include "learning/converter_library.h"
#include "learning/write_learned_code.h"

struct ImportRequest {
    KeyCode key = 0;
    quorvel::Durations signal;  // signed µs from a mark, as ProgramSignal takes it
};

struct PlannedKey {
    enum class Status {
        kFits,             // placement says where
        kNoFreeCodeEntry,  // every code-table entry would be in use
        kNoRoom,           // no free run of units is long enough for its data
        kNotConvertible,   // the converter gives no code the remote stores for it
        kNoConverter,      // the converter is missing or failed inside
    };
    Status status = Status::kNotConvertible;
    CodePlacement placement;
    std::string codeIdText;  // six hex digits, once converted
    // kFits only after the leaked entries were freed: the import reclaims them on the way.
    bool afterReclaiming = false;
};

// The plan of each request, in their order.
std::vector<PlannedKey> PlanImport(const RemoteMap& map, const std::vector<ImportRequest>& requests,
                                   const QString& converterFolder, bool reclaimLeaked);

// Entries in use that no key points at, which a full import reclaims.
int ReclaimableCodeEntries(const RemoteMap& map);
// Entries and units the remote has free now.
int FreeCodeEntries(const RemoteMap& map);
int FreeCodeUnits(const RemoteMap& map);
