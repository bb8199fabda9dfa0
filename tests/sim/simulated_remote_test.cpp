#include "sim/simulated_remote.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/hex_digits.h"
#include "sim/remote_image_builder.h"
#include "tests/support/simulated_device.h"

namespace {

using namespace std::chrono_literals;

constexpr char kGuard = 0x5A;

// A buffer of `size` bytes pre-filled with a marker, with guard bytes behind it, so a test
// sees both what a call wrote and that it wrote nothing past the size.
class GuardedBuffer {
  public:
    explicit GuardedBuffer(std::size_t size, char fill = '\0')
        : size_(size), bytes_(size + 64, kGuard) {
        std::memset(bytes_.data(), fill, size);
    }
    char* data() { return bytes_.data(); }
    std::string Text() const { return std::string(bytes_.data(), size_); }
    // The text up to the first zero byte.
    std::string CText() const { return std::string(bytes_.data(), strnlen(bytes_.data(), size_)); }
    bool GuardIntact() const {
        for (std::size_t i = size_; i < bytes_.size(); ++i) {
            if (bytes_[i] != kGuard)
                return false;
        }
        return true;
    }

  private:
    std::size_t size_;
    std::vector<char> bytes_;
};

RemoteImage TwoBankImage() {
    RemoteImage image = DefaultRemoteImage();
    image.Bank(0x01)[0xFFFF] = 0xEE;
    return image;
}

class SimulatedRemoteTest : public ::testing::Test {
  protected:
    SimulatedRemote remote{TwoBankImage()};
    SimulatedDevice device{remote};

    std::string Read(int units, const char* high, const char* low, const char* bank = "08") {
        GuardedBuffer buffer(16 * static_cast<std::size_t>(units));
        if (!device.readdatav20(buffer.data(), units, high, low, bank))
            return "(refused)";
        EXPECT_TRUE(buffer.GuardIntact());
        return buffer.Text();
    }
};

struct RefusedCall {
    const char* name;
    std::function<bool(DeviceEntryPoints&, char*)> call;
};

TEST_F(SimulatedRemoteTest, BadTextsAndOutOfBoundsAreRefusedWithoutChange) {
    const std::vector<RefusedCall> cases = {
        {"read of 0 units",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 0, "B0", "00", "08"); }},
        {"read of -1 units",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, -1, "B0", "00", "08"); }},
        {"read past FFFF",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 2, "FF", "F8", "08"); }},
        {"read of huge count",
         [](DeviceEntryPoints& d, char* b) {
             return d.readdatav20(b, 0x7FFFFFFF, "00", "00", "08");
         }},
        {"read of a missing bank",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 1, "B0", "00", "09"); }},
        {"read, bank of one digit",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 1, "B0", "00", "8"); }},
        {"read, bank of three digits",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 1, "B0", "00", "008"); }},
        {"read, address not hex",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 1, "G0", "00", "08"); }},
        {"read, address of one digit",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 1, "B", "00", "08"); }},
        {"read, empty low address",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 1, "B0", "", "08"); }},
        {"read, null bank",
         [](DeviceEntryPoints& d, char* b) { return d.readdatav20(b, 1, "B0", "00", nullptr); }},
        {"write of empty data",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("08", "90", "00", ""); }},
        {"write of odd length",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("08", "90", "00", "ABC"); }},
        {"write of non-hex data",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("08", "90", "00", "12ZZ"); }},
        {"write with a space",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("08", "90", "00", "12 4"); }},
        {"write past FFFF",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("08", "FF", "FF", "0102"); }},
        {"write to a missing bank",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("09", "90", "00", "01"); }},
        {"write, bank not hex",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("0x", "90", "00", "01"); }},
        {"write, address of three digits",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("08", "900", "00", "01"); }},
        {"write of null data",
         [](DeviceEntryPoints& d, char*) { return d.writedatav20("08", "90", "00", nullptr); }},
        {"code type data not hex",
         [](DeviceEntryPoints& d, char*) { return d.WCodeTypeData("XY"); }},
        {"code type data empty", [](DeviceEntryPoints& d, char*) { return d.WCodeTypeData(""); }},
    };
    const RemoteImage before = remote.Image();
    for (const auto& c : cases) {
        GuardedBuffer buffer(64, 'x');
        EXPECT_FALSE(c.call(device, buffer.data())) << c.name;
        EXPECT_TRUE(buffer.GuardIntact()) << c.name;
    }
    EXPECT_EQ(remote.Image().banks, before.banks);
    EXPECT_TRUE(remote.Writes().empty());
}

