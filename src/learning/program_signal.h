#pragma once
// Programming a key with a signal that nobody fired at the remote: durations, or a protocol and
// its parameters that the converter renders to durations. The signal's body goes to the
// converter, loaded by name as for a capture, and its record is written into the remote as a
// captured code's is. No capture text is made up on the way: the body is the one the
// normaliser makes of a capture of the signal, so the key gets the record such a capture would
// have given it. The one exception is a signal longer than the normaliser reads whole (its
// capture past 750 groups): the normaliser may cut a capture's last mark off there, and a
// programmed signal keeps it.

#include <QString>
#include <optional>

#include "converter/ir_protocol.h"
#include "device/remote_tables.h"
#include "learning/converter_library.h"
#include "learning/write_learned_code.h"

class DeviceLibrary;
struct RemoteMap;

struct ProgramResult {
    // The converter's answer to the signal's body.
    Conversion conversion;
    // What writing the record did; none when the converter gave no answer to write (it is
    // missing, or failed inside its call). An empty answer is written as nothing (a malformed
    // result).
    std::optional<LearnResult> learned;

    bool Succeeded() const { return learned && Learned(learned->outcome); }
};

// Programs the key `keyCode` with `signal` (signed µs, a mark first; the last space is the
// silence after it). The converter is loaded from `converterFolder`; leaked: whether leaked
// code-table entries may be reclaimed to make room (write_learned_code.h).
ProgramResult ProgramSignal(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                            const quorvel::Durations& signal, const QString& converterFolder,
                            LeakedEntries leaked = LeakedEntries::kLeftAlone);

// The same for the signal the protocol sends with these parameters: its first frame and
// `repeats` repeat frames.
ProgramResult ProgramSignal(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                            const quorvel::ProtocolDef& protocol, const quorvel::Params& params,
                            int repeats, const QString& converterFolder);
