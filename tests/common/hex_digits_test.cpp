// The one hex reader and writer every part shares: what it accepts, and that it never reads
// past what it is given.
#include "common/hex_digits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/device_buffer_sizes.h"

namespace {

TEST(HexDigitsTest, DigitValueOfEveryCharacter) {
    constexpr std::string_view kLower = "0123456789abcdef";
    constexpr std::string_view kUpper = "0123456789ABCDEF";
    for (int c = -128; c < 128; ++c) {
        const char ch = static_cast<char>(c);
        const auto lower = kLower.find(ch);
        const auto upper = kUpper.find(ch);
        const int expected = lower != std::string_view::npos   ? static_cast<int>(lower)
                             : upper != std::string_view::npos ? static_cast<int>(upper)
                                                               : -1;
        EXPECT_EQ(hex::DigitValue(ch), expected) << "character " << c;
    }
}

TEST(HexDigitsTest, ParseDigitsTakesOneToEightDigitsOfEitherCase) {
    struct Case {
        std::string text;
        std::optional<std::uint32_t> value;
    };
    const Case cases[] = {
        {"0", 0u},
        {"f", 15u},
        {"B03C", 0xB03Cu},
        {"b03c", 0xB03Cu},
        {"FFFFFFFF", 0xFFFFFFFFu},
        {"", std::nullopt},
        {"123456789", std::nullopt},
        {"12G4", std::nullopt},
        {" 12", std::nullopt},
        {"-1", std::nullopt},
        {std::string("1\0", 2), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(hex::ParseDigits(c.text), c.value) << '"' << c.text << '"';
}

TEST(HexDigitsTest, ParseFixedDigitsWantsExactlyTheCount) {
    EXPECT_EQ(hex::ParseFixedDigits("08", 2), 8u);
    EXPECT_EQ(hex::ParseFixedDigits("3c", 2), 0x3Cu);
    EXPECT_EQ(hex::ParseFixedDigits("8", 2), std::nullopt);
    EXPECT_EQ(hex::ParseFixedDigits("008", 2), std::nullopt);
    EXPECT_EQ(hex::ParseFixedDigits("0G", 2), std::nullopt);
    EXPECT_EQ(hex::ParseFixedDigits("", 0), std::nullopt);
}

TEST(HexDigitsTest, BytesAndTextRoundTripInUpperCase) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(hex::ParseBytes("a1B2ff00"), (Bytes{0xA1, 0xB2, 0xFF, 0x00}));
    EXPECT_EQ(hex::ParseBytes(""), Bytes{});
    EXPECT_EQ(hex::ParseBytes("ABC"), std::nullopt);
    EXPECT_EQ(hex::ParseBytes("AZ"), std::nullopt);
    EXPECT_EQ(hex::FormatBytes(Bytes{0xA1, 0xB2, 0xFF, 0x00}), "A1B2FF00");
    EXPECT_EQ(hex::FormatBytes(Bytes{}), "");
}

TEST(HexDigitsTest, FormatDigitsGivesExactlyTheWidth) {
    EXPECT_EQ(hex::FormatDigits(0x3C, 4), "003C");
    EXPECT_EQ(hex::FormatDigits(0x12345, 4), "2345") << "digits above the width are dropped";
    EXPECT_EQ(hex::FormatDigits(0xDEADBEEF, 8), "DEADBEEF");
    EXPECT_EQ(hex::FormatDigits(7, 0), "");
    std::string out = "x";
    hex::AppendDigits(out, 0x8023, 4);
    EXPECT_EQ(out, "x8023");
}

TEST(HexDigitsTest, AReadBufferHoldsWholeUnits) {
    for (std::size_t size :
         {device_buffer::kSmallReadSize, device_buffer::kReadSize, device_buffer::kLargeReadSize})
        EXPECT_EQ(size % device_buffer::kHexCharsPerUnit, 0u) << size;
}

}  // namespace