TEST_F(SimulatedRemoteTest, ReadsGiveSixteenUpperCaseCharactersPerUnitUpToTheLastByte) {
    EXPECT_EQ(Read(1, "B0", "00"), "59485A4C37373331");
    EXPECT_EQ(Read(1, "b0", "00"), "59485A4C37373331");
    EXPECT_EQ(Read(1, "FF", "F8", "01"), "00000000000000EE");
    EXPECT_EQ(Read(6, "B0", "00").size(), 96u);
}

TEST_F(SimulatedRemoteTest, WritesTakeEitherCaseAndAreLoggedAsPassed) {
    EXPECT_TRUE(device.writedatav20("08", "90", "00", "abCD"));
    EXPECT_TRUE(device.writedatav20("01", "FF", "FF", "7f"));
    EXPECT_EQ(Read(1, "90", "00"), "ABCD000000000000");
    EXPECT_EQ(remote.MemoryHex(0x01, 0xFFFF, 1), "7F");
    const std::vector<RemoteWrite> expected = {{"08", 0x9000, "abCD"}, {"01", 0xFFFF, "7f"}};
    EXPECT_EQ(remote.Writes(), expected);
    EXPECT_EQ(remote.CallCount(DeviceCall::kWriteData), 2);
}

TEST_F(SimulatedRemoteTest, TextBuffersKeepTheirSizesAndAreZeroPadded) {
    GuardedBuffer version(SimulatedRemote::kVersionBufferSize, 'x');
    ASSERT_TRUE(device.ReadVersion(version.data()));
    EXPECT_EQ(version.CText(), default_remote::kVersion);
    EXPECT_EQ(version.Text().find('x'), std::string::npos);
    EXPECT_TRUE(version.GuardIntact());

    GuardedBuffer identity(SimulatedRemote::kIdentityBufferSize, 'x');
    ASSERT_TRUE(device.RBasicInfo(identity.data()));
    EXPECT_EQ(identity.CText(), default_remote::kIdentityText);
    EXPECT_TRUE(identity.GuardIntact());

    // A version text longer than the buffer still leaves the buffer's last byte zero.
    RemoteImage image = DefaultRemoteImage();
    image.version = "1020" + std::string(400, 'V');
    remote.ReplaceImage(image);
    GuardedBuffer longVersion(SimulatedRemote::kVersionBufferSize, 'x');
    ASSERT_TRUE(device.ReadVersion(longVersion.data()));
    EXPECT_EQ(longVersion.CText().size(), SimulatedRemote::kVersionBufferSize - 1);
    EXPECT_TRUE(longVersion.GuardIntact());
}

TEST_F(SimulatedRemoteTest, IdentityFollowsTheInfoBlockUnlessOverridden) {
    ASSERT_TRUE(device.writedatav20("08", "B0", "0E", "FF"));
    EXPECT_EQ(remote.Identity(), "59485A4C37373331000102030405FF");
    remote.SetIdentityOverride("000000000000000000000000000001");
    GuardedBuffer identity(SimulatedRemote::kIdentityBufferSize);
    ASSERT_TRUE(device.RBasicInfo(identity.data()));
    EXPECT_EQ(identity.CText(), "000000000000000000000000000001");

    remote.ReplaceImage(RemoteImage{});
    EXPECT_FALSE(device.RBasicInfo(identity.data())) << "a remote without bank 08 has no identity";
}

