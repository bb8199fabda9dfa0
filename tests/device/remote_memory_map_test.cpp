// Parsing the remote's memory: fixed positions, little-endian words, both branches of pointer
// translation, and refusal of memory the program cannot work with.
#include <gtest/gtest.h>

#include <string>

#include "device/device_text.h"
#include "device/hex_fields.h"
#include "device/remote_memory_map.h"

namespace {

// `size` zero bytes with some bytes and words set.
struct ByteImage {
    MemoryBytes bytes;
    explicit ByteImage(std::size_t size) : bytes(size, 0) {}
    ByteImage& Byte(std::size_t index, std::uint8_t value) {
        bytes[index] = value;
        return *this;
    }
    ByteImage& Word(std::size_t index, int value) {
        Byte(index, static_cast<std::uint8_t>(value & 0xFF));
        return Byte(index + 1, static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }
};

TEST(HexFields, HexTextIsReadInEitherCaseAndValidated) {
    EXPECT_EQ(DecodeHexBytes("3C00b0"), (MemoryBytes{0x3C, 0x00, 0xB0}));
    EXPECT_EQ(DecodeHexBytes(""), MemoryBytes{});
    EXPECT_EQ(DecodeHexBytes("3C0"), std::nullopt);  // half a byte
    EXPECT_EQ(DecodeHexBytes("3G00"), std::nullopt);
    EXPECT_EQ(DecodeHexBytes(std::string("3C\0\0", 4)), std::nullopt);
    EXPECT_EQ(DecodeHexBytes("00a1-2c3"), std::nullopt);
    EXPECT_EQ(HexNumber("a7"), 0xA7);
    EXPECT_EQ(HexNumber("1234567"), 0x1234567);
    EXPECT_EQ(HexNumber("12345678"), std::nullopt);
    EXPECT_EQ(HexNumber(""), std::nullopt);
    EXPECT_EQ(HexNumber(" 1"), std::nullopt);
}

TEST(MemoryMap, TranslateDevicePointerUsesBothBranches) {
    const int directory = 0x8000;
    const int bias = 0x4000;
    EXPECT_EQ(TranslateDevicePointer(bias, directory, bias), 0);
    EXPECT_EQ(TranslateDevicePointer(bias - 1, directory, bias), bias - 1 + directory);
    EXPECT_EQ(TranslateDevicePointer(0xC600, directory, bias), 0x8600);
    EXPECT_EQ(TranslateDevicePointer(0x0100, directory, bias), 0x8100);
    EXPECT_EQ(TranslateDevicePointer(0, directory, 0), 0);  // zero bias: every word is biased
}

TEST(InfoBlock, FieldsAtTheirBytes) {
    ByteImage info(48);
    info.Byte(0, 0x59).Byte(14, 0x06).Byte(32, 0x01).Byte(33, 0x03).Byte(35, 0x77).Byte(36, 0x31);
    const std::optional<InfoBlock> block = ParseInfoBlock(info.bytes);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->identityText,
              "5900000000000000000000000000"
              "06");
    EXPECT_EQ(block->modelCode, 0x7731);
    EXPECT_EQ(block->major, 1);
    EXPECT_EQ(block->minor, 3);
    EXPECT_FALSE(ParseInfoBlock(MemoryBytes(36, 0)));  // ends before the model code
}

TEST(ConfigBlock, TakesDirectoryBiasAndBank) {
    RemoteMap map;
    ByteImage config(16);
    config.Word(0, 0x8000).Word(6, 0x4000).Byte(8, 0x0A);
    ASSERT_TRUE(ParseConfigBlock(config.bytes, map));
    EXPECT_EQ(map.directoryAddress, 0x8000);
    EXPECT_EQ(map.pointerBias, 0x4000);
    EXPECT_EQ(map.memoryBank, MemoryBank{0x0A});
    EXPECT_FALSE(ParseConfigBlock(MemoryBytes(8, 0), map));
}

ByteImage Directory(int keyEntries, int codeEntries, int units, int keyTable, int builtin,
                    int codeTable, int codeArea, std::uint8_t keyCodes) {
    ByteImage dir(40);
    dir.Word(0, keyEntries).Word(8, units).Word(16, keyTable).Word(24, builtin);
    dir.Word(26, codeTable).Word(28, codeArea);
    dir.Byte(7, static_cast<std::uint8_t>(codeEntries)).Byte(32, keyCodes);
    return dir;
}

TEST(DirectoryBlock, TranslatesThePointersAndRefusesTablesPastTheEnd) {
    // With the directory at 8000 and the bias at C000, words below C000 reach 8000 to 13FFF.
    struct Case {
        const char* name;
        ByteImage dir;
        bool accepted;
    } cases[] = {
        {"key table at address 0", Directory(3, 0, 0, 0xC000, 0, 0xC000, 0xC000, 3), true},
        {"key table ends at FFFF", Directory(2, 0, 0, 0x7FD4, 0, 0xC000, 0xC000, 3), true},
        {"key table ends past FFFF", Directory(3, 0, 0, 0x7FD4, 0, 0xC000, 0xC000, 3), false},
        {"empty key table past FFFF", Directory(0, 0, 0, 0xBFFF, 0, 0xC000, 0xC000, 0), false},
        {"code area ends at FFFF", Directory(0, 0, 8, 0xC000, 0, 0xC000, 0x7FC0, 0), true},
        {"code area past FFFF", Directory(0, 0, 9, 0xC000, 0, 0xC000, 0x7FC0, 0), false},
        {"code table past FFFF", Directory(0, 1, 8, 0xC000, 0, 0x7FFA, 0xC000, 0), false},
        {"built-in list past FFFF", Directory(0, 0, 0, 0xC000, 0x7FFF, 0xC000, 0xC000, 0), false},
        // 6 x 170 + 3 = 1023 bytes still fit the code table read; one more bitmap byte does not.
        {"largest code table", Directory(0, 170, 24, 0xC000, 0, 0xC000, 0xC000, 0), true},
        {"code table past its read", Directory(0, 170, 25, 0xC000, 0, 0xC000, 0xC000, 0), false},
    };
    for (Case& c : cases) {
        RemoteMap map;
        map.directoryAddress = 0x8000;
        map.pointerBias = 0xC000;
        EXPECT_EQ(ParseDirectoryBlock(c.dir.bytes, map).has_value(), c.accepted) << c.name;
    }

    RemoteMap map;
    map.directoryAddress = 0x8000;
    map.pointerBias = 0x4000;
    const ByteImage dir = Directory(3, 16, 243, 0x0100, 0x0500, 0xC600, 0xC700, 4);
    const std::optional<int> keyCodes = ParseDirectoryBlock(dir.bytes, map);
    ASSERT_TRUE(keyCodes);
    EXPECT_EQ(map.keyEntryCount, 3);
    EXPECT_EQ(map.codeTableCount, 16);
    EXPECT_EQ(map.codeAreaUnits, 243);
    EXPECT_EQ(map.keyTableAddress, 0x8100);
    EXPECT_EQ(map.builtinListAddress, 0x8500);
    EXPECT_EQ(map.codeTableAddress, 0x8600);
    EXPECT_EQ(map.codeAreaAddress, 0x8700);
    EXPECT_EQ(*keyCodes, 4);
    EXPECT_FALSE(ParseDirectoryBlock(MemoryBytes(32, 0), map));  // no key code count
}

TEST(KeyCodeList, OneSlotPerCodeAndNoMoreEntriesThanCodes) {
    ByteImage list(400);
    list.Byte(0, 4).Byte(1, 0x00).Byte(2, 0x01).Byte(3, 0x3A).Byte(4, 0x33);
    RemoteMap map;
    map.keyEntryCount = 4;
    ASSERT_TRUE(ParseKeyCodeList(list.bytes, 4, map));
    EXPECT_EQ(SlotTexts(map.keySlots), (std::vector<std::string>{"00|", "01|", "3A|", "33|"}));
    map.keyEntryCount = 5;
    EXPECT_FALSE(ParseKeyCodeList(list.bytes, 4, map));
    map.keyEntryCount = 0;
    EXPECT_TRUE(ParseKeyCodeList(list.bytes, 399, map));  // the count byte and 399 codes
    EXPECT_FALSE(ParseKeyCodeList(list.bytes, 400, map));
}

TEST(KeyTable, ReadSizeFollowsTheEntryCount) {
    EXPECT_EQ(KeyTableReadUnits(0), 1);
    EXPECT_EQ(KeyTableReadUnits(1), 3);
    EXPECT_EQ(KeyTableReadUnits(44), 122);
    // Every key table read is one the device library takes.
    for (int count = 0; count < 400; ++count) {
        EXPECT_LE(KeyTableReadUnits(count), kMaxReadUnits);
        EXPECT_GE(ReadBufferSize(KeyTableReadUnits(count)), 44u * static_cast<unsigned>(count));
    }
}

TEST(KeyTable, StartupSlotStates) {
    struct Case {
        MemoryBytes entry;  // the first bytes of the key entry, the rest zero
        const char* slot;
    } cases[] = {
        {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, "33|0|0|"},
        {{0x80, 0x00, 0x00, 0x22, 0x00, 0x00}, "33|1|0|"},
        {{0xC0, 0x00, 0x00, 0xB0, 0x56, 0x78}, "33|2|0|"},
        {{0xE0, 0x00, 0x80, 0x05, 0x00, 0x00}, "33|0|0|"},  // bit 5 set: no code
        {{0xA0, 0x00, 0x00, 0x00, 0x00, 0x00}, "33|0|0|"},
        {{0x40, 0x00, 0x00, 0x00, 0x00, 0x00}, "33|0|0|"},
        {{0x80, 0x00, 0x80, 0x00, 0x00, 0x10}, "33|1|1|000010"},
        {{0xC0, 0x00, 0x80, 0xA2, 0xFF, 0xFF}, "33|2|1|A2FFFF"},
        {{0x80, 0x00, 0x7F, 0x05, 0x00, 0x00}, "33|1|0|"},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, kKeyEntryBytes> entry{};
        std::copy(c.entry.begin(), c.entry.end(), entry.begin());
        KeySlot slot{.keyCode = 0x33};
        SetStartupSlotState(slot, entry);
        EXPECT_EQ(SlotText(slot), c.slot);
    }
}

TEST(KeyTable, SetsTheStatesOfTheFirstSlotsOnly) {
    RemoteMap map;
    map.keySlots = {KeySlot{.keyCode = 0x00}, KeySlot{.keyCode = 0x01}, KeySlot{.keyCode = 0x30}};
    map.keyEntryCount = 2;
    ByteImage entries(48);
    entries.Byte(0, 0x80).Byte(3, 0x22);
    entries.Byte(22, 0xC0).Byte(24, 0x80).Byte(25, 0x02).Byte(26, 0xFF).Byte(27, 0xFF);
    ASSERT_TRUE(ParseKeyTable(entries.bytes, map));
    EXPECT_EQ(SlotTexts(map.keySlots),
              (std::vector<std::string>{"00|1|0|", "01|2|1|02FFFF", "30|"}));
    EXPECT_FALSE(ParseKeyTable(MemoryBytes(43, 0), map));  // ends inside the second entry

    RemoteMap none;
    none.keySlots = {KeySlot{.keyCode = 0x00}};
    ASSERT_TRUE(ParseKeyTable(MemoryBytes(8, 0), none));
    EXPECT_EQ(SlotTexts(none.keySlots), std::vector<std::string>{"00|"});
}

TEST(CodeTable, BitmapKeepsItsPaddingBitsAndTableFollowsIt) {
    RemoteMap map;
    map.codeAreaUnits = 10;  // two bitmap bytes, six padding bits
    map.codeTableCount = 2;
    EXPECT_EQ(CodeTableReadUnits(2, 10), 2);
    ByteImage read(16);
    read.Byte(0, 0xE0).Byte(1, 0xC1);
    read.Byte(2, 0xA0).Byte(3, 0x12).Byte(4, 0x34).Byte(5, 0x00).Byte(6, 0x80).Byte(7, 0x03);
    ASSERT_TRUE(ParseCodeTable(read.bytes, map));
    EXPECT_EQ(map.codeAreaBitmap.BitText(), "1110000011000001");
    EXPECT_EQ(map.codeAreaBitmap.UnitCount(), 10);
    EXPECT_EQ(CodeTableText(map.codeTable), "A01234008003000000000000");

    EXPECT_FALSE(ParseCodeTable(MemoryBytes(13, 0), map));  // ends inside the second entry
}

TEST(BuiltinCodeList, CountWordThenSixByteRecords) {
    RemoteMap map;
    map.builtinListAddress = 0x8500;
    ByteImage list(960);
    list.Word(0, 2).Byte(2, 0x22).Byte(8, 0x2A).Byte(11, 0x12);
    ASSERT_TRUE(ParseBuiltinCodeList(list.bytes, map));
    ASSERT_EQ(map.builtinCodeIds.size(), 2u);
    EXPECT_EQ(CodeIdText(map.builtinCodeIds[0]), "220000");
    EXPECT_EQ(CodeIdText(map.builtinCodeIds[1]), "2A0000");

    // 159 records fill the 960-byte read; 160 do not fit it.
    ByteImage full(960);
    full.Word(0, 159);
    EXPECT_TRUE(ParseBuiltinCodeList(full.bytes, map));
    EXPECT_EQ(map.builtinCodeIds.size(), 159u);
    full.Word(0, 160);
    EXPECT_FALSE(ParseBuiltinCodeList(full.bytes, map));
    // A list whose records would run past FFFF.
    map.builtinListAddress = 0xFFF8;
    EXPECT_FALSE(ParseBuiltinCodeList(list.bytes, map));
}

}  // namespace
