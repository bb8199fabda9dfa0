// The mode2 stream reader over recorded streams of what real receivers deliver, fed whole, in
// every chunking, from a regular file and through a pipe: the same signals and events each way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/lirc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <thread>

#include "converter/ir_decode.h"
#include "lirc/mode2_stream.h"
#include "tests/support/recorded_streams.h"

namespace lirc {

// Readable failures: the event's name and the signal's durations.
void PrintTo(const StreamReading& reading, std::ostream* out) {
    static const char* const kNames[] = {"signal",  "overflow",   "too long", "wait over",
                                         "stopped", "end",        "cut off",  "not mode2",
                                         "gone",    "read failed"};
    *out << kNames[static_cast<int>(reading.event)];
    if (reading.event == StreamEvent::kSignal) {
        *out << " carrier " << reading.signal.carrierHz << ":";
        for (const std::int32_t d : reading.signal.durations)
            *out << ' ' << d;
    }
}

bool operator==(const StreamReading& a, const StreamReading& b) {
    return a.event == b.event && a.signal == b.signal && a.errorNumber == b.errorNumber;
}

namespace {

using testing::BytesOf;
using testing::Joined;
using testing::PressValues;
using testing::Values;
using testing::ValuesOf;
using Readings = std::vector<StreamReading>;

StreamReading Signal(const Durations& durations, std::uint32_t carrierHz = 0) {
    return {StreamEvent::kSignal, {durations, carrierHz}, 0};
}

StreamReading Event(StreamEvent event) {
    return {event, {}, 0};
}

// Everything the assembler makes of the bytes, fed in chunks of the given sizes (cycled).
Readings Assemble(const std::string& bytes, const std::vector<std::size_t>& chunks) {
    Mode2Assembler assembler;
    Readings readings;
    std::size_t at = 0;
    for (std::size_t i = 0; at < bytes.size(); ++i) {
        const std::size_t size = std::min(chunks[i % chunks.size()], bytes.size() - at);
        assembler.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data() + at), size);
        at += size;
        while (assembler.HasEvent())
            readings.push_back(assembler.TakeEvent());
    }
    assembler.Finish();
    while (assembler.HasEvent())
        readings.push_back(assembler.TakeEvent());
    return readings;
}

// expectCarrier, as for a receiver that measures carriers: a signal waits a moment for a
// report that a later piece of the stream may bring.
Readings ReadToEnd(int fd) {
    Mode2Reader reader(fd, kSignalEndUs, true);
    Readings readings;
    for (;;) {
        readings.push_back(reader.Next({5000, -1}));
        if (EndsStream(readings.back().event) || readings.back().event == StreamEvent::kWaitOver)
            return readings;
    }
}

Readings ReadFromFile(const std::string& bytes) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("press.mode2").toStdString();
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_EQ(::write(out, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(out);
    const int in = ::open(path.c_str(), O_RDONLY);
    Readings readings = ReadToEnd(in);
    ::close(in);
    return readings;
}

// Through a pipe, written in small pieces with pauses between them, as a device hands out
// what it has received so far.
Readings ReadThroughPipe(const std::string& bytes, std::size_t piece) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    std::thread writer([&] {
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            const std::size_t size = std::min(piece, bytes.size() - at);
            EXPECT_EQ(::write(ends[1], bytes.data() + at, size), static_cast<ssize_t>(size));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ::close(ends[1]);
    });
    Readings readings = ReadToEnd(ends[0]);
    writer.join();
    ::close(ends[0]);
    return readings;
}

struct RecordedStream {
    const char* name;
    std::string bytes;
    Readings expected;
};