TEST_F(SimulatedRemoteTest, OnlyACodeArrivingInCaptureModeIsCapturedAndHandedOutOnce) {
    remote.SetCollectWait(0ms);
    GuardedBuffer buffer(SimulatedRemote::kCaptureBufferSize, 'x');
    // The receiver is off outside capture mode: a code fired then is never received.
    EXPECT_FALSE(remote.QueueCapture("8123012380450045"));
    EXPECT_FALSE(remote.CapturePending());
    ASSERT_TRUE(device.SetCodeCarrierWave());
    EXPECT_FALSE(device.RCollectCodeInfo(buffer.data())) << "nothing from before capture mode";

    ASSERT_TRUE(remote.QueueCapture("8123012380450045"));
    EXPECT_TRUE(remote.CapturePending());
    ASSERT_TRUE(device.RCollectCodeInfo(buffer.data()));
    const std::string text = buffer.Text();
    EXPECT_EQ(text.substr(0, 16), "8123012380450045");
    EXPECT_EQ(text.find_first_not_of('\0', 16), std::string::npos) << "padded with zero bytes";
    EXPECT_TRUE(buffer.GuardIntact());
    EXPECT_FALSE(remote.InCaptureMode()) << "collecting the capture ends capture mode";
    EXPECT_FALSE(device.RCollectCodeInfo(buffer.data())) << "a capture is handed out once";
    EXPECT_FALSE(remote.QueueCapture("8001")) << "and the receiver is off again";

    // Every capture mode starts empty: a code left uncollected is not handed to the next one.
    ASSERT_TRUE(device.SetCodeCarrierWave());
    ASSERT_TRUE(remote.QueueCapture("8002"));
    ASSERT_TRUE(device.SetCodeCarrierWave());
    EXPECT_FALSE(remote.CapturePending());
    EXPECT_FALSE(device.RCollectCodeInfo(buffer.data()));

    // Exactly a buffer full is fine; more, or a zero byte, is not a capture.
    ASSERT_TRUE(remote.QueueCapture(std::string(SimulatedRemote::kCaptureBufferSize, 'A')));
    ASSERT_TRUE(device.RCollectCodeInfo(buffer.data()));
    EXPECT_EQ(buffer.Text(), std::string(SimulatedRemote::kCaptureBufferSize, 'A'));
    EXPECT_TRUE(buffer.GuardIntact());
    ASSERT_TRUE(device.SetCodeCarrierWave());
    EXPECT_FALSE(remote.QueueCapture(std::string(SimulatedRemote::kCaptureBufferSize + 1, 'A')));
    EXPECT_FALSE(
        remote.QueueCapture(std::string("80\0"
                                        "0",
                                        4)));
}

TEST_F(SimulatedRemoteTest, CaptureModeEndsWhenNobodyPollsForAWhile) {
    remote.SetCollectWait(0ms);
    remote.SetCaptureIdleLimit(1s);
    std::vector<char> buffer(SimulatedRemote::kCaptureBufferSize);
    ASSERT_TRUE(device.SetCodeCarrierWave());
    // Polled in time, capture mode stays on past the limit.
    for (int i = 0; i < 12; ++i) {
        std::this_thread::sleep_for(100ms);
        EXPECT_FALSE(device.RCollectCodeInfo(buffer.data()));
    }
    EXPECT_TRUE(remote.InCaptureMode());
    ASSERT_TRUE(remote.QueueCapture("8001"));
    // The program gave up: capture mode lapses, and what it held is gone with it.
    std::this_thread::sleep_for(1500ms);
    EXPECT_FALSE(remote.InCaptureMode());
    EXPECT_FALSE(remote.CapturePending());
    EXPECT_FALSE(remote.QueueCapture("8002"));
    EXPECT_FALSE(device.RCollectCodeInfo(buffer.data()));
    EXPECT_FALSE(remote.InCaptureMode()) << "a late poll does not bring it back";
}

