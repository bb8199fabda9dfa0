// irtool receive, send and decode as a person uses them without hardware: recorded streams
// standing in for a receiver, a FIFO standing in for a transmitter, and the text mode2 and
// ir-ctl print.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/lirc.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "converter/ir_decode.h"
#include "converter/quorvel_record.h"
#include "converter/signal_text.h"
#include "lirc/transmission.h"
#include "tests/support/fifo_collector.h"
#include "tests/support/recorded_streams.h"

namespace {

using lirc::Durations;
using lirc::testing::BytesOf;
using lirc::testing::Joined;
using lirc::testing::PressValues;
using lirc::testing::ValuesOf;

struct IrtoolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

IrtoolResult Finished(QProcess& process) {
    EXPECT_TRUE(process.waitForFinished(20000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().trimmed(), process.readAllStandardError()};
}

IrtoolResult Irtool(const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    process.start(IRTOOL_PATH, args);
    EXPECT_TRUE(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    return Finished(process);
}

class IrtoolLirc : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    QString File(const QString& name, const QByteArray& bytes) {
        const QString path = folder_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    QString Recording(const std::string& bytes) {
        return File("press.mode2", QByteArray::fromStdString(bytes));
    }
    QString Fifo() {
        const QString path = folder_.filePath("lirc0");
        EXPECT_EQ(::mkfifo(path.toLocal8Bit().constData(), 0600), 0);
        return path;
    }

    // irtool send into a FIFO, and the bytes it wrote.
    std::pair<IrtoolResult, QByteArray> SendIntoFifo(const QStringList& args) {
        FifoCollector fifo(folder_.filePath("lirc0").toStdString());
        EXPECT_TRUE(fifo.Reading()) << fifo.Path();
        const IrtoolResult sent =
            Irtool(QStringList{"send", "--device", QString::fromStdString(fifo.Path())} + args);
        return {sent, QByteArray::fromStdString(fifo.Collected())};
    }

    QTemporaryDir folder_;
};

// mode2's text of a press: each line a value of the stream, so one press spans many lines.
QByteArray Mode2Lines(const Durations& press) {
    QByteArray text;
    for (const std::int32_t d : press)
        text += (d > 0 ? "pulse " : "space ") + QByteArray::number(std::abs(d)) + "\n";
    return text;
}

const Durations& NecPress() {
    static const Durations press =
        lirc::testing::AsReceived(lirc::testing::PressOf("NEC1", lirc::testing::Nec(4, 8)));
    return press;
}

TEST_F(IrtoolLirc, ReceiveFromARecordingPrintsOrNamesItsSignals) {
    const std::string press = BytesOf(Joined({{LIRC_FREQUENCY(38000)}, PressValues(NecPress())}));
    const QString recording = Recording(press + press);

    const IrtoolResult decoded = Irtool({"receive", "--device", recording, "--decode"});
    EXPECT_EQ(decoded.exitCode, 0) << decoded.err.toStdString();
    EXPECT_EQ(decoded.out, "NEC1 D=4 S=251 F=8\nNEC1 D=4 S=251 F=8");

    const IrtoolResult timings = Irtool({"receive", "--device", recording, "--count", "1"});
    EXPECT_EQ(timings.exitCode, 0);
    EXPECT_EQ(timings.out.toStdString(),
              quorvel::FormatMicroseconds(NecPress()) + " # carrier 38000");
    // What receive prints, decode reads: the carrier comment and all.
    EXPECT_EQ(Irtool({"decode"}, timings.out).out, "NEC1 D=4 S=251 F=8");
}

TEST_F(IrtoolLirc, ReceiveSaysWhatWentWrongWithTheStream) {
    const Durations& nec = NecPress();
    const lirc::testing::Values values = ValuesOf(nec);
    const lirc::testing::Values half(values.begin(), values.begin() + 20);
    struct Case {
        const char* name;
        std::string bytes;
        QStringList options;
        QByteArray out;
        QByteArray said;
    };
    const std::vector<Case> cases = {
        {"fewer signals than counted",
         BytesOf(PressValues(nec)),
         {"--count", "2"},
         "NEC1 D=4 S=251 F=8",
         "ended: 1 of 2 signals received"},
        {"an overflow loses one signal, the others come through",
         BytesOf(Joined({half, {LIRC_OVERFLOW(0), LIRC_TIMEOUT(125000)}, PressValues(nec)})),
         {},
         "NEC1 D=4 S=251 F=8",
         "overflowed: a signal was lost"},
        {"a recording cut inside a value",
         BytesOf(PressValues(nec)).substr(0, 4 * 20 + 1),
         {},
         "",
         "ends inside a value"},
        {"a file of text", "+9000 -4500 +560\n", {}, "", "holds no mode2 stream"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IrtoolResult result =
            Irtool(QStringList{"receive", "--decode", "--device", Recording(c.bytes)} + c.options);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out, c.out);
        EXPECT_TRUE(result.err.contains(c.said)) << result.err.toStdString();
    }
}

TEST_F(IrtoolLirc, ReceiveFromAFifoEndsOnItsCountItsTimeoutAndCtrlC) {
    const QString fifo = Fifo();
    const QByteArray path = fifo.toLocal8Bit();

    const IrtoolResult nothing = Irtool({"receive", "--device", fifo, "--timeout", "0.3"});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_TRUE(nothing.err.contains("no signal within 0.3 s")) << nothing.err.toStdString();

    // A writer that stays, as a receiver does: the count ends the command.
    QProcess counted;
    counted.start(IRTOOL_PATH, {"receive", "--device", fifo, "--decode", "--count", "1"});
    ASSERT_TRUE(counted.waitForStarted());
    const int writer = ::open(path.constData(), O_WRONLY);
    ASSERT_GE(writer, 0);
    const std::string press = BytesOf(PressValues(NecPress()));
    ASSERT_EQ(::write(writer, press.data(), press.size()), static_cast<ssize_t>(press.size()));
    const IrtoolResult one = Finished(counted);
    EXPECT_EQ(one.exitCode, 0);
    EXPECT_EQ(one.out, "NEC1 D=4 S=251 F=8");

    for (const int signal : {SIGINT, SIGTERM}) {
        QProcess waiting;
        waiting.start(IRTOOL_PATH, {"receive", "--device", fifo});
        ASSERT_TRUE(waiting.waitForStarted());
        // Long enough for irtool to be waiting, its handlers set.
        ASSERT_FALSE(waiting.waitForFinished(1000));
        ::kill(static_cast<pid_t>(waiting.processId()), signal);
        const IrtoolResult stopped = Finished(waiting);
        EXPECT_EQ(stopped.exitCode, 0) << signal;
        EXPECT_EQ(stopped.err, "") << signal;
    }
    ::close(writer);
}

TEST_F(IrtoolLirc, WhatSendWritesIntoAFifoDecodesBackAsTheKeys) {
    const auto rc6 = quorvel::Decode(lirc::testing::PressOf("RC6", [] {
        quorvel::Params params;
        params[quorvel::Param::kF] = 3;
        return params;
    }()));
    ASSERT_TRUE(rc6.has_value());
    const QString record =
        QString::fromStdString(quorvel::FormatConvertedCode(quorvel::ProtocolRecord(*rc6)));
    const QByteArray pronto = Irtool({"render", "NEC1", "D=4", "F=8", "--format", "pronto"}).out;
    const QString mode2Text =
        File("press.txt", "space 2000000\n" + Mode2Lines(NecPress()) + "timeout 125000\n");
    const QString receivedText = File(
        "received.txt",
        QByteArray::fromStdString(quorvel::FormatMicroseconds(NecPress()) + " # timeout 125000\n"));
    struct Case {
        QStringList args;
        QByteArray decoded;
        int repeats;  // of the first press
    };
    const std::vector<Case> cases = {
        {{"NEC1", "D=4", "F=8"}, "NEC1 D=4 S=251 F=8", 0},
        {{"Sony12", "D=1", "F=21"}, "Sony12 D=1 F=21", 2},
        {{"Sony12", "D=1", "F=21", "--repeats", "4"}, "Sony12 D=1 F=21", 4},
        {{"RC5", "D=0", "F=12", "--presses", "3"},
         "RC5 D=0 F=12 T=0\nRC5 D=0 F=12 T=1\nRC5 D=0 F=12 T=0",
         0},
        {{"RC5", "D=0", "F=12", "T=1", "--presses", "2"}, "RC5 D=0 F=12 T=1\nRC5 D=0 F=12 T=0", 0},
        {{"--pronto", pronto, "--presses", "2"}, "NEC1 D=4 S=251 F=8\nNEC1 D=4 S=251 F=8", 0},
        {{"--record", record, "--presses", "2"}, "RC6 D=0 F=3 T=0\nRC6 D=0 F=3 T=1", 0},
        {{"--file", receivedText}, "NEC1 D=4 S=251 F=8", 0},
        {{"--file", mode2Text, "--presses", "2"}, "NEC1 D=4 S=251 F=8\nNEC1 D=4 S=251 F=8", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').left(60).toStdString());
        const auto [sent, bytes] = SendIntoFifo(c.args);
        EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
        EXPECT_TRUE(sent.out.startsWith("sent ")) << sent.out.toStdString();
        // No type bits: the plain durations a device takes.
        const auto durations = lirc::ReadTransmitted(bytes.toStdString());
        ASSERT_TRUE(durations.has_value());
        EXPECT_EQ(durations->size() % 2, 1u);
        const IrtoolResult decoded = Irtool({"decode", "--pulses", File("sent.bin", bytes)});
        EXPECT_EQ(decoded.exitCode, 0) << decoded.err.toStdString();
        EXPECT_EQ(decoded.out, c.decoded);
        if (const auto first = quorvel::Decode(*durations); first && c.repeats != 0) {
            EXPECT_EQ(first->repeats, c.repeats);
        }
    }
}

TEST_F(IrtoolLirc, SendRefusesWhatItCannotSendAndWhereItCannotSendIt) {
    const QString recording = Recording(BytesOf(PressValues(NecPress())));
    const QString missing = folder_.filePath("lirc9");
    const QString noSignal = File("empty.txt", "\n\n");
    struct Case {
        QStringList args;
        int exitCode;
        QByteArray said;
    };
    const std::vector<Case> cases = {
        {{"send", "NEC1", "D=4", "F=8"}, 2, "--device is required"},
        {{"send", "--device", "/dev/null"}, 2, "give one of"},
        {{"send", "--device", "/dev/null", "NEC1", "--pronto", "0000"}, 2, "give one of"},
        {{"send", "--device", "/dev/null", "--pronto", "0000 006D", "--repeats", "1"},
         2,
         "--repeats goes with"},
        {{"send", "--device", "/dev/null", "NEC9"}, 2, "unknown protocol NEC9"},
        {{"send", "--device", "/dev/null", "--record", "xyz"}, 2, "not a stored record"},
        {{"send", "--device", "/dev/null", "--file", noSignal}, 1, "holds no signal"},
        {{"send", "--device", "/dev/null", "NEC1", "D=4", "F=8"},
         1,
         "/dev/null is no LIRC device (it does not answer LIRC_GET_FEATURES)"},
        {{"send", "--device", missing, "NEC1", "D=4", "F=8"}, 1, "does not exist"},
        {{"send", "--device", recording, "NEC1", "D=4", "F=8"}, 1, "is a regular file"},
        {{"send", "--device", folder_.path(), "NEC1", "D=4", "F=8"},
         1,
         "is no LIRC device or FIFO"},
        {{"receive", "--device", "/dev/null"}, 1, "is no LIRC device"},
        {{"receive", "--device", missing}, 1, "does not exist"},
        {{"receive", "--count", "0"}, 2, "--count"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const IrtoolResult result = Irtool(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_TRUE(result.err.contains(c.said)) << result.err.toStdString();
    }
    // The recording is as it was, and nothing was made where nothing was.
    QFile kept(recording);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll().toStdString(), BytesOf(PressValues(NecPress())));
    EXPECT_FALSE(QFile::exists(missing));
}

TEST_F(IrtoolLirc, DecodeReadsTheTextOfModeTwoAndIrCtl) {
    const QByteArray press = Mode2Lines(NecPress());
    const QByteArray other = Mode2Lines(
        lirc::testing::AsReceived(lirc::testing::PressOf("NEC1", lirc::testing::Nec(4, 9))));
    const QByteArray line = QByteArray::fromStdString(quorvel::FormatMicroseconds(NecPress()));
    struct Case {
        const char* name;
        QByteArray input;
        int exitCode;
        QByteArray out;
    };
    const std::vector<Case> cases = {
        {"mode2's lines with a timeout", "space 16777215\n" + press + "timeout 125000\n", 0,
         "NEC1 D=4 S=251 F=8"},
        {"two presses a long space apart, and a carrier",
         "carrier 38000\n" + press + "space 250000\n" + other, 0,
         "NEC1 D=4 S=251 F=8\nNEC1 D=4 S=251 F=9"},
        {"ir-ctl's line with its timeout comment, and a comment line",
         line + " # timeout 125000\n# carrier 38000Hz\n" + line + "\n", 0,
         "NEC1 D=4 S=251 F=8\nNEC1 D=4 S=251 F=8"},
        {"mode2 lines, then a line of another form", press + line + "\n", 0,
         "NEC1 D=4 S=251 F=8\nNEC1 D=4 S=251 F=8"},
        {"a mode2 word without its number", "pulse 9000\nspace\n", 1, "unknown frames=1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IrtoolResult result = Irtool({"decode"}, c.input);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err.toStdString();
        EXPECT_EQ(result.out, c.out);
    }
}

}  // namespace
