// Real infrared without hardware: remote-sim serve --receiver on a FIFO that recorded key
// presses are written into, learned with remotectl learn, and remotectl send into a FIFO,
// decoded back by irtool; the refusals of both.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/lirc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QThread>

#include "tests/support/fifo_collector.h"
#include "tests/support/recorded_streams.h"
#include "tests/tools/remotectl_fixture.h"

namespace {

using namespace remotectl_test;
using lirc::testing::AsReceived;
using lirc::testing::BytesOf;
using lirc::testing::Joined;
using lirc::testing::PressOf;
using lirc::testing::PressValues;

// One writer's whole stream, as `cat press.mode2 > FIFO` writes it; the FIFO must have its
// reader already.
void WriteInto(const std::string& fifo, const std::string& bytes) {
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0) << "nobody reads " << fifo;
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
}

quorvel::Params Params(std::initializer_list<std::pair<quorvel::Param, std::uint32_t>> values) {
    quorvel::Params params;
    for (const auto& [param, value] : values)
        params[param] = value;
    return params;
}

// A key press of a real remote control as a receiver records it: a demodulating receiver
// reports no carrier, a learning one its measurement.
std::string Recorded(const char* protocol, const quorvel::Params& params,
                     std::uint32_t measuredHz = 0) {
    const lirc::testing::Values press = PressValues(AsReceived(PressOf(protocol, params)));
    return BytesOf(measuredHz == 0 ? press : Joined({{LIRC_FREQUENCY(measuredHz)}, press}));
}

class RemoteWithReceiver : public RemotectlTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(::mkfifo(receiver_.c_str(), 0600), 0);
        StartServer({"--receiver", receiver_});
    }

    bool Listening() const {
        return Sim({"status"}).out.find("capture mode: on") != std::string::npos;
    }

    // remotectl learn KEY, once it waits and the remote listens.
    void StartLearning(QProcess& learn, const char* key) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket_));
        learn.setProcessEnvironment(env);
        learn.start(REMOTECTL_PATH, {"learn", key, "--timeout", "30"});
        ASSERT_TRUE(learn.waitForStarted());
        for (int i = 0; i < 500 && !Listening(); ++i)
            QThread::msleep(20);
        ASSERT_TRUE(Listening());
    }

    // Waits until the server's log holds the words so many times.
    bool Logged(const std::string& words, int times = 1) const {
        for (int i = 0; i < 250; ++i) {
            const std::string log = server_.Log();
            int count = 0;
            for (auto at = log.find(words); at != std::string::npos; at = log.find(words, at + 1))
                ++count;
            if (count >= times)
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    std::string receiver_ = folder_.File("lirc0");
};

TEST_F(RemoteWithReceiver, RemotectlLearnsAKeyPressedAtTheReceiverWhileTheRemoteListens) {
    using quorvel::Param;
    struct Case {
        const char* key;
        std::string press;
        const char* learned;
    };
    const std::vector<Case> cases = {
        {"04", Recorded("NEC1", Params({{Param::kD, 12}, {Param::kS, 243}, {Param::kF, 34}})),
         "NEC1 D=12 S=243 F=34"},
        {"05", Recorded("Sony12", Params({{Param::kD, 1}, {Param::kF, 21}}), 40000),
         "Sony12 D=1 F=21"},
        {"06", Recorded("RC5", Params({{Param::kD, 0}, {Param::kF, 12}})), "RC5 D=0 F=12"},
    };
    int dropped = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        // Pressed before anybody listens: the remote's receiver is off, the press is lost.
        WriteInto(receiver_, c.press);
        ASSERT_TRUE(Logged("dropped, the remote is not in capture mode", ++dropped))
            << server_.Log();

        QProcess learn;
        StartLearning(learn, c.key);
        EXPECT_NE(Sim({"status"}).out.find("no capture waiting"), std::string::npos);
        WriteInto(receiver_, c.press);
        const ProgramRun learned = Finish(learn);
        EXPECT_EQ(learned.exitCode, 0) << learned.err.toStdString() << server_.Log();
        EXPECT_TRUE(learned.out.contains(c.learned)) << learned.out.toStdString();
        const QByteArray line = KeyLine(Remotectl({"keys"}).out, c.key);
        EXPECT_TRUE(line.contains("learned  ") && line.contains(c.learned)) << line.toStdString();
    }
    ExpectConsistent();
}

TEST_F(RemoteWithReceiver, APressAfterTheRemoteStoppedListeningReachesNoLaterLearning) {
    const ProgramRun timedOut = Remotectl({"learn", "04", "--timeout", "1"});
    EXPECT_EQ(timedOut.exitCode, 1);
    // Capture mode outlasts a program that gave up by a few seconds of nobody asking.
    for (int i = 0; i < 300 && Listening(); ++i)
        QThread::msleep(20);
    ASSERT_FALSE(Listening());
    WriteInto(receiver_, Recorded("NEC1", lirc::testing::Nec(4, 8)));
    ASSERT_TRUE(Logged("dropped, the remote is not in capture mode")) << server_.Log();

    const ProgramRun next = Remotectl({"learn", "04", "--timeout", "1"});
    EXPECT_EQ(next.exitCode, 1);
    EXPECT_TRUE(next.err.endsWith("remotectl: no code arrived within 1 s\n"))
        << next.err.toStdString();
    EXPECT_TRUE(KeyLine(Remotectl({"keys"}).out, "04").contains(" downloaded "));
}