TEST_F(SimulatedRemoteTest, ALostWriteReplyStoresTheWriteButAnswersFailed) {
    remote.LoseNthWriteReply(2);
    EXPECT_TRUE(device.writedatav20("08", "90", "00", "11"));
    EXPECT_FALSE(device.writedatav20("08", "90", "01", "22"));
    EXPECT_TRUE(device.writedatav20("08", "90", "02", "33"));
    EXPECT_EQ(remote.MemoryHex(0x08, 0x9000, 3), "112233");
    EXPECT_EQ(remote.Writes().size(), 3u);
}

TEST_F(SimulatedRemoteTest, CollectWaitsForACaptureAndWakesWhenOneArrives) {
    remote.SetCollectWait(60s);
    ASSERT_TRUE(device.SetCodeCarrierWave());
    bool collected = false;
    std::thread poller([&] {
        std::vector<char> buffer(SimulatedRemote::kCaptureBufferSize);
        collected = device.RCollectCodeInfo(buffer.data());
    });
    while (remote.CallCount(DeviceCall::kCollectCodeInfo) == 0)
        std::this_thread::yield();
    ASSERT_TRUE(remote.QueueCapture("8001"));
    poller.join();
    EXPECT_TRUE(collected);
}

TEST_F(SimulatedRemoteTest, UnpluggedEveryCallFailsAndNothingElseChanges) {
    remote.SetCollectWait(0ms);
    ASSERT_TRUE(device.SetCodeCarrierWave());
    remote.Unplug();
    EXPECT_FALSE(remote.InCaptureMode()) << "unplugging ends capture mode";
    EXPECT_FALSE(remote.QueueCapture("8001")) << "a signal fired at an unplugged remote is lost";
    const RemoteImage before = remote.Image();
    std::vector<char> buffer(SimulatedRemote::kCaptureBufferSize);
    EXPECT_FALSE(device.link_state());
    EXPECT_FALSE(device.ReadVersion(buffer.data()));
    EXPECT_FALSE(device.readdatav20(buffer.data(), 1, "B0", "00", "08"));
    EXPECT_FALSE(device.writedatav20("08", "90", "00", "01"));
    EXPECT_FALSE(device.SetCodeCarrierWave());
    EXPECT_FALSE(device.RCollectCodeInfo(buffer.data()));
    EXPECT_FALSE(device.RBasicInfo(buffer.data()));
    EXPECT_FALSE(device.WCodeTypeData("01"));
    EXPECT_EQ(remote.Image().banks, before.banks);
    EXPECT_FALSE(remote.InCaptureMode());
    EXPECT_TRUE(remote.Writes().empty());

    remote.Plug();
    EXPECT_TRUE(device.link_state());
    EXPECT_EQ(Read(1, "B0", "00"), "59485A4C37373331");
}

TEST_F(SimulatedRemoteTest, UnpluggingLosesAHeldCapture) {
    remote.SetCollectWait(0ms);
    ASSERT_TRUE(device.SetCodeCarrierWave());
    ASSERT_TRUE(remote.QueueCapture("8001"));
    remote.Unplug();
    remote.Plug();
    ASSERT_TRUE(device.SetCodeCarrierWave());
    std::vector<char> buffer(SimulatedRemote::kCaptureBufferSize);
    EXPECT_FALSE(device.RCollectCodeInfo(buffer.data()));
}