std::vector<RecordedStream> RecordedStreams() {
    const Durations nec = testing::AsReceived(testing::PressOf("NEC1", testing::Nec(4, 8)));
    const Durations other = testing::AsReceived(testing::PressOf("NEC1", testing::Nec(4, 9)));
    const Durations sony = testing::AsReceived(testing::PressOf("Sony12", {}));
    const Durations necRepeats =
        testing::AsReceived(testing::PressOf("NEC1", testing::Nec(4, 8), 3));
    const Durations noisy = [] {
        Durations d;
        for (std::size_t i = 0; i <= kMaxSignalDurations + 10; ++i)
            d.push_back(i % 2 == 0 ? 300 : -300);
        return d;
    }();
    const Values necValues = ValuesOf(nec);
    const Values firstHalf(necValues.begin(), necValues.begin() + 30);
    const Values secondHalf(necValues.begin() + 30, necValues.end());
    const std::uint32_t timeout = LIRC_TIMEOUT(kSignalEndUs);
    const std::uint32_t carrier = LIRC_FREQUENCY(38000);
    const std::string pressBytes = BytesOf(PressValues(nec));

    return {
        {"a key press at 50 us resolution with stretched marks, ended by the timeout",
         pressBytes,
         {Signal(nec), Event(StreamEvent::kEnd)}},
        {"the repeat frames of a held key stay one signal",
         BytesOf(PressValues(necRepeats)),
         {Signal(necRepeats), Event(StreamEvent::kEnd)}},
        {"Sony's three frames are one signal",
         BytesOf(PressValues(sony)),
         {Signal(sony), Event(StreamEvent::kEnd)}},
        {"without timeouts, the long space before the next press ends a signal",
         BytesOf(Joined({ValuesOf(nec), {LIRC_SPACE(300000)}, ValuesOf(other)})),
         {Signal(nec), Signal(other), Event(StreamEvent::kEnd)}},
        {"a frequency report before the first mark is the signal's carrier",
         BytesOf(Joined({{carrier}, PressValues(nec)})),
         {Signal(nec, 38000), Event(StreamEvent::kEnd)}},
        {"a frequency report inside the signal is its carrier",
         BytesOf(Joined({firstHalf, {carrier}, secondHalf, {timeout}})),
         {Signal(nec, 38000), Event(StreamEvent::kEnd)}},
        {"a frequency report after the timeout belongs to the signal before it",
         BytesOf(Joined({PressValues(nec), {carrier}, PressValues(other)})),
         {Signal(nec, 38000), Signal(other), Event(StreamEvent::kEnd)}},
        {"an overflow loses its signal and no other",
         BytesOf(
             Joined({firstHalf, {LIRC_OVERFLOW(0)}, secondHalf, {timeout}, PressValues(other)})),
         {Event(StreamEvent::kOverflow), Signal(other), Event(StreamEvent::kEnd)}},
        {"a receiver that never falls silent gives no endless signal",
         BytesOf(Joined({PressValues(noisy), PressValues(nec)})),
         {Event(StreamEvent::kSignalTooLong), Signal(nec), Event(StreamEvent::kEnd)}},
        {"zero durations and values of one kind in a row merge",
         BytesOf({LIRC_PULSE(500), LIRC_PULSE(100), LIRC_SPACE(0), LIRC_SPACE(300), LIRC_SPACE(200),
                  LIRC_PULSE(0), LIRC_PULSE(600), timeout}),
         {Signal({600, -500, 600}), Event(StreamEvent::kEnd)}},
        {"a recording stopped after a whole mark ends its signal with the stream",
         BytesOf(necValues),
         {Signal(nec), Event(StreamEvent::kEnd)}},
        {"a recording cut inside a value loses the signal in progress",
         BytesOf(PressValues(other)) + pressBytes.substr(0, 4 * 20 + 2),
         {Signal(other), Event(StreamEvent::kCutOff)}},
        {"a text file is no mode2 stream", "+9000 -4500 +560\n", {Event(StreamEvent::kNotMode2)}},
    };
}

TEST(Mode2Stream, RecordedStreamsGiveTheirSignalsInAnyChunking) {
    std::mt19937 random(26);
    for (const RecordedStream& stream : RecordedStreams()) {
        SCOPED_TRACE(stream.name);
        EXPECT_EQ(Assemble(stream.bytes, {stream.bytes.size()}), stream.expected);
        EXPECT_EQ(Assemble(stream.bytes, {1}), stream.expected);
        EXPECT_EQ(Assemble(stream.bytes, {3, 5, 2}), stream.expected);
        std::vector<std::size_t> chunks;
        for (int i = 0; i < 16; ++i)
            chunks.push_back(std::uniform_int_distribution<std::size_t>(1, 64)(random));
        EXPECT_EQ(Assemble(stream.bytes, chunks), stream.expected);
    }
}

TEST(Mode2Stream, ARecordingReadsFromAFileAndAPipeAsFromTheDevice) {
    for (const RecordedStream& stream : RecordedStreams()) {
        SCOPED_TRACE(stream.name);
        EXPECT_EQ(ReadFromFile(stream.bytes), stream.expected);
        EXPECT_EQ(ReadThroughPipe(stream.bytes, 7), stream.expected);
    }
}

