// Cutting and normalising raw capture texts. In the captures below 8708 is a mark of 1800
// counts (element 021E) and 0D2F a space of 3375 counts (element 049F); 4F4F 4F00 after the
// end marker is a carrier measurement of 2512.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "learning/normalise.h"

namespace {

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int k = 0; k < times; ++k)
        out += text;
    return out;
}

const std::string kMarker = Repeat("7FFF", 20);
const std::string kCarrier = "4F4F4F00";

// The text as the remote's capture buffer holds it: zero characters up to 10240.
std::string Padded(const std::string& text) {
    return text + std::string(10240 - text.size(), '\0');
}

struct Example {
    const char* name;
    std::string raw;
    std::string normalised;  // empty: normalisation fails
};

void PrintTo(const Example& example, std::ostream* out) {
    *out << example.name;
}

class NormaliseExamples : public testing::TestWithParam<Example> {};

TEST_P(NormaliseExamples, CutAndNormalise) {
    const Example& example = GetParam();
    EXPECT_EQ(NormaliseRawCode(CutAtEndMarker(example.raw)), example.normalised);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Captures, NormaliseExamples, testing::Values(
    Example{"FourFrames",
            Padded("87080D2F87080D2F87080D2F87080D2F" + kMarker + kCarrier),
            "12512021E049F021E049F021E049F021EFEFE0014EDED"},
    Example{"FourFramesWithoutLastSpace",
            Padded("87080D2F87080D2F87080D2F8708" + kMarker + kCarrier),
            "12512021E049F021E049F021E049F021EFEFE0014EDED"},
    Example{"CarrierNotMeasured",
            Padded("87080D2F87080D2F87080D2F8708" + kMarker + "00000000"),
            "10000021E049F021E049F021E049F021EFEFE0014EDED"},
    Example{"PauseInsideTheSignal",
            Padded("87080D2F87087FFF7FFF7FFF100087080D2F8708" + kMarker + kCarrier),
            "22512021E049F021EFEFE0022EDED021E049F021EEDED"},
    Example{"PauseGroupLengthensTheMarkAfterIt",
            Padded("87080D2F7FFF87080D2F8708" + kMarker + kCarrier),
            "12512021E049F2CC8049F021EFEFE0014EDED"},
    Example{"PauseGroupWhereMarkExpectedBeforeASpace",
            Padded("87080D2F7FFF0D2F8708" + kMarker + kCarrier),
            "12512021E049F2A70049F021EFEFE0014EDED"},
    Example{"PauseGroupInSpacePositionBeforeAMark",
            Padded("87087FFF87080D2F8708" + kMarker + kCarrier),
            "12512021E021E049F021EFEFE0014EDED"},
    Example{"NoEndMarker", Padded("87080D2F8708"), ""},
    Example{"OneGroupAfterMarkerThenEnd", "87080D2F8708" + kMarker + "4F4F", ""},
    Example{"OneGroupAfterMarkerThenPadding", Padded("87080D2F8708" + kMarker + "4F4F"), ""},
    Example{"NothingAfterMarker", "87080D2F8708" + kMarker, ""},
    Example{"MorePauseGroupsAfterMarker", Padded("8708" + kMarker + "7FFF7FFF"), ""},
    Example{"CarrierGroupCutShort", "8708" + kMarker + "4F4F4F", "12512021EFEFE0014EDED"},
    Example{"CarrierGroupTooShortToRead", "8708" + kMarker + "4F4F4", ""},
    // Marks of 173, 174 and 177 counts: nothing shorter than 0000 is written.
    Example{"ShortMarks",
            Padded("80AD0D2F80AE0D2F80B1" + kMarker + kCarrier),
            "125120000049F0000049F0001FEFE0014EDED"},
    // a + b + c = 35 gives a carrier value of 257, written FF; 36 gives 250 (FA).
    Example{"CarrierAboveFF", Padded("8708" + kMarker + "0C0C0B00"), "1FF12021EFEFE0014EDED"},
    Example{"CarrierJustFits", Padded("8708" + kMarker + "0C0C0C00"), "1FA12021EFEFE0014EDED"},
    // a + b + c = 75: exactly 120 (78), where double arithmetic would give 119.
    Example{"CarrierExactlyAWholeNumber", Padded("8708" + kMarker + "19191900"),
            "17812021EFEFE0014EDED"},
    Example{"LowerCaseGroup", Padded("87080d2f8708" + kMarker + kCarrier), ""},
    Example{"GroupNotHex", Padded("87080D2G8708" + kMarker + kCarrier), ""},
    Example{"CarrierNotHex", Padded("8708" + kMarker + "4F4F4G00"), ""}),
    [](const testing::TestParamInfo<Example>& test) { return std::string(test.param.name); });
// clang-format on

