#include "slot_text.h"

namespace {

char CharAt(std::string_view text, std::size_t position) {
    return position < text.size() ? text[position] : '\0';
}

}  // namespace

std::string_view SlotKeyCode(std::string_view slot) {
    return slot.substr(0, kSlotKeyCodeLength);
}

char SlotStateDigit(std::string_view slot) {
    return CharAt(slot, kSlotStatePosition);
}

char SlotFlagDigit(std::string_view slot) {
    return CharAt(slot, kSlotFlagPosition);
}

std::string_view SlotReference(std::string_view slot) {
    if (slot.size() <= kSlotReferencePosition)
        return {};
    return slot.substr(kSlotReferencePosition, kSlotReferenceLength);
}

bool SlotHasKeyCode(std::string_view slot, std::string_view code) {
    return code.size() == kSlotKeyCodeLength && SlotKeyCode(slot) == code;
}

std::optional<std::size_t> FindKeySlot(const std::vector<std::string>& keySlots,
                                       std::string_view code) {
    for (std::size_t i = 0; i < keySlots.size(); ++i) {
        if (SlotHasKeyCode(keySlots[i], code))
            return i;
    }
    return std::nullopt;
}

bool KeyIsLearned(const std::vector<std::string>& keySlots, std::string_view code) {
    for (const std::string& slot : keySlots) {
        if (SlotHasKeyCode(slot, code) && SlotStateDigit(slot) == kSlotLearned)
            return true;
    }
    return false;
}

bool AnyKeyLearned(const std::vector<std::string>& keySlots) {
    for (const std::string& slot : keySlots) {
        if (SlotStateDigit(slot) == kSlotLearned)
            return true;
    }
    return false;
}

std::string NotLearnedSlotText(std::string_view keyCode) {
    return std::string(keyCode) + "|0";
}

void MarkSlotNotLearned(std::vector<std::string>& keySlots, std::string_view keyCode) {
    if (const auto slot = FindKeySlot(keySlots, keyCode))
        keySlots[*slot] = NotLearnedSlotText(SlotKeyCode(keySlots[*slot]));
}

bool CodeEntryUsedByOtherKey(const std::vector<std::string>& keySlots, std::string_view keyCode,
                             std::string_view entryIndex) {
    if (entryIndex.size() != kSlotReferenceLength)
        return false;
    for (const std::string& slot : keySlots) {
        // The digits compare as characters: '1' and '2' are both above '0'; a missing digit
        // ('\0') is not.
        if (SlotKeyCode(slot) != keyCode && SlotStateDigit(slot) > '0' &&
            SlotFlagDigit(slot) > '0' && SlotReference(slot) == entryIndex)
            return true;
    }
    return false;
}
