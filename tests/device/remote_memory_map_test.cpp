// Parsing the remote's memory: fixed positions, little-endian words, both branches of pointer
// translation, and refusal of memory the program cannot work with.
#include <gtest/gtest.h>

#include <string>

#include "hex_fields.h"
#include "remote_memory_map.h"

namespace {

// A hex text of `bytes` zero bytes with some bytes set.
struct HexImage {
    std::string text;
    explicit HexImage(std::size_t bytes) : text(2 * bytes, '0') {}
    HexImage& Byte(std::size_t index, const char* twoDigits) {
        text.replace(2 * index, 2, twoDigits);
        return *this;
    }
    HexImage& Word(std::size_t index, int value) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", value & 0xFF);
        Byte(index, digits);
        std::snprintf(digits, sizeof digits, "%02X", (value >> 8) & 0xFF);
        return Byte(index + 1, digits);
    }
};

TEST(HexFields, WordsAreLittleEndianAndValidated) {
    EXPECT_EQ(LittleEndianWordAt("3C00B0", 0), 0x003C);
    EXPECT_EQ(LittleEndianWordAt("3C00B0", 1), 0xB000);
    EXPECT_EQ(LittleEndianWordAt("ab0C", 0), 0x0CAB);
    EXPECT_EQ(LittleEndianWordAt("3C00B0", 2), std::nullopt);  // runs past the text
    EXPECT_EQ(LittleEndianWordAt("3G00", 0), std::nullopt);
    EXPECT_EQ(LittleEndianWordAt(std::string("3C\0\0", 4), 0), std::nullopt);
    EXPECT_EQ(HexByteAt("00FF", 1), 0xFF);
    EXPECT_EQ(HexByteAt("00F", 1), std::nullopt);
    EXPECT_EQ(HexBytesAt("00a1b2c3", 1, 3), "A1B2C3");
    EXPECT_EQ(HexBytesAt("00a1b2c3", 2, 3), std::nullopt);
    EXPECT_EQ(HexBytesAt("00a1-2c3", 1, 3), std::nullopt);
}

TEST(HexFields, TranslateDevicePointerUsesBothBranches) {
    const int directory = 0x8000;
    const int bias = 0x4000;
    EXPECT_EQ(TranslateDevicePointer(bias, directory, bias), 0);
    EXPECT_EQ(TranslateDevicePointer(bias - 1, directory, bias), bias - 1 + directory);
    EXPECT_EQ(TranslateDevicePointer(0xC600, directory, bias), 0x8600);
    EXPECT_EQ(TranslateDevicePointer(0x0100, directory, bias), 0x8100);
    EXPECT_EQ(TranslateDevicePointer(0, directory, 0), 0);  // zero bias: every word is biased
}

TEST(HexFields, UnpackCodeAreaBitmapGivesFourBitsPerDigit) {
    EXPECT_EQ(UnpackCodeAreaBitmap("A"), "1010");
    EXPECT_EQ(UnpackCodeAreaBitmap("0f80"), "0000111110000000");
    EXPECT_EQ(UnpackCodeAreaBitmap(""), "");
    EXPECT_EQ(UnpackCodeAreaBitmap("8X"), std::nullopt);
}

TEST(InfoBlock, FieldsAtTheirBytes) {
    HexImage info(48);
    info.Byte(0, "59").Byte(14, "06").Byte(32, "01").Byte(33, "03").Byte(35, "77").Byte(36, "31");
    const InfoBlock block = ParseInfoBlock(info.text + std::string(1024 - 96, '\0'));
    EXPECT_EQ(block.identityText,
              "5900000000000000000000000000"
              "06");
    EXPECT_EQ(block.modelCode, "7731");
    EXPECT_EQ(block.major, 1);
    EXPECT_EQ(block.minor, 3);
    info.Byte(33, "x3");
    EXPECT_EQ(ParseInfoBlock(info.text).minor, std::nullopt);
}

TEST(ConfigBlock, TakesDirectoryBiasAndBank) {
    RemoteMap map;
    HexImage config(16);
    config.Word(0, 0x8000).Word(6, 0x4000).Byte(8, "0a");
    ASSERT_TRUE(ParseConfigBlock(config.text, map));
    EXPECT_EQ(map.directoryAddress, 0x8000);
    EXPECT_EQ(map.pointerBias, 0x4000);
    EXPECT_EQ(map.memoryBank, "0A");
    config.Byte(7, "Z0");
    EXPECT_FALSE(ParseConfigBlock(config.text, map));
}