TEST(CutAtEndMarker, KeepsSignalMarkerAndCarrierOnly) {
    const std::string signal = "87080D2F87080D2F87080D2F8708";
    EXPECT_EQ(CutAtEndMarker(Padded(signal + "0D2F" + kMarker + kCarrier)),
              signal + kMarker + kCarrier);
    // The first digit alone tells the trailing group a space, damaged or not.
    EXPECT_EQ(CutAtEndMarker(Padded(signal + "0D2G" + kMarker + kCarrier)),
              signal + kMarker + kCarrier);
    EXPECT_EQ(CutAtEndMarker(Padded(signal + "7fff" + kMarker + kCarrier)),
              signal + kMarker + kCarrier);
    EXPECT_EQ(CutAtEndMarker(Padded(signal + "G000" + kMarker + kCarrier)),
              signal + "G000" + kMarker + kCarrier);
    EXPECT_EQ(CutAtEndMarker(Padded("87080D2F")), "0000");
    EXPECT_EQ(CutAtEndMarker(""), "0000");
    EXPECT_EQ(CutAtEndMarker(Padded(kMarker + kCarrier)), kMarker + kCarrier);
    EXPECT_EQ(CutAtEndMarker("8708" + kMarker + "4F"), "8708" + kMarker + "4F");
}

// Groups of a signal that alternates mark and space, mark first.
std::string Alternating(int groups) {
    std::string text;
    for (int k = 1; k <= groups; ++k)
        text += k % 2 == 1 ? "8708" : "0D2F";
    return text;
}

std::string Elements(int groups) {
    std::string text;
    for (int k = 1; k <= groups; ++k)
        text += k % 2 == 1 ? "021E" : "049F";
    return text;
}

// Far into the buffer the head before the marker is cut to an odd number of whole groups.
struct HeadCase {
    int groupsBeforeMarker;
    int groupsKept;
};

void PrintTo(const HeadCase& head, std::ostream* out) {
    *out << head.groupsBeforeMarker << " groups";
}

class CutHead : public testing::TestWithParam<HeadCase> {};

TEST_P(CutHead, KeepsAnOddNumberOfGroups) {
    const std::string cut =
        CutAtEndMarker(Padded(Alternating(GetParam().groupsBeforeMarker) + kMarker + kCarrier));
    EXPECT_EQ(cut, Alternating(GetParam().groupsKept) + kMarker + kCarrier);
    EXPECT_EQ(NormaliseRawCode(cut), "12512" + Elements(GetParam().groupsKept) + "FEFE0014EDED");
}

// The marker at position 2993, 3001, 3009 and 3013.
INSTANTIATE_TEST_SUITE_P(Boundary, CutHead,
                         testing::Values(HeadCase{748, 747}, HeadCase{750, 749}, HeadCase{752, 751},
                                         HeadCase{753, 753}),
                         [](const testing::TestParamInfo<HeadCase>& test) {
                             return std::to_string(test.param.groupsBeforeMarker) + "Groups";
                         });

// Past position 3000 the last of an even number of groups goes even when it is a mark; before
// that only a trailing space goes.
TEST(CutHead, DropsAMarkOnlyPastPosition3000) {
    const std::string early = Alternating(747) + "8708";
    EXPECT_EQ(CutAtEndMarker(early + kMarker + kCarrier), early + kMarker + kCarrier);
    const std::string late = Alternating(751);
    EXPECT_EQ(CutAtEndMarker(late + "8708" + kMarker + kCarrier), late + kMarker + kCarrier);
}

TEST(NormaliseRawCode, HandsOnlyFailedInputToTheSink) {
    std::vector<std::string> failed;
    const auto sink = [&failed](std::string_view text) { failed.emplace_back(text); };
    const std::string good = "8708" + kMarker + kCarrier;
    EXPECT_EQ(NormaliseRawCode(good, sink), "12512021EFEFE0014EDED");
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(NormaliseRawCode("0000", sink), "");
    EXPECT_EQ(NormaliseRawCode("", sink), "");
    EXPECT_EQ(failed, (std::vector<std::string>{"0000", ""}));
}

TEST(NormaliseRawCodeParts, SplitsFrameCountCarrierAndBody) {
    const auto code =
        NormaliseRawCodeParts("87080D2F87087FFF7FFF7FFF100087080D2F8708" + kMarker + kCarrier);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(code->frameCount, 2);
    EXPECT_EQ(code->carrierField, "2512");
    EXPECT_EQ(code->body, "021E049F021EFEFE0022EDED021E049F021EEDED");
}

TEST(IsMarkGroup, BitFifteenOfFourUpperCaseHexDigits) {
    char group[8];
    for (unsigned value = 0; value <= 0xFFFF; ++value) {
        std::snprintf(group, sizeof group, "%04X", value);
        ASSERT_EQ(IsMarkGroup(group), value >= 0x8000) << group;
    }
    for (const char* notAGroup : {"", "870", "87080", "8a08", "8G08", "\x80\x80\x80\x80"})
        EXPECT_FALSE(IsMarkGroup(notAGroup)) << notAGroup;
}

TEST(GroupDuration, ClearsTheMarkBit) {
    EXPECT_EQ(GroupDuration(0x8708), 0x708);
    EXPECT_EQ(GroupDuration(0x8000), 0);
    EXPECT_EQ(GroupDuration(0xFFFF), 0x7FFF);
    EXPECT_EQ(GroupDuration(0x7FFF), 0x7FFF);
}

}  // namespace
