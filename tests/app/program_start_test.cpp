// The real program against a real remote-sim, as a user starts it, on the offscreen platform.
// What the program did is seen from outside: a relay between its device library and remote-sim
// records every call, and the process must still run well after start-up (a start-up that
// failed closes the window when it is shown, which ends the program).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "tests/app/recording_proxy.h"
#include "tests/support/own_remote_identity.h"

namespace {

using namespace std::chrono_literals;

struct Read {
    std::string units, high, low, bank;
    bool operator==(const Read&) const = default;
};

std::vector<Read> ReadsOf(const std::vector<RelayedCall>& calls) {
    std::vector<Read> reads;
    for (const RelayedCall& call : calls)
        if (call.request.size() == 5 && call.request[0] == "readdatav20" && call.succeeded)
            reads.push_back({call.request[1], call.request[2], call.request[3], call.request[4]});
    return reads;
}

QProcessEnvironment EnvironmentWithSocket(const QString& socket, const QString& runtime) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KEYLEARN_REMOTE_SOCKET"), socket);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

// Ends a process the test started, whatever state it is in.
struct ProcessGuard {
    QProcess& process;
    ~ProcessGuard() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

// A remote-sim of the test's own identity on a socket in a private folder, which is also the
// programs' runtime folder.
class ProgramStart : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QFile::setPermissions(
            dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        sim.setProcessEnvironment(EnvironmentWithSocket(simSocket, dir.path()));
        sim.start(QStringLiteral(REMOTE_SIM_PATH),
                  {QStringLiteral("serve"), QStringLiteral("--image"), dir.filePath("remote.img")});
        ASSERT_TRUE(sim.waitForStarted(5000));
        QByteArray simOut;
        while (!simOut.contains("serving") && sim.waitForReadyRead(10000))
            simOut += sim.readAllStandardOutput();
        ASSERT_TRUE(simOut.contains("serving")) << simOut.toStdString();
        ASSERT_EQ(identity.GiveTo(simSocket.toStdString()), "");
    }

    // Goes last, once every program that locked the remote has ended.
    const OwnRemoteIdentity identity;
    QTemporaryDir dir;
    const QString simSocket = dir.filePath(QStringLiteral("sim.sock"));
    QProcess sim;
    ProcessGuard simGuard{sim};
};

TEST_F(ProgramStart, MainWindowComesUpWithTheRemotesTablesRead) {
    const QString programSocket = dir.filePath(QStringLiteral("program.sock"));

    RecordingProxy proxy(programSocket.toStdString(), simSocket.toStdString());
    ASSERT_TRUE(proxy.Start());

    QProcess program;
    ProcessGuard programGuard{program};
    program.setProcessEnvironment(EnvironmentWithSocket(programSocket, dir.path()));
    program.start(QStringLiteral(KEYLEARN_PATH), {});
    ASSERT_TRUE(program.waitForStarted(5000));

    const std::vector<Read> expected = {
        {"6", "B0", "00", "08"},    // info block
        {"2", "B0", "3C", "08"},    // config block
        {"5", "80", "00", "08"},    // directory
        {"50", "80", "20", "08"},   // key code list
        {"122", "81", "00", "08"},  // key table
        {"16", "86", "00", "08"},   // code table
        {"120", "85", "00", "08"},  // built-in code list
    };
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (ReadsOf(proxy.Calls()).size() < expected.size() &&
           std::chrono::steady_clock::now() < deadline && program.state() != QProcess::NotRunning)
        std::this_thread::sleep_for(50ms);
    std::vector<Read> reads = ReadsOf(proxy.Calls());
    reads.resize(std::min(reads.size(), expected.size()));
    EXPECT_EQ(reads, expected);

    // Past the splash's half second the message loop runs and the window is shown; a program
    // whose start-up failed would have ended by now.
    EXPECT_FALSE(program.waitForFinished(2000))
        << "the program ended: " << program.readAllStandardError().toStdString();

    const std::vector<RelayedCall> calls = proxy.Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].request[0], "link_state");
    EXPECT_EQ(calls[1].request[0], "ReadVersion");
}

