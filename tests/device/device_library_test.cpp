// The typed face over the entry points: what reaches the library (address, bank and data texts,
// unit counts), how answers become bytes or texts, and what is refused before the library is
// asked.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "device/device_text.h"

namespace {

struct ReadCall {
    int units;
    std::string high;
    std::string low;
    std::string bank;
    bool operator==(const ReadCall&) const = default;
};

struct WriteCall {
    std::string bank;
    std::string high;
    std::string low;
    std::string data;
    bool operator==(const WriteCall&) const = default;
};

// Entry points that record what they are given and answer from a script. A read answers with
// `answer(units)`, written into the buffer the way the library writes: its characters and no
// terminating zero.
class ScriptedEntryPoints final : public DeviceEntryPoints {
  public:
    bool succeed = true;
    std::function<std::string(int units)> answer = [](int units) {
        return std::string(16 * static_cast<std::size_t>(units), '0');
    };
    std::string text;  // the answer of ReadVersion, RCollectCodeInfo and RBasicInfo
    std::vector<ReadCall> reads;
    std::vector<WriteCall> writes;
    std::vector<std::string> codeTypeData;
    // Whether the byte behind every read's answer was still the caller's zero fill.
    bool zeroFillBehindAnswers = true;

    bool link_state() override { return succeed; }
    bool ReadVersion(char* buffer) override { return Answer(buffer); }
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override {
        reads.push_back({unitCount, addressHigh, addressLow, memoryBank});
        if (!succeed)
            return false;
        const std::string hex = answer(unitCount);
        zeroFillBehindAnswers = zeroFillBehindAnswers && buffer[hex.size()] == '\0';
        std::memcpy(buffer, hex.data(), hex.size());
        return true;
    }
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData) override {
        writes.push_back({memoryBank, addressHigh, addressLow, hexData});
        return succeed && hexData[0] != '\0';
    }
    bool SetCodeCarrierWave() override { return succeed; }
    bool RCollectCodeInfo(char* buffer) override { return Answer(buffer); }
    bool RBasicInfo(char* buffer) override { return Answer(buffer); }
    bool WCodeTypeData(const char* hexData) override {
        codeTypeData.push_back(hexData);
        return succeed;
    }

  private:
    bool Answer(char* buffer) {
        if (succeed)
            std::memcpy(buffer, text.data(), text.size());
        return succeed;
    }
};

TEST(DeviceLibrary, ReadsSendFourDigitAddressesUnitsAndBankAsTheLibraryTakesThem) {
    struct Case {
        MemoryAddress address;
        int units;
        MemoryBank bank;
        ReadCall sent;
    } cases[] = {
        {0xB03C, 2, kStartupBank, {2, "B0", "3C", "08"}},
        {0x0000, 1, MemoryBank{0x0A}, {1, "00", "00", "0A"}},
        {0x00AB, 50, MemoryBank{0xFF}, {50, "00", "AB", "FF"}},
        {0xFFFF, 122, MemoryBank{0x00}, {122, "FF", "FF", "00"}},
    };
    for (const Case& c : cases) {
        ScriptedEntryPoints entryPoints;
        DeviceLibrary device(entryPoints);
        const MemoryRead read = device.ReadMemory(c.address, c.units, c.bank);
        EXPECT_TRUE(read.Succeeded());
        EXPECT_EQ(read.bytes.size(), 8u * static_cast<std::size_t>(c.units));
        EXPECT_EQ(entryPoints.reads, std::vector<ReadCall>{c.sent});
    }
}

TEST(DeviceLibrary, AReadIsItsUnitsAsBytesAndAnythingButHexFailsIt) {
    struct Case {
        const char* name;
        std::string answer;
        ReadStatus status;
        MemoryBytes bytes;
    } cases[] = {
        {"upper case",
         "0123456789ABCDEF",
         ReadStatus::kRead,
         {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}},
        {"lower case",
         "a1b2c3d4e5f60718",
         ReadStatus::kRead,
         {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18}},
        {"a letter past F", "0123456789ABCDEG", ReadStatus::kNotHex, {}},
        {"a space", "01234567 9ABCDEF", ReadStatus::kNotHex, {}},
        {"a sign", "-123456789ABCDEF", ReadStatus::kNotHex, {}},
        {"an answer shorter than its unit",
         std::string("0123456789AB\0\0\0\0", 16),
         ReadStatus::kNotHex,
         {}},
    };
    for (const Case& c : cases) {
        ScriptedEntryPoints entryPoints;
        entryPoints.answer = [&](int) { return c.answer; };
        DeviceLibrary device(entryPoints);
        const MemoryRead read = device.ReadMemory(0x9000, 1, kStartupBank);
        EXPECT_EQ(read.status, c.status) << c.name;
        EXPECT_EQ(read.bytes, c.bytes) << c.name;
    }
}

