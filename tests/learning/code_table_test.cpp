#include <gtest/gtest.h>

#include <string>

#include "device/device_text.h"
#include "device/remote_map.h"
#include "learning/code_table.h"

namespace {

std::string Packed(std::string_view bits) {
    return HexBytesText(PackCodeAreaBitmap(CodeAreaBitmap::FromBitText(bits)));
}

TEST(PackCodeAreaBitmap, PacksEightUnitsPerByteFirstUnitHighest) {
    struct Case {
        const char* bitmap;
        const char* packed;
    } cases[] = {
        {"1000000000000011", "8003"},
        {"", ""},
        {"11111111", "FF"},
        {"0101101000000001", "5A01"},
        // Never made by start-up; a short last byte is padded with zeros.
        {"101", "A0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Packed(c.bitmap), c.packed) << c.bitmap;
}

TEST(PackCodeAreaBitmap, GivesBackWhatStartUpRead) {
    // 43 units: the padding bits of the last byte go back as they came.
    const MemoryBytes stored = {0xE7, 0x00, 0x5A, 0x01, 0xFF, 0x8F};
    EXPECT_EQ(PackCodeAreaBitmap(CodeAreaBitmap(43, stored)), stored);
}

CodeEntry InUse(CodeId id, std::uint16_t firstUnit, std::uint8_t unitCount) {
    return {.codeId = id, .inUse = true, .firstUnit = firstUnit, .unitCount = unitCount};
}

TEST(CodeEntry, OnlyEntriesInsideTheTableAreThere) {
    const std::vector<CodeEntry> table = {InUse({{0xA0, 0x12, 0x34}}, 0, 3),
                                          InUse({{0xB0, 0x56, 0x78}}, 3, 2)};
    EXPECT_EQ(CodeEntryAt(table, 1), table[1]);
    EXPECT_EQ(CodeEntryAt(table, 2), std::nullopt);
    EXPECT_EQ(CodeEntryAt(table, -1), std::nullopt);
    EXPECT_EQ(HexBytesText(CodeTableRegionBytes(CodeAreaBitmap::FromBitText("11111"), table)),
              "F8"
              "A01234008003"
              "B05678038002");
}

TEST(CodeEntry, ReleasingAnEntryFreesOnlyUnitsNoOtherEntryClaims) {
    RemoteMap map;
    map.codeAreaUnits = 16;
    // Entry 0: units 8-10 in use; entry 1: units 10-11; entry 2 is free but its stale word names
    // units 0-2, whose bits are set although no entry in use claims them.
    map.codeAreaBitmap = CodeAreaBitmap::FromBitText("1110000011110000");
    map.codeTable = {InUse({{0x12, 0x34, 0x56}}, 8, 3), InUse({{0xA0, 0x12, 0x34}}, 10, 2),
                     CodeEntry{.codeId = {{0x0A, 0x0B, 0x0C}}, .firstUnit = 0, .unitCount = 3}};

    const CodeTableState first = WithCodeEntryReleased(map, 0);
    EXPECT_EQ(first.codeAreaBitmap.BitText(), "1110000000110000");
    EXPECT_EQ(CodeTableText(first.codeTable),
              "000000000000"
              "A012340A8002"
              "0A0B0C000003");

    // Only an entry in use has units to give back.
    const CodeTableState free = WithCodeEntryReleased(map, 2);
    EXPECT_EQ(free.codeAreaBitmap, map.codeAreaBitmap);
    EXPECT_EQ(CodeTableText(free.codeTable),
              "123456088003"
              "A012340A8002"
              "000000000000");

    // An index outside the table changes nothing.
    for (const int index : {3, -1, 0xFF}) {
        const CodeTableState none = WithCodeEntryReleased(map, index);
        EXPECT_EQ(none.codeAreaBitmap, map.codeAreaBitmap);
        EXPECT_EQ(none.codeTable, map.codeTable);
    }
}

}  // namespace