// The run's private folders in the runtime folder: the animation's (keylearn-XXXXXX).
QStringList AnimationFolders(const QString& runtime) {
    return QDir(runtime).entryList({QStringLiteral("keylearn-??????")},
                                   QDir::Dirs | QDir::NoDotAndDotDot);
}

// kill, Ctrl-C and a logout end the program as a close does: its animation folder goes, the
// remote's lock is given back (its file emptied of the holder's name), and it exits normally.
TEST_F(ProgramStart, TerminationSignalsEndTheProgramAsACloseDoes) {
    const auto lockFolder = UserLockFolder();
    ASSERT_TRUE(lockFolder) << lockFolder.Problem().toStdString();
    const QString lockFile = *lockFolder + QLatin1Char('/') + RemoteLockFileName(identity.Text());

    const struct {
        const char* name;
        int number;
    } signalsSent[] = {{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}};
    for (const auto& sent : signalsSent) {
        SCOPED_TRACE(sent.name);
        QProcess program;
        ProcessGuard programGuard{program};
        program.setProcessEnvironment(EnvironmentWithSocket(simSocket, dir.path()));
        program.start(QStringLiteral(KEYLEARN_PATH), {});
        ASSERT_TRUE(program.waitForStarted(5000));
        // The window is shown once its skins are loaded and the animation written.
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (AnimationFolders(dir.path()).isEmpty() &&
               std::chrono::steady_clock::now() < deadline &&
               program.state() != QProcess::NotRunning)
            std::this_thread::sleep_for(50ms);
        ASSERT_EQ(AnimationFolders(dir.path()).size(), 1)
            << program.readAllStandardError().toStdString();
        EXPECT_GT(QFileInfo(lockFile).size(), 0);

        ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), sent.number), 0);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_TRUE(AnimationFolders(dir.path()).isEmpty());
        EXPECT_EQ(QFileInfo(lockFile).size(), 0);
    }
}

// The pictures the first start decoded are kept in the user's cache folder, even when it ends
// at once; the next start takes them from there and writes nothing; a cache file damaged between
// two starts costs only its decoding, and is written sound again.
TEST_F(ProgramStart, PicturesDecodedOnceAreKeptForTheNextStart) {
    const QString cacheFile = dir.filePath(QStringLiteral("cache/keylearn/decoded-pictures"));
    QProcessEnvironment env = EnvironmentWithSocket(simSocket, dir.path());
    env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
    const auto inode = [&] {
        struct stat status {};
        return ::stat(QFile::encodeName(cacheFile).constData(), &status) == 0 ? status.st_ino
                                                                              : ino_t{0};
    };
    // Starts the program, waits until done() holds, and ends it as a logout does.
    const auto start = [&](const std::function<bool()>& done) {
        QProcess program;
        ProcessGuard programGuard{program};
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(KEYLEARN_PATH), {});
        ASSERT_TRUE(program.waitForStarted(5000));
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!done() && std::chrono::steady_clock::now() < deadline &&
               program.state() != QProcess::NotRunning)
            std::this_thread::sleep_for(50ms);
        EXPECT_TRUE(done()) << program.readAllStandardError().toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    };

    // Ended as soon as it is shown, before the window writes the cache itself: the program
    // writes it on its way out.
    ASSERT_NO_FATAL_FAILURE(start([&] { return !AnimationFolders(dir.path()).isEmpty(); }));
    const ino_t written = inode();
    ASSERT_NE(written, ino_t{0});
    const qint64 size = QFileInfo(cacheFile).size();
    EXPECT_GT(size, 1024 * 1024);

    // Shown, and a second longer: time enough for a write it should not make.
    std::optional<std::chrono::steady_clock::time_point> shownAt;
    ASSERT_NO_FATAL_FAILURE(start([&] {
        if (!shownAt && !AnimationFolders(dir.path()).isEmpty())
            shownAt = std::chrono::steady_clock::now();
        return shownAt && std::chrono::steady_clock::now() > *shownAt + 1s;
    }));
    EXPECT_EQ(inode(), written);

    QFile damaged(cacheFile);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write(QByteArray(100, 'x'));
    damaged.close();
    ASSERT_NO_FATAL_FAILURE(start([&] { return inode() != written && inode() != 0; }));
    EXPECT_EQ(QFileInfo(cacheFile).size(), size);
}

}  // namespace
