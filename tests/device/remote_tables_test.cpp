// The tables as the program holds them: the slot texts they render to, the 22 bytes of a key
// entry, the six bytes of a code entry, and the bitmap that keeps its padding bits.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "device/device_text.h"
#include "device/remote_tables.h"

namespace {

TEST(SlotText, RendersEveryFormStartUpAndLearningWrite) {
    const CodeId id{{0x12, 0x34, 0x56}};
    struct Case {
        KeySlot slot;
        const char* text;
    } cases[] = {
        // As start-up writes them.
        {{.keyCode = 0x00, .state = SlotState::kEmpty, .holding = CodeHolding::kDirect}, "00|0|0|"},
        {{.keyCode = 0x01, .state = SlotState::kDownloaded, .holding = CodeHolding::kDirect},
         "01|1|0|"},
        {{.keyCode = 0x33,
          .state = SlotState::kDownloaded,
          .holding = CodeHolding::kCodeTable,
          .codeEntryIndex = 0x00,
          .afterIndex = 0x0010},
         "33|1|1|000010"},
        {{.keyCode = 0x30,
          .state = SlotState::kLearned,
          .holding = CodeHolding::kCodeTable,
          .codeEntryIndex = 0x02,
          .afterIndex = 0xFFFF},
         "30|2|1|02FFFF"},
        // A slot beyond the last key entry keeps only its key code.
        {{.keyCode = 0xA7}, "A7|"},
        // As learning writes them.
        {{.keyCode = 0x05,
          .state = SlotState::kLearned,
          .holding = CodeHolding::kDirect,
          .learnedCodeId = id},
         "05|2|0|123456"},
        {{.keyCode = 0x06,
          .state = SlotState::kLearned,
          .holding = CodeHolding::kCodeTable,
          .codeEntryIndex = 0x0A},
         "06|2|1|0A"},
        // After the key's code was taken off.
        {{.keyCode = 0x30, .state = SlotState::kEmpty}, "30|0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlotText(c.slot), c.text);
}

TEST(KeyEntry, WhetherItHoldsACodeAndWhere) {
    struct Case {
        std::uint8_t status;
        std::uint8_t location;
        bool holdsCode;
        bool learned;
        bool holdsTableCode;
    } cases[] = {
        {0x80, 0x00, true, false, false},  // downloaded, named here
        {0xC0, 0x80, true, true, true},    // learned, in the code table
        {0x80, 0xFF, true, false, true},   // only bit 7 of the location counts
        {0x80, 0x7F, true, false, false},
        {0xE0, 0x80, false, true, false},  // bit 5 set: no code, whatever the location says
        {0x00, 0x80, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.status} << " " << int{c.location});
        const KeyEntry entry{.status = c.status, .location = c.location, .reference = {7, 1, 2}};
        EXPECT_EQ(entry.HoldsCode(), c.holdsCode);
        EXPECT_EQ(entry.Learned(), c.learned);
        EXPECT_EQ(entry.HoldsTableCode(), c.holdsTableCode);
        // The index is there whenever the location points into the table, so that a key whose
        // status was cleared still tells which entry it held.
        EXPECT_EQ(entry.CodeEntryIndex(),
                  (c.location & 0x80) ? std::optional<std::uint8_t>(7) : std::nullopt);
    }
}

TEST(KeyEntry, TheTwentyTwoBytesAndBack) {
    std::array<std::uint8_t, kKeyEntryBytes> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    const KeyEntry entry = KeyEntryFromBytes(bytes);
    EXPECT_EQ(entry.status, 0xA0);
    EXPECT_EQ(entry.location, 0xA2);
    EXPECT_EQ(entry.CodeEntryIndex(), 0xA3);
    EXPECT_EQ(entry.AfterIndex(), 0xA4A5);
    EXPECT_EQ(CodeIdText(entry.NamedCodeId()), "A3A4A5");
    EXPECT_EQ(HexBytesText(entry.FirstField()), "A6A7A8A9AAABACAD");
    EXPECT_EQ(HexBytesText(entry.SecondField()), "AEAFB0B1B2B3B4B5");
    EXPECT_EQ(KeyEntryBytes(entry), MemoryBytes(bytes.begin(), bytes.end()));
    // Learning writes the header and only the field bytes its code has.
    EXPECT_EQ(HexBytesText(KeyEntryBytes(entry, 2)), "A0A1A2A3A4A5A6A7");
    EXPECT_EQ(KeyEntryBytes(entry, 0).size(), kKeyEntryHeaderBytes);
    EXPECT_EQ(KeyEntryBytes(entry, 99).size(), kKeyEntryBytes);
}

TEST(CodeEntry, TheLittleEndianWordOfAnEntryAndBack) {
    struct Case {
        std::array<std::uint8_t, kCodeEntryBytes> bytes;
        CodeEntry entry;
        const char* text;
    } cases[] = {
        {{0x12, 0x34, 0x56, 0x10, 0x80, 0x03},
         {.codeId = {{0x12, 0x34, 0x56}}, .inUse = true, .firstUnit = 0x10, .unitCount = 3},
         "123456108003"},
        {{0xAB, 0xCD, 0xEF, 0x34, 0xF2, 0xFF},
         {.codeId = {{0xAB, 0xCD, 0xEF}}, .inUse = true, .firstUnit = 0x7234, .unitCount = 0xFF},
         "ABCDEF34F2FF"},
        // Free, with a stale word: kept as it is.
        {{0xA0, 0x12, 0x34, 0x10, 0x7F, 0x03},
         {.codeId = {{0xA0, 0x12, 0x34}}, .inUse = false, .firstUnit = 0x7F10, .unitCount = 3},
         "A01234107F03"},
        {{}, CodeEntry{}, "000000000000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CodeEntryFromBytes(c.bytes), c.entry) << c.text;
        EXPECT_EQ(CodeEntryBytes(c.entry), c.bytes) << c.text;
        EXPECT_EQ(CodeEntryText(c.entry), c.text);
    }
    EXPECT_EQ(CodeTableText({cases[0].entry, CodeEntry{}}), "123456108003000000000000");
}

TEST(CodeAreaBitmap, OneBitPerUnitAndThePaddingBitsKept) {
    // 10 units in two bytes: units 0-9, then six padding bits the remote set.
    CodeAreaBitmap bitmap(10, MemoryBytes{0xFF, 0xC3});
    EXPECT_EQ(bitmap.BitText(), "1111111111000011");
    EXPECT_EQ(bitmap.UnitCount(), 10);
    EXPECT_TRUE(bitmap.IsUsed(9));
    EXPECT_FALSE(bitmap.IsUsed(10));  // a padding bit is not a unit, set or not
    EXPECT_FALSE(bitmap.IsUsed(-1));

    bitmap.SetUsed(0, false);
    bitmap.SetUsed(9, false);
    for (const int outside : {-1, 10, 14, 15, 16, 1000})
        bitmap.SetUsed(outside, false);
    EXPECT_EQ(bitmap.BitText(), "0111111110000011");
    EXPECT_EQ(HexBytesText(bitmap.Bytes()), "7F83");
    bitmap.SetUsed(3, false);
    bitmap.SetUsed(3, true);
    EXPECT_EQ(HexBytesText(bitmap.Bytes()), "7F83");

    EXPECT_EQ(CodeAreaBitmap(8, MemoryBytes{0xA0}).BitText(), "10100000");
    EXPECT_EQ(CodeAreaBitmap(16, MemoryBytes{0x0F, 0x80}).BitText(), "0000111110000000");
    EXPECT_EQ(CodeAreaBitmap(0, MemoryBytes{}).BitText(), "");
    EXPECT_EQ(CodeAreaBitmap::ByteCount(243), 31);
    EXPECT_EQ(CodeAreaBitmap::FromBitText("101").BitText(), "10100000");
}

}  // namespace