TEST(RemoteSimReceiver, ServeRefusesAReceiverItCannotReadBeforeItServes) {
    const TestFolder folder;
    ASSERT_EQ(::mkdir(folder.File("folder").c_str(), 0700), 0);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {folder.File("lirc9"), "lirc9 does not exist"},
        {"/dev/null", "/dev/null is no LIRC device (it does not answer LIRC_GET_FEATURES)"},
        {folder.File("folder"), "folder is no LIRC device, FIFO or recorded stream"},
    };
    for (const auto& [path, refusal] : cases) {
        SCOPED_TRACE(path);
        const CommandResult served = RunRemoteSim(
            {"serve", "--image", folder.File("image"), "--receiver", path}, folder.File("s"));
        EXPECT_EQ(served.exitCode, 1);
        EXPECT_NE(served.err.find(refusal), std::string::npos) << served.err;
        EXPECT_FALSE(RemoteSimAnswers(folder.File("s")));
    }
}

class RemotectlSend : public RemotectlTest {
  protected:
    // remotectl send ARGS into a FIFO, and the bytes it wrote.
    std::pair<ProgramRun, QByteArray> SendIntoFifo(const QStringList& args) const {
        FifoCollector fifo(folder_.File("lirc1"));
        EXPECT_TRUE(fifo.Reading()) << fifo.Path();
        const ProgramRun sent =
            Remotectl(QStringList{"send"} + args + QStringList{"--device", File("lirc1")});
        return {sent, QByteArray::fromStdString(fifo.Collected())};
    }
};

TEST_F(RemotectlSend, WhatAKeyHoldsGoesOutAndDecodesBackToItsProtocol) {
    ASSERT_EQ(Remotectl({"program", "05", "RC5", "D=0", "F=12"}).exitCode, 0);
    ASSERT_EQ(Remotectl({"program", "06", "Sony12", "D=1", "F=21"}).exitCode, 0);
    const QByteArray keys = Remotectl({"keys"}).out;
    struct Case {
        const char* key;
        const char* decoded;
        const char* said;
    };
    const std::vector<Case> cases = {
        {"00", "NEC1-f16 D=0 S=0 F=0", "sent key 00 (NEC1-f16 D=0 S=0 F=0) to "},  // downloaded
        {"05", "RC5 D=0 F=12 T=0", "sent key 05 (RC5 D=0 F=12 T=0) to "},          // learned
        {"06", "Sony12 D=1 F=21", "sent key 06 (Sony12 D=1 F=21) to "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(KeyLine(keys, c.key).endsWith(c.decoded)) << KeyLine(keys, c.key).data();
        const auto [sent, bytes] = SendIntoFifo({c.key});
        EXPECT_EQ(sent.exitCode, 0) << sent.err.toStdString();
        EXPECT_TRUE(sent.out.startsWith(c.said)) << sent.out.toStdString();
        Write(File("sent.bin"), bytes);
        const ProgramRun decoded = Irtool({"decode", "--pulses", File("sent.bin")});
        EXPECT_EQ(decoded.exitCode, 0) << decoded.err.toStdString();
        EXPECT_EQ(decoded.out.trimmed(), c.decoded);
    }
}

TEST_F(RemotectlSend, NothingToSendOrNowhereToSendItIsAClearFailure) {
    Write(File("press.mode2"), "recorded");
    struct Case {
        QStringList args;
        int exitCode;
        QByteArray err;
    };
    std::vector<Case> cases = {
        {{"send", "07"}, 1, "remotectl: key 07 holds no code; there is nothing to send\n"},
        {{"send", "FE"}, 1, "remotectl: the remote has no key FE\n"},
        {{"send", "00", "--device", "/dev/null"},
         1,
         "remotectl: /dev/null is no LIRC device (it does not answer LIRC_GET_FEATURES)\n"},
        {{"send", "00", "--device", File("press.mode2")},
         1,
         "remotectl: " + File("press.mode2").toUtf8() +
             " is a regular file, not a LIRC device or FIFO; it is not written over\n"},
        {{"send", "00", "--device", File("lirc9")},
         1,
         "remotectl: " + File("lirc9").toUtf8() + " does not exist\n"},
        {{"send", "zz"}, 2, "remotectl: a key is two hex digits, not zz\n"},
        {{"send"}, 2, "KEY is required"},
    };
    // Without --device the machine's one transmitter is chosen; here there is none.
    struct stat lirc0 {};
    if (::stat("/dev/lirc0", &lirc0) != 0)
        cases.push_back({{"send", "00"},
                         1,
                         "remotectl: there is no LIRC device (/dev/lirc*) to send through: plug "
                         "in an infrared transmitter, or give --device PATH (a LIRC device or a "
                         "FIFO)\n"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProgramRun run = Remotectl(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        if (c.exitCode == 2)
            EXPECT_TRUE(run.err.contains(c.err)) << run.err.toStdString();
        else
            EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
