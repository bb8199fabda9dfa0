// The remote's infrared eye on a FIFO or a recording standing in for a LIRC receiver: what
// arrives in capture mode becomes the capture, what arrives outside it is dropped, a FIFO
// takes one writer after another, and stopping ends the eye wherever it waits.
#include "sim/infrared_eye.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/lirc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "ircapture/ir_capture_text.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/recorded_streams.h"

namespace {

using namespace std::chrono_literals;
using lirc::testing::AsReceived;
using lirc::testing::BytesOf;
using lirc::testing::Joined;
using lirc::testing::PressOf;
using lirc::testing::PressValues;

lirc::Durations NecPress(std::uint32_t function = 8) {
    return AsReceived(PressOf("NEC1", lirc::testing::Nec(4, function)));
}

lirc::Durations SonyPress() {
    quorvel::Params params;
    params[quorvel::Param::kD] = 1;
    params[quorvel::Param::kF] = 21;
    return AsReceived(PressOf("Sony12", params));
}

// The capture the remote holds of a received signal: as measured, no mark excess added.
std::string CaptureOf(const lirc::Durations& received, std::uint32_t carrierHz) {
    ir_capture::CaptureOptions options;
    options.markExcessUs = 0;
    return *ir_capture::CaptureText(received, carrierHz, options);
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class InfraredEyeTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    std::string Path(const char* name) const { return folder_.filePath(name).toStdString(); }

    std::string Fifo() {
        const std::string path = Path("lirc0");
        EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
        return path;
    }

    void StartEye(const std::string& path) {
        lirc::ReceiverOpening opened = lirc::OpenReceiver(path);
        ASSERT_TRUE(opened.receiver);
        eye_ = std::make_unique<InfraredEye>(path, std::move(opened.receiver), remote_,
                                             [this](const std::string& line) {
                                                 const std::lock_guard lock(linesMutex_);
                                                 lines_.push_back(line);
                                             });
        ASSERT_TRUE(eye_->Start());
    }

    // One writer's whole stream into the FIFO; the eye holds its reading end open.
    static void WriteInto(const std::string& fifo, const std::string& bytes) {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    }

    // How many lines the eye reported that hold the words.
    int Reported(const std::string& words) {
        const std::lock_guard lock(linesMutex_);
        int count = 0;
        for (const std::string& line : lines_)
            count += line.find(words) != std::string::npos;
        return count;
    }
    std::string AllReported() {
        const std::lock_guard lock(linesMutex_);
        std::string all;
        for (const std::string& line : lines_)
            all += line + "\n";
        return all;
    }

    // The capture the remote hands out to a program waiting for a code, or empty.
    std::string Collect() {
        std::vector<char> buffer(SimulatedRemote::kCaptureBufferSize + 1, '\0');
        if (!WaitFor([&] { return remote_.RCollectCodeInfo(buffer.data()); }))
            return {};
        return std::string(buffer.data());
    }

    QTemporaryDir folder_;
    SimulatedRemote remote_{DefaultRemoteImage()};
    // Guards lines_, which the eye's thread fills while the test reads it.
    std::mutex linesMutex_;
    std::vector<std::string> lines_;
    // Goes first, so its thread has ended before what it reports to.
    std::unique_ptr<InfraredEye> eye_;
};

TEST_F(InfraredEyeTest, WhatArrivesInCaptureModeIsTheCaptureWithItsMeasuredCarrier) {
    struct Case {
        const char* name;
        lirc::Durations press;
        std::vector<std::uint32_t> before;  // values ahead of the press: a frequency report
        std::uint32_t carrierHz;            // what the capture states
    };
    const std::vector<Case> cases = {
        {"a demodulating receiver: no carrier", NecPress(), {}, 0},
        {"a learning receiver's report", SonyPress(), {LIRC_FREQUENCY(40000)}, 40000},
        {"a report after the timeout", NecPress(9), {}, 38000},
    };
    const std::string fifo = Fifo();
    StartEye(fifo);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(remote_.SetCodeCarrierWave());
        lirc::testing::Values values = Joined({c.before, PressValues(c.press)});
        if (c.before.empty() && c.carrierHz != 0)
            values.push_back(LIRC_FREQUENCY(c.carrierHz));
        WriteInto(fifo, BytesOf(values));
        EXPECT_EQ(Collect(), CaptureOf(c.press, c.carrierHz)) << AllReported();
    }
    // Told once handed over, which may be just after the collect.
    EXPECT_TRUE(WaitFor([&] { return Reported(": captured") == 3; })) << AllReported();
}