TEST_F(SimulatedRemoteTest, FaultsRefuseExactlyTheCallsAskedFor) {
    remote.FailNthWrite(2);
    EXPECT_TRUE(device.writedatav20("08", "90", "00", "11"));
    EXPECT_FALSE(device.writedatav20("08", "90", "01", "22"));
    EXPECT_TRUE(device.writedatav20("08", "90", "02", "33"));
    EXPECT_EQ(remote.MemoryHex(0x08, 0x9000, 3), "110033");

    remote.FailReadsAt(0xB03C);
    EXPECT_EQ(Read(2, "B0", "3C"), "(refused)");
    EXPECT_EQ(Read(1, "B0", "00"), "59485A4C37373331");

    remote.FailCall(DeviceCall::kReadVersion);
    std::vector<char> buffer(SimulatedRemote::kVersionBufferSize);
    EXPECT_FALSE(device.ReadVersion(buffer.data()));
    EXPECT_TRUE(device.link_state());

    remote.ClearFaults();
    EXPECT_TRUE(device.ReadVersion(buffer.data()));
    EXPECT_NE(Read(2, "B0", "3C"), "(refused)");
}

TEST_F(SimulatedRemoteTest, ASlowCallLeavesTheRemoteUsableMeanwhile) {
    remote.SetCallDelay(1s);
    bool linked = true;
    std::thread caller([&] { linked = device.link_state(); });
    while (remote.CallCount(DeviceCall::kLinkState) == 0)
        std::this_thread::yield();
    remote.Unplug();  // would block behind the slow call if the remote were held meanwhile
    caller.join();
    EXPECT_FALSE(linked) << "the slow call answers with the state at its end";
}

TEST_F(SimulatedRemoteTest, AWriteTheObserverCannotKeepIsUndone) {
    std::vector<std::string> seen;
    remote.SetWriteObserver([&](const RemoteImage& image) {
        seen.push_back(hex::FormatBytes({&image.banks.at(0x08)[0x9000], 2}));
        return seen.size() == 1;
    });
    EXPECT_TRUE(device.writedatav20("08", "90", "00", "1111"));
    EXPECT_FALSE(device.writedatav20("08", "90", "00", "2222"));
    EXPECT_EQ(seen, (std::vector<std::string>{"1111", "2222"}));
    EXPECT_EQ(remote.MemoryHex(0x08, 0x9000, 2), "1111");
    EXPECT_EQ(remote.Writes().size(), 1u);
}

// Three threads as in the program: memory traffic, the link monitor, the capture loop. Each
// write fills a whole unit with one byte value, so a read that sees two values was torn.
TEST_F(SimulatedRemoteTest, ThreeThreadsCallingAtOnceSeeWholeResults) {
    remote.SetCollectWait(1ms);
    std::atomic<bool> torn = false;
    std::atomic<bool> wrongIdentity = false;
    std::thread memory([&] {
        for (int i = 0; i < 400; ++i) {
            const std::string value =
                hex::FormatBytes(std::vector<std::uint8_t>(8, static_cast<std::uint8_t>(i)));
            device.writedatav20("08", "90", "00", value.c_str());
            char buffer[16];
            if (!device.readdatav20(buffer, 1, "90", "00", "08"))
                continue;
            const std::string text(buffer, 16);
            for (int pair = 1; pair < 8; ++pair) {
                if (text.compare(2 * pair, 2, text, 0, 2) != 0)
                    torn = true;
            }
        }
    });
    std::thread monitor([&] {
        for (int i = 0; i < 400; ++i) {
            std::vector<char> buffer(SimulatedRemote::kIdentityBufferSize);
            if (device.link_state() && device.RBasicInfo(buffer.data()) &&
                std::string(buffer.data()) != default_remote::kIdentityText)
                wrongIdentity = true;
        }
    });
    std::thread capture([&] {
        std::vector<char> buffer(SimulatedRemote::kCaptureBufferSize);
        for (int i = 0; i < 50; ++i) {
            device.SetCodeCarrierWave();
            remote.QueueCapture("8001");
            device.RCollectCodeInfo(buffer.data());
            device.link_state();
        }
    });
    memory.join();
    monitor.join();
    capture.join();
    EXPECT_FALSE(torn);
    EXPECT_FALSE(wrongIdentity);
    EXPECT_EQ(remote.Writes().size(), 400u);
}

}  // namespace