HexImage Directory(int keyEntries, int codeEntries, int units, int keyTable, int builtin,
                   int codeTable, int codeArea, const char* keyCodes) {
    HexImage dir(40);
    dir.Word(0, keyEntries).Word(8, units).Word(16, keyTable).Word(24, builtin);
    dir.Word(26, codeTable).Word(28, codeArea);
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", codeEntries);
    dir.Byte(7, digits).Byte(32, keyCodes);
    return dir;
}

TEST(DirectoryBlock, TranslatesThePointersAndRefusesTablesPastTheEnd) {
    // With the directory at 8000 and the bias at C000, words below C000 reach 8000 to 13FFF.
    struct Case {
        const char* name;
        HexImage dir;
        bool accepted;
    } cases[] = {
        {"key table at address 0", Directory(3, 0, 0, 0xC000, 0, 0xC000, 0xC000, "03"), true},
        {"key table ends at FFFF", Directory(2, 0, 0, 0x7FD4, 0, 0xC000, 0xC000, "03"), true},
        {"key table ends past FFFF", Directory(3, 0, 0, 0x7FD4, 0, 0xC000, 0xC000, "03"), false},
        {"empty key table past FFFF", Directory(0, 0, 0, 0xBFFF, 0, 0xC000, 0xC000, "00"), false},
        {"code area ends at FFFF", Directory(0, 0, 8, 0xC000, 0, 0xC000, 0x7FC0, "00"), true},
        {"code area past FFFF", Directory(0, 0, 9, 0xC000, 0, 0xC000, 0x7FC0, "00"), false},
        {"code table past FFFF", Directory(0, 1, 8, 0xC000, 0, 0x7FFA, 0xC000, "00"), false},
        {"built-in list past FFFF", Directory(0, 0, 0, 0xC000, 0x7FFF, 0xC000, 0xC000, "00"),
         false},
        // 6 x 170 + 3 = 1023 bytes still fit the code table read; one more bitmap byte does not.
        {"largest code table", Directory(0, 170, 24, 0xC000, 0, 0xC000, 0xC000, "00"), true},
        {"code table past its read", Directory(0, 170, 25, 0xC000, 0, 0xC000, 0xC000, "00"), false},
    };
    for (Case& c : cases) {
        RemoteMap map;
        map.directoryAddress = 0x8000;
        map.pointerBias = 0xC000;
        int keyCodes = -1;
        EXPECT_EQ(ParseDirectoryBlock(c.dir.text, map, keyCodes), c.accepted) << c.name;
    }

    RemoteMap map;
    map.directoryAddress = 0x8000;
    map.pointerBias = 0x4000;
    int keyCodes = 0;
    const HexImage dir = Directory(3, 16, 243, 0x0100, 0x0500, 0xC600, 0xC700, "04");
    ASSERT_TRUE(ParseDirectoryBlock(dir.text, map, keyCodes));
    EXPECT_EQ(map.keyEntryCount, 3);
    EXPECT_EQ(map.codeTableCount, 16);
    EXPECT_EQ(map.codeAreaUnits, 243);
    EXPECT_EQ(map.keyTableAddress, 0x8100);
    EXPECT_EQ(map.builtinListAddress, 0x8500);
    EXPECT_EQ(map.codeTableAddress, 0x8600);
    EXPECT_EQ(map.codeAreaAddress, 0x8700);
    EXPECT_EQ(keyCodes, 4);
    HexImage bad = dir;
    bad.Byte(28, "0x");
    EXPECT_FALSE(ParseDirectoryBlock(bad.text, map, keyCodes));
}

TEST(KeyCodeList, OneSlotPerCodeAndNoMoreEntriesThanCodes) {
    const std::string list =
        "04"
        "00"
        "01"
        "3a"
        "33" +
        std::string(800 - 10, '0');
    RemoteMap map;
    map.keyEntryCount = 4;
    ASSERT_TRUE(ParseKeyCodeList(list, 4, map));
    EXPECT_EQ(map.keySlots, (std::vector<std::string>{"00|", "01|", "3A|", "33|"}));
    map.keyEntryCount = 5;
    EXPECT_FALSE(ParseKeyCodeList(list, 4, map));
    map.keyEntryCount = 0;
    EXPECT_FALSE(ParseKeyCodeList("0200G1", 2, map));
}

