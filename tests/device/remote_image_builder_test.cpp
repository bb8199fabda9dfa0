// The memory fixtures themselves: a wrong default remote or a blind consistency check would make
// every test built on them meaningless.
#include <gtest/gtest.h>

#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"

namespace {

namespace d = default_remote;

int Byte(const RemoteImage& image, int address) {
    return image.banks.at(0x08)[static_cast<std::size_t>(address)];
}
int Word(const RemoteImage& image, int address) {
    return Byte(image, address) | (Byte(image, address + 1) << 8);
}

TEST(RemoteImageBuilder, DefaultRemoteHasTheDocumentedLayout) {
    const RemoteImage image = DefaultRemoteImage();
    EXPECT_EQ(image.version, d::kVersion);
    EXPECT_EQ(Byte(image, 0xB000), 0x59);
    EXPECT_EQ(Byte(image, 0xB020), 1);
    EXPECT_EQ(Byte(image, 0xB021), 3);
    EXPECT_EQ(Byte(image, 0xB023), 0x77);
    EXPECT_EQ(Byte(image, 0xB024), 0x31);
    EXPECT_EQ(Word(image, 0xB03C), d::kDirectoryAddress);
    EXPECT_EQ(Word(image, 0xB042), d::kPointerBias);
    EXPECT_EQ(Byte(image, 0xB044), d::kMemoryBank);

    const int dir = d::kDirectoryAddress;
    EXPECT_EQ(Word(image, dir), d::kKeyCount);
    EXPECT_EQ(Byte(image, dir + 7), d::kCodeTableCount);
    EXPECT_EQ(Word(image, dir + 8), d::kCodeAreaUnits);
    // Both branches of the pointer translation are in use.
    EXPECT_EQ(Word(image, dir + 16), d::kKeyTablePointer);
    EXPECT_LT(d::kKeyTablePointer, d::kPointerBias);
    EXPECT_EQ(d::kKeyTablePointer + dir, d::kKeyTableAddress);
    EXPECT_EQ(Word(image, dir + 24), d::kBuiltinListPointer);
    EXPECT_EQ(d::kBuiltinListPointer + dir, d::kBuiltinListAddress);
    EXPECT_EQ(Word(image, dir + 26), d::kCodeTablePointer);
    EXPECT_GE(d::kCodeTablePointer, d::kPointerBias);
    EXPECT_EQ(d::kCodeTablePointer - d::kPointerBias, d::kCodeTableAddress);
    EXPECT_EQ(Word(image, dir + 28), d::kCodeAreaPointer);
    EXPECT_EQ(d::kCodeAreaPointer - d::kPointerBias, d::kCodeAreaAddress);

    ASSERT_EQ(Byte(image, dir + 32), d::kKeyCount);
    for (int i = 0; i < d::kKeyCount; ++i) {
        EXPECT_EQ(Byte(image, dir + 33 + i), d::kKeyCodes[static_cast<std::size_t>(i)]);
        EXPECT_LT(d::kKeyCodes[static_cast<std::size_t>(i)], 0xA8);
    }
    EXPECT_EQ(d::kKeyCodes[d::kSlotOfKey00], 0x00);
    EXPECT_EQ(d::kKeyCodes[d::kSlotOfKey01], 0x01);
    EXPECT_EQ(d::kKeyCodes[d::kSlotOfKey30], 0x30);
    EXPECT_EQ(d::kKeyCodes[d::kSlotOfKey33], 0x33);

    const auto entry = [&](int slot, int byte) {
        return Byte(image, d::kKeyTableAddress + 22 * slot + byte);
    };
    EXPECT_EQ(entry(d::kSlotOfKey01, 0), 0x00);
    EXPECT_EQ(entry(d::kSlotOfKey00, 0), 0x80);
    EXPECT_EQ(entry(d::kSlotOfKey00, 2), 0x00);
    EXPECT_EQ(entry(d::kSlotOfKey33, 0), 0x80);
    EXPECT_EQ(entry(d::kSlotOfKey33, 2), 0x80);
    EXPECT_EQ(entry(d::kSlotOfKey30, 0), 0xC0);
    EXPECT_EQ(entry(d::kSlotOfKey30, 3), d::kLearnedCodeEntry);

    const int builtin = d::kBuiltinListAddress;
    EXPECT_EQ(Word(image, builtin), 3);
    EXPECT_EQ(Byte(image, builtin + 2 + 6 * 2), 0x2A);
    EXPECT_EQ(CheckCodeTableConsistent(image), "");
}

TEST(RemoteImageBuilder, BitmapFollowsTheEntriesInUse) {
    const RemoteImage image = RemoteImageBuilder()
                                  .CodeAreaUnits(20)
                                  .CodeTableCount(3)
                                  .CodeEntry(0, "A00000", 1, 2)
                                  .CodeEntry(2, "B00000", 9, 8)
                                  .Build();
    const int table = default_remote::kCodeTableAddress;
    EXPECT_EQ(Byte(image, table), 0x60);      // units 1, 2
    EXPECT_EQ(Byte(image, table + 1), 0x7F);  // units 9-15
    EXPECT_EQ(Byte(image, table + 2), 0x80);  // unit 16, then padding
    EXPECT_EQ(Word(image, table + 3 + 12 + 3), 0x8009);
    EXPECT_EQ(CheckCodeTableConsistent(image), "");
}

TEST(RemoteImageBuilder, StoredPointerPlacesTheTableAtItsTranslation) {
    RemoteImageBuilder atBias;
    atBias.StoredPointer(RemoteTable::kKeyTable, d::kPointerBias);
    EXPECT_EQ(atBias.TableAddress(RemoteTable::kKeyTable), 0);
    RemoteImageBuilder below;
    below.StoredPointer(RemoteTable::kKeyTable, d::kPointerBias - 1);
    EXPECT_EQ(below.TableAddress(RemoteTable::kKeyTable),
              d::kPointerBias - 1 + d::kDirectoryAddress);
    EXPECT_THROW(
        RemoteImageBuilder().Place(RemoteTable::kCodeArea, 0xF000, PointerForm::kBiased).Build(),
        std::invalid_argument);
}

TEST(CheckCodeTableConsistent, ReportsEachKindOfFault) {
    struct Case {
        const char* name;
        RemoteImageBuilder builder;
    };
    const auto base = [] {
        return RemoteImageBuilder().CodeAreaUnits(16).CodeTableCount(4).CodeEntry(0, "A00000", 0,
                                                                                  2);
    };
    Case cases[] = {
        {"bit without entry", base().BitmapBytes({0xE0, 0x00})},
        {"entry without bit", base().BitmapBytes({0x80, 0x00})},
        {"overlap", base().CodeEntry(1, "B00000", 1, 2).BitmapBytes({0xE0, 0x00})},
        {"past the area", base().CodeEntry(1, "B00000", 15, 2).BitmapBytes({0xC0, 0x01})},
    };
    for (const Case& c : cases)
        EXPECT_NE(CheckCodeTableConsistent(c.builder.Build()), "") << c.name;
    // A free entry's stale unit numbers do not count.
    EXPECT_EQ(
        CheckCodeTableConsistent(base().RawCodeEntry(2, {0xB0, 0, 0, 0x01, 0x00, 0x05}).Build()),
        "");
}

}  // namespace
