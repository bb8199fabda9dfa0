// Sending: a signal cut into the writes a device takes, and the bytes a transmitter writes into
// a FIFO read back and decoded as the key that was sent.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/lirc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstring>
#include <numeric>

#include "converter/ir_decode.h"
#include "lirc/lirc_device.h"
#include "lirc/transmission.h"
#include "tests/lirc/fake_device_control.h"
#include "tests/support/recorded_streams.h"

namespace lirc {
namespace {

using Values = std::vector<std::uint32_t>;

std::uint64_t TotalUs(const Values& values) {
    return std::accumulate(values.begin(), values.end(), std::uint64_t{0});
}

TEST(PlanTransmissions, WhatIsNoSignalIsNotSent) {
    const std::vector<Durations> cases = {
        {}, {-500}, {-500, 600}, {600, 0, 600}, {600, 600}, {600, -500, -500, 600},
    };
    for (const Durations& signal : cases) {
        EXPECT_EQ(PlanTransmissions(signal, kDeviceWriteLimits).outcome, PlanOutcome::kNotASignal)
            << ::testing::PrintToString(signal);
    }
}

TEST(PlanTransmissions, ASignalIsCutAtItsPausesIntoWritesADeviceTakes) {
    const Durations press = testing::PressOf("NEC1", testing::Nec(4, 8));
    const Durations held = testing::PressOf("NEC1", testing::Nec(4, 8), 8);
    struct Case {
        const char* name;
        Durations signal;
        WriteLimits limits;
        std::size_t writes;
    };
    const std::vector<Case> cases = {
        {"one press: one write without its lead-out", press, kDeviceWriteLimits, 1},
        {"a held key of 900 ms: cut at its frame pauses", held, kDeviceWriteLimits, 2},
        {"into a FIFO: one write, however long", held, kStreamWriteLimits, 1},
        {"a device of short writes: a write a frame", held, {0, 100000}, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TransmissionPlan plan = PlanTransmissions(c.signal, c.limits);
        ASSERT_EQ(plan.outcome, PlanOutcome::kPlanned);
        ASSERT_EQ(plan.transmissions.size(), c.writes);
        // Put back together, the writes and pauses are the signal without its lead-out.
        Durations rebuilt;
        for (const Transmission& write : plan.transmissions) {
            EXPECT_EQ(write.values.size() % 2, 1u);
            EXPECT_TRUE(c.limits.maxValues == 0 || write.values.size() <= c.limits.maxValues);
            EXPECT_TRUE(c.limits.maxUs == 0 || TotalUs(write.values) <= c.limits.maxUs);
            for (std::size_t i = 0; i < write.values.size(); ++i) {
                const auto us = static_cast<std::int32_t>(write.values[i]);
                rebuilt.push_back(i % 2 == 0 ? us : -us);
            }
            if (write.pauseAfterUs != 0)
                rebuilt.push_back(-static_cast<std::int32_t>(write.pauseAfterUs));
        }
        EXPECT_EQ(plan.transmissions.back().pauseAfterUs, 0u);
        EXPECT_EQ(rebuilt, Durations(c.signal.begin(), c.signal.end() - 1));
    }
}

TEST(PlanTransmissions, AFrameLongerThanOneWriteIsRefused) {
    Durations endless;
    for (int i = 0; i < 1200; ++i)
        endless.insert(endless.end(), {500, -500});
    endless.push_back(500);
    EXPECT_EQ(PlanTransmissions(endless, kDeviceWriteLimits).outcome, PlanOutcome::kFrameTooLong);
    EXPECT_EQ(PlanTransmissions({400000, -500, 400000}, kDeviceWriteLimits).outcome,
              PlanOutcome::kFrameTooLong);
    EXPECT_EQ(PlanTransmissions(endless, kStreamWriteLimits).outcome, PlanOutcome::kPlanned);
}

// The plain durations a transmitter wrote, as signed durations from a mark.
Durations ReadBack(int fd) {
    std::string bytes;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<std::size_t>(got));
    EXPECT_EQ(bytes.size() % 4, 0u);
    Durations durations;
    for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
        std::uint32_t value;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        EXPECT_EQ(value & LIRC_MODE2_MASK, 0u) << "no type bits in what a device takes";
        const auto us = static_cast<std::int32_t>(value);
        durations.push_back(durations.size() % 2 == 0 ? us : -us);
    }
    return durations;
}

class TransmitterFifo : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        path_ = folder_.filePath("lirc0").toStdString();
        ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
        // The reader first: opening a FIFO to send waits for one.
        reader_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader_, 0);
    }
    void TearDown() override { ::close(reader_); }

    QTemporaryDir folder_;
    std::string path_;
    int reader_ = -1;
};

TEST_F(TransmitterFifo, WhatIsSentIntoAFifoDecodesBackAsTheKey) {
    const Durations press = testing::PressOf("NEC1", testing::Nec(4, 8), 2);
    {
        TransmitterOpening opened = OpenTransmitter(path_);
        ASSERT_TRUE(opened.transmitter) << static_cast<int>(opened.refusal.reason);
        EXPECT_EQ(opened.transmitter->kind(), PathKind::kFifo);
        const SendResult sent = opened.transmitter->Send(press, {38000, 33});
        EXPECT_EQ(sent.outcome, SendOutcome::kSent);
        EXPECT_EQ(sent.writes, 1u);
        EXPECT_FALSE(sent.carrierSet);
    }
    ::fcntl(reader_, F_SETFL, 0);
    const Durations back = ReadBack(reader_);
    EXPECT_EQ(back, Durations(press.begin(), press.end() - 1));
    const auto decoded = quorvel::Decode(back);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->def->name, "NEC1");
    EXPECT_EQ(decoded->params, testing::Nec(4, 8));
    EXPECT_EQ(decoded->repeats, 2);
}

TEST_F(TransmitterFifo, ADeviceGetsItsCarrierFirstThenTheWritesWithThePausesBetween) {
    const Durations held = testing::PressOf("NEC1", testing::Nec(4, 8), 8);
    auto device = std::make_unique<testing::FakeDeviceControl>(LIRC_CAN_SEND_PULSE |
                                                               LIRC_CAN_SET_SEND_CARRIER);
    testing::FakeDeviceControl* seen = device.get();
    Transmitter transmitter(FileDescriptor(::open(path_.c_str(), O_WRONLY)), PathKind::kDevice,
                            std::move(device), LIRC_CAN_SEND_PULSE | LIRC_CAN_SET_SEND_CARRIER);
    const SendResult sent = transmitter.Send(held, {38000, 33});
    EXPECT_EQ(sent.outcome, SendOutcome::kSent);
    EXPECT_EQ(sent.writes, 2u);
    EXPECT_TRUE(sent.carrierSet);
    EXPECT_FALSE(sent.dutyCycleSet);
    EXPECT_EQ(seen->Last(LIRC_SET_SEND_CARRIER), 38000u);
    // Without the pause between the writes, which the sender waits out rather than writes.
    const Durations back = ReadBack(reader_);
    EXPECT_EQ(back.size(), held.size() - 2);
}

TEST_F(TransmitterFifo, AReaderThatLeavesFailsTheSendAndNotTheProgram) {
    TransmitterOpening opened = OpenTransmitter(path_);
    ASSERT_TRUE(opened.transmitter);
    ::close(reader_);
    reader_ = -1;
    const SendResult sent =
        opened.transmitter->Send(testing::PressOf("NEC1", testing::Nec(4, 8)), {});
    EXPECT_EQ(sent.outcome, SendOutcome::kDeviceGone);
}

}  // namespace
}  // namespace lirc
