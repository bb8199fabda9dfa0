#pragma once
// A key slot as the window keeps it, one text per key of the remote:
//
//   "KK|S|F|RRRRRR"   key code KK, state digit S, reference flag F, reference R...
//
// Start-up writes "KK|0|0|", "KK|1|0|", "KK|2|1|0580FF" and the like; learning writes
// "KK|2|0|" + code id or "KK|2|1|" + entry index (+ "FFFF"); taking a key's code off leaves
// "KK|0". A slot read from more key codes than key entries is only "KK|". Only the key code,
// the state digit, the flag digit and the first two characters of the reference are ever read,
// always through the accessors below, which give an empty answer when the text is too short.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kSlotKeyCodeLength = 2;
inline constexpr std::size_t kSlotStatePosition = 3;
inline constexpr std::size_t kSlotFlagPosition = 5;
inline constexpr std::size_t kSlotReferencePosition = 7;
inline constexpr std::size_t kSlotReferenceLength = 2;

// State digits.
inline constexpr char kSlotEmpty = '0';
inline constexpr char kSlotDownloaded = '1';
inline constexpr char kSlotLearned = '2';

// The key code (the first two characters; fewer when the text is shorter).
std::string_view SlotKeyCode(std::string_view slot);
// The state digit, or '\0' when the slot has none.
char SlotStateDigit(std::string_view slot);
// The reference flag digit, or '\0' when the slot has none.
char SlotFlagDigit(std::string_view slot);
// The first two characters of the reference: the code-table entry index when the flag is 1.
// Shorter (or empty) when the text ends earlier.
std::string_view SlotReference(std::string_view slot);

// Whether the slot belongs to the key with this Code: its key code equals the Code exactly
// (case-sensitive). A Code that is not two characters long, such as the empty Code of an
// action button, belongs to no slot.
bool SlotHasKeyCode(std::string_view slot, std::string_view code);

// The first slot of the key with this Code, in slot order.
std::optional<std::size_t> FindKeySlot(const std::vector<std::string>& keySlots,
                                       std::string_view code);

// Whether some slot of the key with this Code has the state digit "2". A key with no slot is
// not learned.
bool KeyIsLearned(const std::vector<std::string>& keySlots, std::string_view code);

// Whether any slot has the state digit "2"; false for an empty table.
bool AnyKeyLearned(const std::vector<std::string>& keySlots);

// The slot text of a key whose code was taken off: the key code followed by "|0".
std::string NotLearnedSlotText(std::string_view keyCode);

// The first slot whose key code equals keyCode exactly becomes NotLearnedSlotText; later slots
// are left alone, and nothing changes when no slot matches.
void MarkSlotNotLearned(std::vector<std::string>& keySlots, std::string_view keyCode);

// Whether a key other than keyCode still points at the code-table entry whose index reads
// entryIndex (two hex digits): a slot with another key code, a state and a flag above "0", and
// that reference.
bool CodeEntryUsedByOtherKey(const std::vector<std::string>& keySlots, std::string_view keyCode,
                             std::string_view entryIndex);