TEST(DeviceLibrary, ReadsTheLibraryCouldNotAnswerAreRefusedBeforeIt) {
    for (const int units : {0, -1, kMaxReadUnits + 1, 0x7FFFFFFF}) {
        ScriptedEntryPoints entryPoints;
        DeviceLibrary device(entryPoints);
        EXPECT_EQ(device.ReadMemory(0x0000, units, kStartupBank).status, ReadStatus::kNotAsked)
            << units;
        EXPECT_TRUE(entryPoints.reads.empty()) << units;
    }
    ScriptedEntryPoints refusing;
    refusing.succeed = false;
    DeviceLibrary device(refusing);
    const MemoryRead read = device.ReadMemory(0xB000, 6, kStartupBank);
    EXPECT_EQ(read.status, ReadStatus::kRefused);
    EXPECT_TRUE(read.bytes.empty());
}

TEST(DeviceLibrary, EveryReadSizeHasItsAnswerAndZeroFillInsideTheBuffer) {
    // Every unit count the library may be asked for, with the largest answer it may give.
    for (int units = 1; units <= kMaxReadUnits; ++units) {
        const std::size_t size = ReadBufferSize(units);
        ASSERT_GE(size, 16u * static_cast<std::size_t>(units) + 16) << units;
    }
    EXPECT_EQ(ReadBufferSize(2), 512u);
    EXPECT_EQ(ReadBufferSize(50), 1024u);
    EXPECT_EQ(ReadBufferSize(120), 2048u);

    ScriptedEntryPoints entryPoints;
    DeviceLibrary device(entryPoints);
    for (const int units : {1, 31, 32, 63, 127, 128, 1098, kMaxReadUnits})
        EXPECT_TRUE(device.ReadMemory(0x0000, units, kStartupBank).Succeeded()) << units;
    EXPECT_TRUE(entryPoints.zeroFillBehindAnswers);
}

TEST(DeviceLibrary, WritesSendUpperCaseHexOfTheBytes) {
    ScriptedEntryPoints entryPoints;
    DeviceLibrary device(entryPoints);
    const MemoryBytes region = {0xF8, 0x0a, 0x00, 0xC3};
    EXPECT_TRUE(device.WriteMemory(0x8106, region, MemoryBank{0x08}));
    EXPECT_TRUE(device.WriteMemory(0x00FF, MemoryBytes{0x00}, MemoryBank{0x1B}));
    // An empty write still goes to the library, which stores nothing and says so.
    EXPECT_FALSE(device.WriteMemory(0x9000, MemoryBytes{}, kStartupBank));
    EXPECT_EQ(entryPoints.writes, (std::vector<WriteCall>{{"08", "81", "06", "F80A00C3"},
                                                          {"1B", "00", "FF", "00"},
                                                          {"08", "90", "00", ""}}));
    EXPECT_TRUE(device.WriteCodeTypeData(MemoryBytes{0xab, 0x01}));
    EXPECT_EQ(entryPoints.codeTypeData, std::vector<std::string>{"AB01"});

    entryPoints.succeed = false;
    EXPECT_FALSE(device.WriteMemory(0x8106, region, kStartupBank));
}

TEST(DeviceLibrary, TextAnswersEndAtTheZeroFillExceptTheCapture) {
    ScriptedEntryPoints entryPoints;
    DeviceLibrary device(entryPoints);
    entryPoints.text = "1020abc";
    EXPECT_EQ(device.ReadVersion(), "1020abc");
    EXPECT_EQ(device.Identity(), "1020abc");
    // A version that fills its whole buffer has no zero behind it and still ends there.
    entryPoints.text = std::string(kVersionBufferSize, '7');
    EXPECT_EQ(device.ReadVersion(), entryPoints.text);
    // The capture keeps its buffer's zero fill: the normaliser and its diagnostic copy see
    // what the library left.
    entryPoints.text = "87087FFF";
    const std::optional<std::string> capture = device.CollectCapture();
    ASSERT_TRUE(capture);
    EXPECT_EQ(capture->size(), kCaptureBufferSize);
    EXPECT_EQ(capture->substr(0, 9), std::string("87087FFF\0", 9));
    EXPECT_TRUE(device.IsAttached());
    EXPECT_TRUE(device.EnterCaptureMode());

    entryPoints.succeed = false;
    EXPECT_EQ(device.ReadVersion(), std::nullopt);
    EXPECT_EQ(device.Identity(), std::nullopt);
    EXPECT_EQ(device.CollectCapture(), std::nullopt);
    EXPECT_FALSE(device.IsAttached());
    EXPECT_FALSE(device.EnterCaptureMode());
}

}  // namespace
