#include <gtest/gtest.h>

#include <string>

#include "code_table.h"
#include "hex_fields.h"
#include "remote_map.h"

namespace {

TEST(PackCodeAreaBitmap, PacksEightCharactersPerByteFirstCharacterHighest) {
    struct Case {
        const char* bitmap;
        const char* packed;
    } cases[] = {
        {"1000000000000011", "8003"},
        {"", ""},
        {"11111111", "FF"},
        {"0101101000000001", "5A01"},
        // Never made by start-up; a short last group counts as padded with zeros.
        {"101", "A0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PackCodeAreaBitmap(std::string(c.bitmap)), c.packed) << c.bitmap;
}

TEST(PackCodeAreaBitmap, GivesBackWhatStartUpUnpacked) {
    const std::string stored = "E7005A01FF80";
    const auto bitmap = UnpackCodeAreaBitmap(stored);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(PackCodeAreaBitmap(*bitmap), stored);
}

TEST(CodeEntry, ParsesTheLittleEndianWordOfAnEntry) {
    const auto entry = ParseCodeEntry("123456108003");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->codeId, "123456");
    EXPECT_TRUE(entry->inUse);
    EXPECT_EQ(entry->firstUnit, 0x10);
    EXPECT_EQ(entry->unitCount, 3);
    EXPECT_EQ(MakeCodeEntryText("123456", 0x10, 3), "123456108003");

    const auto wide = ParseCodeEntry("ABCDEF34F2FF");
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->firstUnit, 0x7234);
    EXPECT_EQ(wide->unitCount, 0xFF);

    const auto free = ParseCodeEntry("A01234107F03");
    ASSERT_TRUE(free);
    EXPECT_FALSE(free->inUse);

    for (const char* bad : {"", "12345610800", "1234561080030", "12345610800G", "12345 108003"})
        EXPECT_FALSE(ParseCodeEntry(bad)) << bad;
}

TEST(CodeEntry, ReadsAndReplacesOnlyEntriesInsideTheTable) {
    RemoteMap map;
    map.codeTableCount = 2;
    map.codeTableText =
        "A01234008003"
        "B05678038002"
        "C09ABC058001";  // one past the count
    EXPECT_EQ(CodeEntryText(map, 1), "B05678038002");
    EXPECT_EQ(CodeEntryText(map, 2), "");
    EXPECT_EQ(CodeEntryText(map, -1), "");

    EXPECT_EQ(WithCodeEntryText(map.codeTableText, 2, 0, kFreeCodeEntryText),
              "000000000000"
              "B05678038002"
              "C09ABC058001");
    EXPECT_EQ(WithCodeEntryText(map.codeTableText, 2, 2, kFreeCodeEntryText), map.codeTableText);

    map.codeTableText.resize(18);  // the text ends inside entry 1
    EXPECT_EQ(CodeEntryText(map, 1), "");
    EXPECT_EQ(WithCodeEntryText(map.codeTableText, 2, 1, kFreeCodeEntryText), map.codeTableText);
}

TEST(CodeEntry, ReleasingAFreeEntryNeverTouchesTheBitmap) {
    // The free entry's stale word names units 8-10, whose bits are set although no entry in
    // use claims them: only an entry in use has units to give back.
    RemoteMap map;
    map.codeTableCount = 2;
    map.codeAreaUnits = 16;
    map.codeAreaBitmap = "0000000011100000";
    map.codeTableText =
        "123456080003"
        "A01234008001";
    const CodeTableState released = WithCodeEntryReleased(map, 0);
    EXPECT_EQ(released.codeAreaBitmap, map.codeAreaBitmap);
    EXPECT_EQ(released.codeTableText,
              "000000000000"
              "A01234008001");
}

}  // namespace
