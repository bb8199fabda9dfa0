#pragma once
// Code-table entries in use that no key points at. The write order leaves one behind when a
// learn or a release stops between its writes (the safe side: never a key at a free entry), and
// nothing else would ever free it, so enough interruptions would fill the table. They are
// reclaimed, but only on proof that no key uses them: every key entry of the key table,
// downloaded ones included, has been read under the lock and none holds a code through the
// entry. A downloaded key points at its entry exactly as a learned one does, so its entry is
// never taken for leaked; and while the lock is held no other program can make a key point at
// an entry meanwhile. Which of the map's slots are "read under the lock" is the caller's to
// vouch for (RemoteSession does, for the tables it read holding the lock).

#include <cstdint>
#include <vector>

#include "learning/release_key_entry.h"

class DeviceLibrary;
struct RemoteMap;

// The entries in use that no slot holding a code (learned or downloaded) points at, in index
// order. None when the slots do not cover the whole key table (an entry of the table was never
// read, or a slot holding a code does not record where): then nothing is provably unused.
std::vector<std::uint8_t> LeakedCodeEntries(const RemoteMap& map);

struct EntryReclaim {
    enum class Outcome {
        kNothingLeaked,  // nothing written
        kReclaimed,      // freed lists the entries, which the bitmap and table no longer hold
        kNotWritten,     // the remote refused the write: the entries stay as they were
        kUnknown,        // the write was not confirmed and could not be read back: the map keeps
                         // the entries, which the remote may no longer hold
    };
    Outcome outcome = Outcome::kNothingLeaked;
    std::vector<FreedCodeEntry> freed;
};

// Frees every leaked entry with those of its units no other entry claims, in one write of the
// bitmap and table: no key points at any of them, so wherever the write stops the remote is as
// consistent as before. The map follows the remote.
EntryReclaim ReclaimLeakedEntries(RemoteMap& map, DeviceLibrary& device);
