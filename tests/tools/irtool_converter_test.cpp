// irtool render, decode and convert as scripts use them, and the whole road of a key press:
// remote-sim send fires it at the remote, the device library collects the capture, the
// program's normaliser and irtool convert turn it into the stored record.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QProcess>
#include <array>
#include <random>

#include "converter/body_text.h"
#include "converter/ir_protocol.h"
#include "converter/protocol_request.h"
#include "converter/signal_text.h"
#include "learning/normalise.h"
#include "tests/converter/receiver_models.h"
#include "tests/support/remote_sim_process.h"
#include "zorvik.h"

namespace {

struct IrtoolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

IrtoolResult Irtool(const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    process.start(IRTOOL_PATH, args);
    EXPECT_TRUE(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(20000));
    return {process.exitCode(), process.readAllStandardOutput().trimmed(),
            process.readAllStandardError()};
}

// irtool with its standard input read from a file.
IrtoolResult IrtoolReading(const QStringList& args, const QString& input) {
    QProcess process;
    process.setStandardInputFile(input);
    process.start(IRTOOL_PATH, args);
    EXPECT_TRUE(process.waitForStarted());
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), process.readAllStandardOutput().trimmed(),
            process.readAllStandardError()};
}

// Folders aborted irtool, and /dev/zero, named or on the standard input, ran it out of memory.
TEST(IrtoolConverter, InputsThatAreNoFilesOrNeverEndAreRefusedWithTheirCause) {
    struct Case {
        QStringList args;
        QString input;
        int exitCode;
        QByteArray cause;
    };
    const std::vector<Case> cases = {
        {{"decode", "/tmp"}, {}, 1, "is a folder"},
        {{"decode", "/dev/zero"}, {}, 1, "not a regular file"},
        {{"decode"}, "/dev/zero", 1, "the standard input holds more than"},
        {{"convert", "-"}, "/dev/zero", 1, "the standard input holds more than"},
        {{"replay", "-"}, "/dev/zero", 1, "the standard input holds more than"},
        {{"normalise", "/dev/zero"}, {}, 2, "not a regular file"},
        {{"normalise"}, "/dev/zero", 2, "the standard input holds more than"},
        {{"normalise", "/tmp"}, {}, 2, "is a folder"},
    };
    for (const Case& c : cases) {
        const IrtoolResult result =
            c.input.isEmpty() ? Irtool(c.args) : IrtoolReading(c.args, c.input);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(c.cause)) << result.err.toStdString();
    }
}

TEST(IrtoolConverter, WrongUsageIsRefusedWithAClearMessage) {
    const std::vector<std::pair<QStringList, QByteArray>> cases = {
        {{}, "Usage:"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"render"}, "PROTOCOL is required"},
        {{"render", "NEC1", "--repeats", "x"}, "--repeats"},
        {{"render", "NEC1", "--format", "wav"}, "--format"},
        {{"render", "NEC1"}, "NEC1 needs D=... F=...; missing: D, F"},
        {{"render", "RC5", "D=1", "F=2", "D=1"}, "D is given twice"},
        {{"decode", "a", "b"}, "not expected: b"},
        {{"replay", "--format", "raw", "x"}, "--format"},
    };
    for (const auto& [args, message] : cases) {
        const IrtoolResult result = Irtool(args);
        EXPECT_EQ(result.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(result.err.contains(message)) << result.err.toStdString();
    }
    EXPECT_EQ(Irtool({"render", "--help"}).exitCode, 0);
}

TEST(IrtoolConverter, RenderedSignalsDecodeInEveryFormat) {
    const std::vector<std::pair<QStringList, QByteArray>> cases = {
        {{"NEC1", "D=4", "F=8"}, "NEC1 D=4 S=251 F=8"},
        {{"rc6", "D=4", "F=8", "T=1"}, "RC6 D=4 F=8 T=1"},
        {{"Sony20", "D=3", "S=200", "F=100"}, "Sony20 D=3 S=200 F=100"},
        {{"Kaseikyo", "D=1", "S=2", "F=3", "M=170", "N=90"}, "Kaseikyo D=1 S=2 F=3 E=0 M=170 N=90"},
        {{"Sharp", "D=1", "F=2", "--repeats", "1"}, "Sharp D=1 F=2"},
    };
    for (const auto& [args, decoded] : cases) {
        for (const char* format : {"us", "raw", "pronto"}) {
            const IrtoolResult rendered =
                Irtool(QStringList{"render"} + args + QStringList{"--format", format});
            ASSERT_EQ(rendered.exitCode, 0) << rendered.err.toStdString();
            const IrtoolResult result = Irtool({"decode"}, rendered.out + "\n");
            EXPECT_EQ(result.exitCode, 0) << format;
            EXPECT_EQ(result.out, decoded) << format << ": " << rendered.out.left(80).toStdString();
        }
    }
}

TEST(IrtoolConverter, DecodeReadsBodiesAndTellsUnknownSignalsByTheirFrames) {
    const QByteArray input =
        "021E049F021E049F021EFEFE0022EDED021E049F021E049F021EEDED\n"  // a body
        "22512021E049F021EFEFE0022EDED021E049F021EEDED\n"             // a whole normalised code
        "\n"
        "+3000 -1500 +400 -400 +400 -1200 +400 -40000 +3000 -1500 +400\n"
        "this is no signal\n";
    const IrtoolResult result = Irtool({"decode"}, input);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "unknown frames=2\nunknown frames=2\nunknown frames=2");
    EXPECT_TRUE(result.err.contains("line 5")) << result.err.toStdString();
}