TEST_F(InfraredEyeTest, WhatArrivesOutsideCaptureModeIsDroppedAndNeverHandedOutLater) {
    const std::string fifo = Fifo();
    StartEye(fifo);
    WriteInto(fifo, BytesOf(PressValues(NecPress())));
    ASSERT_TRUE(WaitFor([&] { return Reported("dropped, the remote is not in capture mode"); }))
        << AllReported();

    remote_.Unplug();
    WriteInto(fifo, BytesOf(PressValues(NecPress())));
    ASSERT_TRUE(WaitFor([&] { return Reported("dropped, the remote is unplugged"); }))
        << AllReported();
    remote_.Plug();

    ASSERT_TRUE(remote_.SetCodeCarrierWave());
    std::vector<char> buffer(SimulatedRemote::kCaptureBufferSize + 1, '\0');
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(remote_.RCollectCodeInfo(buffer.data()));
    EXPECT_FALSE(remote_.CapturePending());
}

TEST_F(InfraredEyeTest, AFifoGoesOnThroughLostSignalsBadWritersAndOneWriterAfterAnother) {
    const std::string fifo = Fifo();
    StartEye(fifo);
    ASSERT_TRUE(remote_.SetCodeCarrierWave());
    // An overflow loses the signal it falls into; the next one of the same writer counts.
    lirc::testing::Values overflowed = PressValues(NecPress(1));
    overflowed.insert(overflowed.begin() + 10, LIRC_OVERFLOW(0));
    WriteInto(fifo, BytesOf(Joined({overflowed, PressValues(NecPress(2))})));
    EXPECT_EQ(Collect(), CaptureOf(NecPress(2), 0));
    EXPECT_TRUE(WaitFor([&] { return Reported("overflowed") == 1; })) << AllReported();

    // A writer of something else, then one cut off inside a value: told, and the next writer
    // is heard as if nothing had happened.
    WriteInto(fifo, "pulse 9000\nspace 4500\n");
    ASSERT_TRUE(WaitFor([&] { return Reported("holds no mode2 stream"); })) << AllReported();
    WriteInto(fifo, BytesOf(PressValues(NecPress(3))).substr(0, 30));
    ASSERT_TRUE(WaitFor([&] { return Reported("cut off"); })) << AllReported();
    ASSERT_TRUE(remote_.SetCodeCarrierWave());
    WriteInto(fifo, BytesOf(PressValues(NecPress(4))));
    EXPECT_EQ(Collect(), CaptureOf(NecPress(4), 0)) << AllReported();
}

TEST_F(InfraredEyeTest, ARecordingIsPressedAgainEachTimeTheRemoteListens) {
    const std::string recording = Path("press.mode2");
    {
        const std::string bytes = BytesOf(PressValues(NecPress()));
        const int fd = ::open(recording.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(fd);
    }
    StartEye(recording);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(remote_.CapturePending());
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_TRUE(remote_.SetCodeCarrierWave());
        EXPECT_EQ(Collect(), CaptureOf(NecPress(), 0)) << AllReported();
    }
    EXPECT_EQ(Reported("dropped"), 0) << AllReported();
}

TEST_F(InfraredEyeTest, StoppingEndsTheEyeWhereverItWaits) {
    // Waiting on a FIFO nobody writes to, and on a recording while nobody listens.
    const std::string fifo = Fifo();
    const std::string recording = Path("press.mode2");
    ASSERT_EQ(::close(::open(recording.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600)), 0);
    for (const std::string& path : {fifo, recording}) {
        SCOPED_TRACE(path);
        StartEye(path);
        std::this_thread::sleep_for(50ms);
        const auto before = std::chrono::steady_clock::now();
        eye_->Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
        eye_->Stop();  // twice is harmless
        eye_.reset();
    }
}

}  // namespace
