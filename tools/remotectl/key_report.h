#pragma once
// What each key of the remote holds and sends, read from the key table, the code table and the
// code area the way the remote's firmware reads them, and decoded with the converter's own
// renderer and decoder (so the names are those irtool and remote-sim replay use).

#include <optional>
#include <string>
#include <vector>

#include "converter/ir_decode.h"
#include "converter/ir_render.h"
#include "device/remote_tables.h"
#include "learning/remote_backup.h"

struct RemoteMap;

struct KeyReport {
    KeyCode keyCode = 0;
    int slot = 0;
    SlotState state = SlotState::kEmpty;
    // How the key entry holds its code: named directly, or through a code-table entry.
    CodeHolding holding = CodeHolding::kNotRecorded;
    std::string codeId;  // six hex digits; empty for an empty key
    int codeEntry = -1;  // the code-table entry, for a table code
    int firstUnit = 0;   // its code-area units
    int unitCount = 0;
    // What the key sends: its signal and, when a protocol explains it, the protocol.
    std::optional<quorvel::Rendered> signal;
    std::optional<quorvel::Decoded> decoded;
    std::string problem;  // why a key that holds a code sends nothing

    bool HoldsCode() const {
        return state == SlotState::kDownloaded || state == SlotState::kLearned;
    }
};

// One report per key that has a key entry, in slot order.
std::vector<KeyReport> ReportKeys(const RemoteMap& map, const ManagedRegions& regions);

const char* StateName(SlotState state);
// "direct 220000", "entry 02 units 3-4", "-".
std::string HoldingText(const KeyReport& key);
// "NEC1 D=4 S=251 F=8", "raw 68 durations", "nothing (...)", "-".
std::string SendsText(const KeyReport& key);
// The function of the remote's key with this code ("Vol_up", common/remote_keys.h), or "-".
std::string KeyFunction(KeyCode code);
// The line `remotectl keys` prints for the key: code, function, state, holding and what it
// sends, in columns.
std::string KeyLine(const KeyReport& key);
