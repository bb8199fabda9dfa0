#include "learning/key_slots.h"

#include <cctype>

#include "device/hex_fields.h"

std::optional<KeyCode> ParseKeyCode(std::string_view code) {
    // The slots were always matched by exact text against upper-case key codes: a lower-case
    // Code matched none, and still does.
    if (code.size() != 2 || std::islower(static_cast<unsigned char>(code[0])) ||
        std::islower(static_cast<unsigned char>(code[1])))
        return std::nullopt;
    const std::optional<int> value = HexNumber(code);
    if (!value)
        return std::nullopt;
    return static_cast<KeyCode>(*value);
}

std::optional<std::size_t> FindKeySlot(const std::vector<KeySlot>& keySlots, KeyCode keyCode) {
    for (std::size_t i = 0; i < keySlots.size(); ++i) {
        if (keySlots[i].keyCode == keyCode)
            return i;
    }
    return std::nullopt;
}

bool KeyIsLearned(const std::vector<KeySlot>& keySlots, KeyCode keyCode) {
    for (const KeySlot& slot : keySlots) {
        if (slot.keyCode == keyCode && slot.state == SlotState::kLearned)
            return true;
    }
    return false;
}

bool AnyKeyLearned(const std::vector<KeySlot>& keySlots) {
    for (const KeySlot& slot : keySlots) {
        if (slot.state == SlotState::kLearned)
            return true;
    }
    return false;
}

KeySlot NotLearnedSlot(KeyCode keyCode) {
    return KeySlot{.keyCode = keyCode, .state = SlotState::kEmpty};
}

void MarkSlotNotLearned(std::vector<KeySlot>& keySlots, KeyCode keyCode) {
    if (const auto slot = FindKeySlot(keySlots, keyCode))
        keySlots[*slot] = NotLearnedSlot(keyCode);
}

bool CodeEntryUsedByOtherKey(const std::vector<KeySlot>& keySlots, KeyCode keyCode,
                             std::uint8_t entryIndex) {
    for (const KeySlot& slot : keySlots) {
        const bool holdsCode =
            slot.state == SlotState::kDownloaded || slot.state == SlotState::kLearned;
        if (slot.keyCode != keyCode && holdsCode && slot.holding == CodeHolding::kCodeTable &&
            slot.codeEntryIndex == entryIndex)
            return true;
    }
    return false;
}
