#pragma once
// Taking learned codes off the remote: one key at a time, or every learned key at once. Keys
// that hold a downloaded code are never touched.
//
// The writes keep the remote consistent whenever they stop: a key's entry is cleared before the
// code-table entry and units it used are freed, and an entry is freed only once no key holds a
// code through it any more (a downloaded key, a key not yet cleared, a key whose clearing
// failed). At worst a refused or interrupted write leaves an entry in use that no key points at;
// never a key pointing at a free entry.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "device/remote_tables.h"
#include "learning/release_key_entry.h"

class DeviceLibrary;
struct RemoteMap;

enum class DeleteOutcome {
    kDeleted,
    kNoKeySlots,  // the remote has no keys at all: nothing read or written
    kNotLearned,  // the key has no slot, or its code was not learned: nothing read or written
    kNotDeleted,  // the release failed (release.outcome says why): the key keeps its code
};

struct DeleteResult {
    DeleteOutcome outcome = DeleteOutcome::kNotLearned;
    KeyRelease release;  // kDeleted and kNotDeleted only
};

// Why deleting keyCode would be refused before anything is written, or none when its code is
// learned. The key's first slot decides.
std::optional<DeleteOutcome> DeleteRefusal(const std::vector<KeySlot>& keySlots, KeyCode keyCode);

// Takes the learned code of keyCode off the remote through ReleaseKeyEntry, sending the status
// byte once. The map follows the remote.
DeleteResult DeleteLearnedKey(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode);

enum class ClearOutcome {
    kNothingLearned,  // no key is learned: nothing read or written
    kCleared,         // every learned key was cleared
    kPartlyCleared,   // some learned keys could not be cleared and are still learned
};

struct ClearResult {
    ClearOutcome outcome = ClearOutcome::kNothingLearned;
    // Every learned key, in slot order, by whether its code is off the remote now.
    std::vector<KeyRelease> cleared;
    std::vector<KeyRelease> failed;

    // The entries the clear freed, in the order they were freed.
    std::vector<FreedCodeEntry> FreedEntries() const;
};

// Takes every learned code off the remote, key by key in slot order, through ReleaseKeyEntry with
// the status byte sent twice. A key whose entry cannot be cleared stays learned, and the clear
// goes on with the next. An entry several cleared keys shared is freed with the last of them;
// one a downloaded key or a key that stays learned uses is kept.
ClearResult ClearLearnedKeys(RemoteMap& map, DeviceLibrary& device);
