#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "key_pictures.h"
#include "slot_text.h"

namespace {

using Slots = std::vector<std::string>;

TEST(SlotText, ReadsEachFormAtItsFixedPositions) {
    struct Case {
        const char* slot;
        const char* keyCode;
        char state;
        char flag;
        const char* reference;
    } cases[] = {
        // As start-up writes them.
        {"00|0|0|", "00", '0', '0', ""},
        {"01|1|0|", "01", '1', '0', ""},
        {"33|1|1|000010", "33", '1', '1', "00"},
        {"30|2|1|02FFFF", "30", '2', '1', "02"},
        // A slot beyond the last key entry keeps only its key code.
        {"A7|", "A7", '\0', '\0', ""},
        // As learning writes them.
        {"05|2|0|123456", "05", '2', '0', "12"},
        {"06|2|1|0A", "06", '2', '1', "0A"},
        {"06|2|1|0AFFFF", "06", '2', '1', "0A"},
        // After the key's code was taken off.
        {"30|0", "30", '0', '\0', ""},
        {"", "", '\0', '\0', ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        EXPECT_EQ(SlotKeyCode(c.slot), c.keyCode);
        EXPECT_EQ(SlotStateDigit(c.slot), c.state);
        EXPECT_EQ(SlotFlagDigit(c.slot), c.flag);
        EXPECT_EQ(SlotReference(c.slot), c.reference);
    }
}

TEST(SlotText, FindsTheFirstSlotWithTheExactCode) {
    const Slots slots = {"0A|0|0|", "30|1|0|", "a0|2|0|", "30|2|0|", "A0|0|0|"};
    EXPECT_EQ(FindKeySlot(slots, "30"), 1u);
    EXPECT_EQ(FindKeySlot(slots, "A0"), 4u);  // "a0" differs in case
    EXPECT_EQ(FindKeySlot(slots, "a0"), 2u);
    EXPECT_FALSE(FindKeySlot(slots, "31"));
    // An action button's empty Code, or a partial one, belongs to no slot.
    EXPECT_FALSE(FindKeySlot(slots, ""));
    EXPECT_FALSE(FindKeySlot(slots, "3"));
    EXPECT_FALSE(FindKeySlot({"3"}, "3"));
}

TEST(SlotText, KeyIsLearnedWhenAnyOfItsSlotsIsLearned) {
    const Slots slots = {"30|1|0|", "31|0", "30|2|1|02FFFF"};
    EXPECT_TRUE(KeyIsLearned(slots, "30"));
    EXPECT_FALSE(KeyIsLearned(slots, "31"));
    EXPECT_FALSE(KeyIsLearned(slots, "33"));  // no slot
}

TEST(SlotText, AnyKeyLearnedLooksOnlyAtStateDigits) {
    struct Case {
        Slots slots;
        bool learned;
    } cases[] = {
        {{}, false},
        {{"00|0|0|", "01|1|0|", "02|1|1|000010", "03|0"}, false},
        // A key code or reference containing a 2 is not a state.
        {{"22|0|0|", "02|1|1|22FFFF", "2A|"}, false},
        {{"00|0|0|", "01|2|0|"}, true},
        {{"01|2|1|05FFFF"}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnyKeyLearned(c.slots), c.learned) << ::testing::PrintToString(c.slots);
}

TEST(SlotText, MarkSlotNotLearnedRewritesOnlyTheFirstMatch) {
    Slots slots = {"00|2|0|123456", "30|2|1|02FFFF", "30|2|0|", "33|1|1|000010"};
    MarkSlotNotLearned(slots, "30");
    EXPECT_EQ(slots, (Slots{"00|2|0|123456", "30|0", "30|2|0|", "33|1|1|000010"}));
    MarkSlotNotLearned(slots, "00");
    EXPECT_EQ(slots[0], "00|0");
    EXPECT_FALSE(AnyKeyLearned({slots[0], slots[1]}));

    const Slots before = slots;
    MarkSlotNotLearned(slots, "44");
    MarkSlotNotLearned(slots, "");
    EXPECT_EQ(slots, before);
}

TEST(SlotText, CodeEntryUsedByOtherKeyNeedsAnotherKeyWithStateFlagAndIndex) {
    struct Case {
        const char* other;
        bool shared;
    } cases[] = {
        {"34|1|1|000010", true},                             // downloaded through entry 00
        {"34|2|1|00FFFF", true},                             // learned in this run into entry 00
        {"34|2|1|00", true},      {"34|2|1|01FFFF", false},  // another entry
        {"34|0|1|000010", false},                            // holds no code
        {"34|2|0|000010", false},                            // names its code directly
        {"34|0", false},          {"34|", false},
        {"33|1|1|000010", false},  // the released key itself
    };
    for (const Case& c : cases) {
        const Slots slots = {"33|1|1|000010", c.other};
        EXPECT_EQ(CodeEntryUsedByOtherKey(slots, "33", "00"), c.shared) << c.other;
    }
    EXPECT_FALSE(CodeEntryUsedByOtherKey({"34|1|1|0"}, "33", "0"));
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
