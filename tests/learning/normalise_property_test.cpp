// Whatever a capture buffer holds, cutting and normalising it ends with a text or an empty
// text, and a normalised body always splits into four-digit groups. Seeded, so a failure
// repeats; the sanitizer builds run the same cases.
#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>

#include "learning/normalise.h"

namespace {

constexpr std::size_t kBufferSize = 10240;
constexpr int kRounds = 3000;

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// Checks one input through both steps; true when it normalised.
bool CheckInput(const std::string& raw) {
    const std::string cut = CutAtEndMarker(raw);
    EXPECT_TRUE(cut == kNoEndMarkerText || cut.find(kEndMarker) != std::string::npos);
    EXPECT_LE(cut.size(), raw.size() + kNoEndMarkerText.size());
    const auto code = NormaliseRawCodeParts(cut);
    const std::string text = NormaliseRawCode(cut);
    if (!code) {
        EXPECT_EQ(text, "");
        return false;
    }
    EXPECT_GE(code->frameCount, 1);
    EXPECT_EQ(code->carrierField.size(), 4u);
    EXPECT_EQ(code->body.size() % 4, 0u) << code->body;
    for (const char c : code->carrierField + code->body)
        EXPECT_TRUE(IsUpperHex(c)) << code->body;
    EXPECT_EQ(text, std::to_string(code->frameCount) + code->carrierField + code->body);
    return true;
}

class Generator {
  public:
    explicit Generator(unsigned seed) : random_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string Group(unsigned value) {
        char text[8];
        std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
        return text;
    }

    // A group of the kinds the walk treats differently, short marks and pause groups often.
    std::string AnyGroup() {
        switch (Below(8)) {
            case 0:
                return "7FFF";
            case 1:
                return Group(0x8000u + static_cast<unsigned>(Below(200)));  // short mark
            case 2:
                return Group(static_cast<unsigned>(Below(0x10000)));
            case 3:
                return Group(static_cast<unsigned>(Below(40)));  // small carrier bytes
            default:
                return Group(Below(2) == 0 ? 0x8000u + static_cast<unsigned>(Below(0x8000))
                                           : static_cast<unsigned>(Below(0x7FFF)));
        }
    }

    // A capture of the shape the remote gives: marks, spaces, runs of pause groups of any
    // length, sometimes the end marker, two carrier groups, zero characters to the end.
    std::string Capture() {
        std::string text;
        const int groups = Below(2500);
        for (int k = 0; k < groups && text.size() + 100 < kBufferSize; ++k) {
            if (Below(30) == 0)
                text += Repeat("7FFF", 1 + Below(24));
            else
                text += AnyGroup();
        }
        if (Below(4) != 0 && text.size() + 88 <= kBufferSize)
            text += Repeat("7FFF", 20) + AnyGroup() + AnyGroup();
        return text + std::string(kBufferSize - text.size(), '\0');
    }

    // A valid capture with one to a few faults of the kinds a buffer can have.
    std::string Mutated(std::string text) {
        const int faults = 1 + Below(4);
        for (int k = 0; k < faults && !text.empty(); ++k) {
            const std::size_t at = static_cast<std::size_t>(Below(static_cast<int>(text.size())));
            switch (Below(5)) {
                case 0:  // any byte at all
                    text[at] = static_cast<char>(Below(256));
                    break;
                case 1:  // a character lost: every group after it is misaligned
                    text.erase(at, 1);
                    break;
                case 2:
                    text.insert(at, AnyGroup());
                    break;
                case 3:  // the buffer cut short
                    text.resize(at);
                    break;
                default:
                    text.replace(at, std::min<std::size_t>(4, text.size() - at), AnyGroup());
                    break;
            }
        }
        if (text.size() > kBufferSize)
            text.resize(kBufferSize);
        return text;
    }

    std::string Noise() {
        std::string text(static_cast<std::size_t>(Below(kBufferSize + 1)), '\0');
        const std::string alphabet = "0123456789ABCDEF7Ffa\r\n";
        for (char& c : text)
            c = Below(4) == 0
                    ? static_cast<char>(Below(256))
                    : alphabet[static_cast<std::size_t>(Below(static_cast<int>(alphabet.size())))];
        return text;
    }

    static std::string Repeat(const std::string& text, int times) {
        std::string out;
        for (int k = 0; k < times; ++k)
            out += text;
        return out;
    }

  private:
    std::mt19937 random_;
};

TEST(NormaliseProperties, GeneratedCapturesGiveWholeGroups) {
    Generator generator(20240611);
    int normalised = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        normalised += CheckInput(generator.Capture()) ? 1 : 0;
    }
    // Most of these captures normalise; otherwise this test would show nothing.
    EXPECT_GT(normalised, kRounds / 3);
}

TEST(NormaliseProperties, MutatedCapturesNeverCrash) {
    Generator generator(7);
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        CheckInput(generator.Mutated(generator.Capture()));
    }
}

TEST(NormaliseProperties, NoiseNeverCrashes) {
    Generator generator(99);
    for (int round = 0; round < kRounds / 3; ++round) {
        SCOPED_TRACE(round);
        CheckInput(generator.Noise());
    }
}

// The walk also meets texts that were never cut.
TEST(NormaliseProperties, UncutTextsNeverCrash) {
    Generator generator(3);
    for (int round = 0; round < kRounds / 3; ++round) {
        const std::string text = generator.Mutated(generator.Capture());
        const auto code = NormaliseRawCodeParts(text);
        if (code) {
            EXPECT_EQ(code->body.size() % 4, 0u);
        }
    }
}

}  // namespace
