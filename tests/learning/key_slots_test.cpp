#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "learning/key_slots.h"
#include "ui/key_pictures.h"

namespace {

using Slots = std::vector<KeySlot>;

// The slot forms the tests need, as start-up and learning write them.
KeySlot Direct(KeyCode code, SlotState state) {
    return {.keyCode = code, .state = state, .holding = CodeHolding::kDirect};
}
KeySlot InCodeTable(KeyCode code, SlotState state, std::uint8_t index,
                    std::optional<std::uint16_t> afterIndex = std::nullopt) {
    return {.keyCode = code,
            .state = state,
            .holding = CodeHolding::kCodeTable,
            .codeEntryIndex = index,
            .afterIndex = afterIndex};
}
KeySlot Unread(KeyCode code) {
    return {.keyCode = code};
}

constexpr SlotState kEmpty = SlotState::kEmpty;
constexpr SlotState kDownloaded = SlotState::kDownloaded;
constexpr SlotState kLearned = SlotState::kLearned;

TEST(KeySlots, AButtonCodeNamesAKeyOnlyAsTheRemoteWritesKeyCodes) {
    EXPECT_EQ(ParseKeyCode("30"), 0x30);
    EXPECT_EQ(ParseKeyCode("A7"), 0xA7);
    EXPECT_EQ(ParseKeyCode("0A"), 0x0A);
    // An action button's empty Code, a partial one, lower case and anything not hex name no
    // key, so they belong to no slot.
    for (const char* code : {"", "3", "300", "a0", "0a", "G0", " 1", "-1"})
        EXPECT_EQ(ParseKeyCode(code), std::nullopt) << code;
}

TEST(KeySlots, FindsTheFirstSlotWithTheCode) {
    const Slots slots = {Direct(0x0A, kEmpty), Direct(0x30, kDownloaded), Direct(0xA1, kLearned),
                         Direct(0x30, kLearned), Direct(0xA0, kEmpty)};
    EXPECT_EQ(FindKeySlot(slots, 0x30), 1u);
    EXPECT_EQ(FindKeySlot(slots, 0xA0), 4u);
    EXPECT_FALSE(FindKeySlot(slots, 0x31));
    EXPECT_FALSE(FindKeySlot({}, 0x30));
}

TEST(KeySlots, KeyIsLearnedWhenAnyOfItsSlotsIsLearned) {
    const Slots slots = {Direct(0x30, kDownloaded), NotLearnedSlot(0x31),
                         InCodeTable(0x30, kLearned, 0x02, 0xFFFF)};
    EXPECT_TRUE(KeyIsLearned(slots, 0x30));
    EXPECT_FALSE(KeyIsLearned(slots, 0x31));
    EXPECT_FALSE(KeyIsLearned(slots, 0x33));  // no slot
}

TEST(KeySlots, AnyKeyLearnedLooksOnlyAtStates) {
    struct Case {
        Slots slots;
        bool learned;
    } cases[] = {
        {{}, false},
        {{Direct(0x00, kEmpty), Direct(0x01, kDownloaded),
          InCodeTable(0x02, kDownloaded, 0x00, 0x0010), NotLearnedSlot(0x03)},
         false},
        // A key code or reference containing a 2 is not a state.
        {{Direct(0x22, kEmpty), InCodeTable(0x02, kDownloaded, 0x22, 0xFFFF), Unread(0x2A)}, false},
        {{Direct(0x00, kEmpty), Direct(0x01, kLearned)}, true},
        {{InCodeTable(0x01, kLearned, 0x05, 0xFFFF)}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnyKeyLearned(c.slots), c.learned)
            << ::testing::PrintToString(SlotTexts(c.slots));
}

TEST(KeySlots, MarkSlotNotLearnedRewritesOnlyTheFirstMatch) {
    KeySlot learnedDirect = Direct(0x00, kLearned);
    learnedDirect.learnedCodeId = CodeId{{0x12, 0x34, 0x56}};
    Slots slots = {learnedDirect, InCodeTable(0x30, kLearned, 0x02, 0xFFFF), Direct(0x30, kLearned),
                   InCodeTable(0x33, kDownloaded, 0x00, 0x0010)};
    MarkSlotNotLearned(slots, 0x30);
    EXPECT_EQ(SlotTexts(slots),
              (std::vector<std::string>{"00|2|0|123456", "30|0", "30|2|0|", "33|1|1|000010"}));
    MarkSlotNotLearned(slots, 0x00);
    EXPECT_EQ(SlotText(slots[0]), "00|0");
    EXPECT_FALSE(AnyKeyLearned({slots[0], slots[1]}));

    const Slots before = slots;
    MarkSlotNotLearned(slots, 0x44);
    EXPECT_EQ(slots, before);
}

TEST(KeySlots, CodeEntryUsedByOtherKeyNeedsAnotherKeyWithStateFlagAndIndex) {
    struct Case {
        KeySlot other;
        bool shared;
    } cases[] = {
        {InCodeTable(0x34, kDownloaded, 0x00, 0x0010), true},  // downloaded through entry 00
        {InCodeTable(0x34, kLearned, 0x00, 0xFFFF), true},     // learned in this run into 00
        {InCodeTable(0x34, kLearned, 0x00), true},
        {InCodeTable(0x34, kLearned, 0x01, 0xFFFF), false},  // another entry
        {InCodeTable(0x34, kEmpty, 0x00, 0x0010), false},    // holds no code
        {Direct(0x34, kLearned), false},                     // names its code directly
        {NotLearnedSlot(0x34), false},
        {Unread(0x34), false},
        {InCodeTable(0x33, kDownloaded, 0x00, 0x0010), false},  // the released key itself
    };
    for (const Case& c : cases) {
        const Slots slots = {InCodeTable(0x33, kDownloaded, 0x00, 0x0010), c.other};
        EXPECT_EQ(CodeEntryUsedByOtherKey(slots, 0x33, 0x00), c.shared) << SlotText(c.other);
    }
}

TEST(KeyPictureIndex, PlacesEachSetAfterTheUnusedFirstPicture) {
    EXPECT_EQ(KeyPictureIndex(KeyPictureSet::kNotLearned, "00"), 1u);
    EXPECT_EQ(KeyPictureIndex(KeyPictureSet::kLearned, "30"), 169u + 0x30);
    EXPECT_EQ(KeyPictureIndex(KeyPictureSet::kLearning, "33"), 337u + 0x33);
    EXPECT_EQ(KeyPictureIndex(KeyPictureSet::kDownloaded, "A7"), kKeyPictureCount - 1);
    EXPECT_EQ(KeyPictureIndex(KeyPictureSet::kDownloaded, "a7"), kKeyPictureCount - 1);
    // Codes without a picture never index outside the array.
    for (const char* code : {"A8", "FF", "", "0", "000", "G0", " 1"})
        EXPECT_FALSE(KeyPictureIndex(KeyPictureSet::kDownloaded, code)) << code;
}

}  // namespace