TEST(Mode2Stream, ARecordedPressDecodesAsTheKeyItWas) {
    struct Case {
        const char* protocol;
        quorvel::Params params;
    };
    quorvel::Params sony;
    sony[quorvel::Param::kD] = 1;
    sony[quorvel::Param::kF] = 21;
    quorvel::Params rc5;
    rc5[quorvel::Param::kD] = 0;
    rc5[quorvel::Param::kF] = 12;
    rc5[quorvel::Param::kT] = 1;
    for (const Case& c :
         {Case{"NEC1", testing::Nec(4, 8)}, Case{"Sony12", sony}, Case{"RC5", rc5}}) {
        SCOPED_TRACE(c.protocol);
        const Durations received = testing::AsReceived(testing::PressOf(c.protocol, c.params));
        const Readings readings = Assemble(BytesOf(PressValues(received)), {64});
        ASSERT_EQ(readings.front().event, StreamEvent::kSignal);
        const auto decoded = quorvel::Decode(readings.front().signal.durations);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->def->name, c.protocol);
        EXPECT_EQ(decoded->params, c.params);
    }
}

class FifoFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        path_ = folder_.filePath("lirc0").toStdString();
        ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
    }
    QTemporaryDir folder_;
    std::string path_;
};

TEST_F(FifoFixture, TheReaderWaitsAsAskedIsStoppedAndSeesTheWriterGo) {
    const int in = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(in, 0);
    Mode2Reader reader(in);
    // No writer yet: the wait runs out, and a stop ends it early.
    EXPECT_EQ(reader.Next({50, -1}).event, StreamEvent::kWaitOver);
    int stop[2];
    ASSERT_EQ(::pipe(stop), 0);
    ASSERT_EQ(::write(stop[1], "x", 1), 1);
    EXPECT_EQ(reader.Next({-1, stop[0]}).event, StreamEvent::kStopped);
    ::close(stop[0]);
    ::close(stop[1]);

    // Half a press, a wait that runs out, the rest: the signal is kept whole across it.
    const Durations nec = testing::AsReceived(testing::PressOf("NEC1", testing::Nec(4, 8)));
    const std::string bytes = BytesOf(PressValues(nec));
    const int out = ::open(path_.c_str(), O_WRONLY);
    ASSERT_GE(out, 0);
    ASSERT_EQ(::write(out, bytes.data(), 100), 100);
    EXPECT_EQ(reader.Next({50, -1}).event, StreamEvent::kWaitOver);
    ASSERT_EQ(::write(out, bytes.data() + 100, bytes.size() - 100),
              static_cast<ssize_t>(bytes.size() - 100));
    EXPECT_EQ(reader.Next({2000, -1}), Signal(nec));
    ::close(out);
    EXPECT_EQ(reader.Next({2000, -1}).event, StreamEvent::kEnd);
    EXPECT_EQ(reader.Next({2000, -1}).event, StreamEvent::kEnd);
    ::close(in);
}

TEST(Mode2Reader, ACarrierReportThatFollowsTheTimeoutIsWaitedFor) {
    const Durations nec = testing::AsReceived(testing::PressOf("NEC1", testing::Nec(4, 8)));
    const std::string press = BytesOf(PressValues(nec));
    const std::string carrier = BytesOf({LIRC_FREQUENCY(36000)});
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    Mode2Reader reader(ends[0], kSignalEndUs, true);
    ASSERT_EQ(::write(ends[1], press.data(), press.size()), static_cast<ssize_t>(press.size()));
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        EXPECT_EQ(::write(ends[1], carrier.data(), carrier.size()), 4);
    });
    EXPECT_EQ(reader.Next({2000, -1}), Signal(nec, 36000));
    late.join();

    // Once a signal is given out, a report is the next signal's: the report of a receiver
    // that sends it first.
    ASSERT_EQ(::write(ends[1], carrier.data(), carrier.size()), 4);
    EXPECT_EQ(reader.Next({50, -1}).event, StreamEvent::kWaitOver);
    ASSERT_EQ(::write(ends[1], press.data(), press.size()), static_cast<ssize_t>(press.size()));
    ::close(ends[1]);
    EXPECT_EQ(reader.Next({2000, -1}), Signal(nec, 36000));
    EXPECT_EQ(reader.Next({2000, -1}).event, StreamEvent::kEnd);
    ::close(ends[0]);
}

TEST(Mode2Reader, WithoutCarrierReportsASignalIsGivenOutAtOnce) {
    const Durations nec = testing::AsReceived(testing::PressOf("NEC1", testing::Nec(4, 8)));
    const std::string press = BytesOf(PressValues(nec));
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    Mode2Reader reader(ends[0]);
    ASSERT_EQ(::write(ends[1], press.data(), press.size()), static_cast<ssize_t>(press.size()));
    // The writer stays: the signal is whole before the stream's end, not after the wait.
    EXPECT_EQ(reader.Next({2000, -1}), Signal(nec));
    ::close(ends[1]);
    ::close(ends[0]);
}

}  // namespace
}  // namespace lirc