TEST(KeyTable, ReadSizeFollowsTheEntryCount) {
    EXPECT_EQ(KeyTableReadUnits(0), 1);
    EXPECT_EQ(KeyTableBufferSize(0), 16u);
    EXPECT_EQ(KeyTableReadUnits(1), 3);
    EXPECT_EQ(KeyTableReadUnits(44), 122);
    EXPECT_EQ(KeyTableBufferSize(44), 44u * 44 + 16);
    // The read never gives more characters than its buffer holds.
    for (int count = 0; count < 400; ++count)
        EXPECT_LE(16u * static_cast<unsigned>(KeyTableReadUnits(count)), KeyTableBufferSize(count));
}

TEST(KeyTable, StartupSlotStates) {
    struct Case {
        const char* entry;
        std::optional<std::string> state;
    } cases[] = {
        {"000000000000", "0|0|"},
        {"800000220000", "1|0|"},
        {"C00000B05678", "2|0|"},
        {"E00080050000", "0|0|"},  // bit 5 set: no code
        {"A00000000000", "0|0|"},
        {"400000000000", "0|0|"},
        {"800080000010", "1|1|000010"},
        {"c00080a2ffff", "2|1|A2FFFF"},
        {"80007F050000", "1|0|"},
        {"8000ZZ000000", std::nullopt},
        {"800080GG0000", std::nullopt},
        {"800000GG0000", "1|0|"},  // the id is not read when the
                                   // entry names its code
        {"G00000000000", std::nullopt},
        {"80", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StartupSlotState(c.entry), c.state) << c.entry;
}

TEST(KeyTable, AppendsStatesToTheFirstSlotsOnly) {
    RemoteMap map;
    map.keySlots = {"00|", "01|", "30|"};
    map.keyEntryCount = 2;
    const std::string entries = std::string("80000022") + std::string(36, '0') + "C0008002FFFF" +
                                std::string(32, '0') + std::string(16, '\0');
    ASSERT_TRUE(ParseKeyTable(entries, map));
    EXPECT_EQ(map.keySlots, (std::vector<std::string>{"00|1|0|", "01|2|1|02FFFF", "30|"}));

    RemoteMap none;
    none.keySlots = {"00|"};
    ASSERT_TRUE(ParseKeyTable(std::string(16, '0'), none));
    EXPECT_EQ(none.keySlots, std::vector<std::string>{"00|"});
}

TEST(CodeTable, BitmapKeepsItsPaddingBitsAndTableFollowsIt) {
    RemoteMap map;
    map.codeAreaUnits = 10;  // two bitmap bytes, six padding bits
    map.codeTableCount = 2;
    EXPECT_EQ(CodeTableReadUnits(2, 10), 2);
    const std::string text =
        "E0C1"
        "A01234008003"
        "000000000000" +
        std::string(2048 - 28, '\0');
    ASSERT_TRUE(ParseCodeTable(text, map));
    EXPECT_EQ(map.codeAreaBitmap, "1110000011000001");
    EXPECT_EQ(map.codeTableText, "A01234008003000000000000");

    EXPECT_FALSE(ParseCodeTable("E0C1A01234008003" + std::string(8, '\0'), map));
    EXPECT_FALSE(ParseCodeTable("E0CXA01234008003000000000000", map));
}

TEST(BuiltinCodeList, CountWordThenSixByteRecords) {
    RemoteMap map;
    map.builtinListAddress = 0x8500;
    const std::string list =
        "0200"
        "220000000000"
        "2a0000123456" +
        std::string(1920 - 28, '0');
    ASSERT_TRUE(ParseBuiltinCodeList(list, map));
    EXPECT_EQ(map.builtinCodeIds, (std::vector<std::string>{"220000", "2A0000"}));

    // 159 records fill the 960-byte read; 160 do not fit it.
    std::string full(1920, '0');
    full.replace(0, 4, "9F00");
    EXPECT_TRUE(ParseBuiltinCodeList(full, map));
    EXPECT_EQ(map.builtinCodeIds.size(), 159u);
    full.replace(0, 4, "A000");
    EXPECT_FALSE(ParseBuiltinCodeList(full, map));
    // A list whose records would run past FFFF.
    map.builtinListAddress = 0xFFF8;
    EXPECT_FALSE(ParseBuiltinCodeList(list, map));
}

}  // namespace
