#include <gtest/gtest.h>

#include "device/device_text.h"

TEST(DeviceBufferText, KeepsEveryByteOfTheBufferIncludingZeros) {
    const char buffer[6] = {'1', '0', '\0', '2', '\0', '\0'};
    const std::string text = DeviceBufferText(true, buffer, sizeof buffer);
    ASSERT_EQ(text.size(), 6u);
    EXPECT_EQ(text, std::string(buffer, 6));
    EXPECT_TRUE(DeviceBufferText(false, buffer, sizeof buffer).empty());
}

TEST(FormatAddress, SplitsFourUpperCaseDigitsIntoHighAndLow) {
    struct Case {
        MemoryAddress address;
        const char* high;
        const char* low;
    } cases[] = {{0xB03C, "B0", "3C"},
                 {0x0000, "00", "00"},
                 {0x00AB, "00", "AB"},
                 {0xFFFF, "FF", "FF"},
                 {0x1A2, "01", "A2"}};
    for (const Case& c : cases) {
        const AddressTexts t = FormatAddress(c.address);
        EXPECT_EQ(t.high, c.high) << c.address;
        EXPECT_EQ(t.low, c.low) << c.address;
    }
}

TEST(HexText, PadsToTheGivenWidthInUpperCase) {
    EXPECT_EQ(HexText(0x2a70, 4), "2A70");
    EXPECT_EQ(HexText(0x5, 2), "05");
    EXPECT_EQ(HexText(0x12345, 4), "12345");
}

TEST(HexBytesText, TwoUpperCaseDigitsPerByteInOrder) {
    EXPECT_EQ(HexBytesText(MemoryBytes{0x00, 0xAB, 0x0c, 0xFF}), "00AB0CFF");
    EXPECT_EQ(HexBytesText(MemoryBytes{}), "");
    EXPECT_EQ(BankText(MemoryBank{0x0a}), "0A");
}
