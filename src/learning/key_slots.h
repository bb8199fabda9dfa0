#pragma once
// The key slots (RemoteMap::keySlots, remote_tables.h) as the key operations ask and change
// them: which slot a key button belongs to, whether a key or any key is learned, taking a
// key's code off its slot, and whether another key still uses a code-table entry.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "device/remote_tables.h"

// The key code a key button's Code names: exactly two digits 0-9 or A-F, as the remote's key
// codes are written. Anything else (the empty Code of an action button, lower case, one digit)
// names no key and so belongs to no slot.
std::optional<KeyCode> ParseKeyCode(std::string_view code);

// The first slot of the key, in slot order.
std::optional<std::size_t> FindKeySlot(const std::vector<KeySlot>& keySlots, KeyCode keyCode);

// Whether some slot of the key is learned. A key with no slot is not learned.
bool KeyIsLearned(const std::vector<KeySlot>& keySlots, KeyCode keyCode);

// Whether any slot is learned; false for an empty table.
bool AnyKeyLearned(const std::vector<KeySlot>& keySlots);

// The slot of a key whose code was taken off: empty, nothing recorded ("KK|0").
KeySlot NotLearnedSlot(KeyCode keyCode);

// The first slot of the key becomes NotLearnedSlot; later slots are left alone, and nothing
// changes when no slot matches.
void MarkSlotNotLearned(std::vector<KeySlot>& keySlots, KeyCode keyCode);

// Whether a key other than keyCode still points at code-table entry entryIndex: a slot with
// another key code that holds a code (downloaded or learned) through that entry.
bool CodeEntryUsedByOtherKey(const std::vector<KeySlot>& keySlots, KeyCode keyCode,
                             std::uint8_t entryIndex);