TEST(IrtoolConverter, ConvertPrintsTheStoredRecordOrFails) {
    const IrtoolResult raw = Irtool({"convert", "021E049F021E049F021E049F021EFEFE0014EDED"});
    EXPECT_EQ(raw.exitCode, 0);
    EXPECT_TRUE(raw.out.contains(":::52")) << raw.out.toStdString();
    EXPECT_EQ(Irtool({"convert", "021E"}).exitCode, 1);
    EXPECT_EQ(Irtool({"convert"}).exitCode, 2);
    EXPECT_EQ(Irtool({"render", "NoSuchProtocol"}).exitCode, 2);
    EXPECT_EQ(Irtool({"render", "RC5", "D=32"}).exitCode, 2);
    EXPECT_EQ(Irtool({"render", "RC5", "--format", "wav"}).exitCode, 2);
}

TEST(IrtoolConverter, EveryProtocolRenderedThroughAReceiverDecodesAndReplaysAsItself) {
    // A person's try: render, fire through a weak receiver, decode; then convert what the
    // receiver delivered and replay the record.
    std::mt19937 random(5);
    const quorvel::testing::ReceiverModel& weak = quorvel::testing::ReceiverModels().back();
    for (const quorvel::ProtocolDef& def : quorvel::ProtocolTable()) {
        QStringList request = {"render", QString::fromStdString(def.name), "--repeats", "1"};
        for (int p = 0; p < quorvel::kParamCount; ++p) {
            const auto param = static_cast<quorvel::Param>(p);
            // S only where the protocol does not derive it, so that derived ones are rendered.
            if (def.HasParam(param) &&
                (param != quorvel::Param::kS || quorvel::ParameterRequired(def, param)))
                request << QString("%1=%2")
                               .arg(quorvel::kParamNames[p])
                               .arg(def.MaxValue(param) & (0x35 + p));
        }
        const IrtoolResult rendered = Irtool(request);
        ASSERT_EQ(rendered.exitCode, 0) << def.name << rendered.err.toStdString();
        quorvel::Rendered signal;
        signal.durations = quorvel::ParseMicroseconds(rendered.out.toStdString())->durations;
        signal.leadIn.assign(signal.durations.size(), false);
        const quorvel::Durations receivedSignal = quorvel::testing::Receive(signal, weak, random);
        const std::string received = quorvel::FormatMicroseconds(receivedSignal);
        const IrtoolResult decoded = Irtool({"decode"}, QByteArray::fromStdString(received));
        // Pioneer differs from NEC2 in its carrier alone, which microseconds do not carry.
        const std::string expected = def.name == "Pioneer" ? "NEC2" : def.name;
        EXPECT_TRUE(decoded.out.startsWith(QByteArray::fromStdString(expected + " ")))
            << def.name << ": " << decoded.out.toStdString();

        const IrtoolResult asSent = Irtool({"decode"}, rendered.out);
        const IrtoolResult converted =
            Irtool({"convert", QString::fromStdString(quorvel::FormatBody(receivedSignal))});
        ASSERT_EQ(converted.exitCode, 0) << def.name;
        const IrtoolResult replayed = Irtool({"replay", converted.out});
        EXPECT_EQ(replayed.exitCode, 0) << def.name;
        EXPECT_EQ(Irtool({"decode"}, replayed.out).out, asSent.out) << def.name;
    }
    EXPECT_EQ(Irtool({"replay", "not a record"}).exitCode, 2);
    EXPECT_EQ(Irtool({"replay", "990000::00:00:::"}).exitCode, 1);
}

TEST(IrtoolConverter, KeyPressSentAtTheSimulatedRemoteComesBackAsItsRecord) {
    TestFolder folder;
    const std::string socketPath = folder.File("s");
    RemoteSimServerProcess server{socketPath, folder.File("image"), folder.File("log")};
    setenv("KEYLEARN_REMOTE_SOCKET", socketPath.c_str(), 1);
    ASSERT_TRUE(server.Start()) << server.Log();

    // The remote hears only what arrives while it waits for a code.
    ASSERT_TRUE(SetCodeCarrierWave());
    const CommandResult sent =
        RunRemoteSim({"send", "NEC1", "D=4", "F=8", "--repeats", "2"}, socketPath);
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    std::array<char, ZORVIK_CAPTURE_BUFFER_SIZE> capture{};
    ASSERT_TRUE(RCollectCodeInfo(capture.data()));

    const auto normalised = NormaliseRawCodeParts(CutAtEndMarker(capture.data()));
    ASSERT_TRUE(normalised);
    EXPECT_EQ(normalised->frameCount, 3);
    EXPECT_EQ(normalised->carrierField, "2612");
    const IrtoolResult converted = Irtool({"convert", QString::fromStdString(normalised->body)});
    EXPECT_EQ(converted.out, "010000::0400FB0008000000:0000020000000000:::");

    // And the remote's learned key shows what it would send.
    const CommandResult replay = RunRemoteSim({"replay", "30"}, socketPath);
    EXPECT_EQ(replay.exitCode, 0);
    EXPECT_NE(replay.out.find("learned, code entry 02"), std::string::npos) << replay.out;
    EXPECT_EQ(RunRemoteSim({"replay", "ZZ"}, socketPath).exitCode, 2);
    EXPECT_EQ(RunRemoteSim({"send", "NEC1", "D=400"}, socketPath).exitCode, 2);
}

}  // namespace
