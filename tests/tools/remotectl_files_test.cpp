// The files and the output of the command-line programs: a backup that cannot be written whole
// leaves the old one and says so, a FIFO stays a FIFO, - is the standard output of a backup and
// the standard input of a restore, an output that cannot be written is a failure of remotectl,
// irtool and remote-sim alike while a reader that went away ends them quietly, and the
// diagnostic copy lies in keylearn's data folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "tests/support/full_disk.h"
#include "tests/tools/remotectl_fixture.h"

namespace {

using namespace remotectl_test;

constexpr char kNoRoom[] = "cannot write the standard output: No space left on device\n";

// The process's standard output to a file such as /dev/full.
Preparation OutputTo(const QString& path) {
    return [path](QProcess& process, QProcessEnvironment&) { process.setStandardOutputFile(path); };
}

// The process's standard output a pipe whose reader has gone, as after `| head -1` has read
// its line.
Preparation OutputToAClosedPipe() {
    return [](QProcess& process, QProcessEnvironment&) {
        process.setChildProcessModifier([] {
            int ends[2];
            if (::pipe(ends) != 0)
                ::_exit(120);
            ::close(ends[0]);
            ::dup2(ends[1], STDOUT_FILENO);
            ::close(ends[1]);
        });
    };
}

Preparation FileSizeLimit(rlim_t bytes) {
    return [bytes](QProcess& process, QProcessEnvironment&) {
        process.setChildProcessModifier([bytes] { full_disk::LimitFileSize(bytes); });
    };
}

class RemotectlFilesTest : public RemotectlTest {
  protected:
    // The hidden files a write would leave beside its target.
    QStringList LeftOvers() const {
        return QDir(QString::fromStdString(folder_.Path()))
            .entryList(QStringList{".*.new"}, QDir::Files | QDir::Hidden | QDir::System);
    }
    // A backup that differs from the remote's start: key 01 programmed.
    void ChangeTheRemote() const {
        ASSERT_EQ(Remotectl({"program", "01", "NEC1", "D=4", "F=8"}).exitCode, 0);
    }
};

TEST_F(RemotectlFilesTest, ABackupCutOffByAFileSizeLimitLeavesTheOldOneAndSaysSo) {
    const QByteArray old = Backup("a.txt");
    ChangeTheRemote();
    for (const char* name : {"a.txt", "new.txt"}) {
        SCOPED_TRACE(name);
        const ProgramRun run = Remotectl({"backup", File(name)}, {}, FileSizeLimit(1000));
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.startsWith("remotectl: cannot write \"" + File(name).toUtf8() +
                                       "\": File too large"))
            << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
    }
    EXPECT_EQ(Read(File("a.txt")), old);
    EXPECT_FALSE(QFile::exists(File("new.txt")));
    EXPECT_EQ(LeftOvers(), QStringList());
    // The old backup still restores.
    EXPECT_EQ(Remotectl({"restore", File("a.txt")}).exitCode, 0);
}

TEST_F(RemotectlFilesTest, ABackupOntoAFullFileSystemLeavesTheOldOneAndSaysSo) {
    const std::string stick = folder_.File("stick");
    ASSERT_EQ(::mkdir(stick.c_str(), 0700), 0);
    if (const std::string missing = full_disk::WhySmallFileSystemIsMissing(stick); !missing.empty())
        GTEST_SKIP() << missing;
    const QByteArray old = Backup("good.txt");
    ChangeTheRemote();
    // A 64 KiB stick of this process's own, with the good backup on it, then filled up.
    const QString script =
        QString(
            "mount --make-rprivate / && mount -t tmpfs -o size=64k stick %1 && "
            "cp %2 %1/a.txt && (cat /dev/zero > %1/filler 2>/dev/null; true) && "
            "%3 backup %1/a.txt; echo \"exit $?\"; "
            "cmp -s %2 %1/a.txt && echo kept; ls -A %1")
            .arg(QString::fromStdString(stick), File("good.txt"), REMOTECTL_PATH);
    const ProgramRun run = RunProgram("unshare", {"-m", "sh", "-c", script}, socket_);
    EXPECT_EQ(run.out, "exit 1\nkept\na.txt\nfiller\n") << run.err.toStdString();
    EXPECT_EQ(run.err, "remotectl: cannot write \"" + QString::fromStdString(stick).toUtf8() +
                           "/a.txt\": No space left on device; a file of that name is as it "
                           "was\n");
    EXPECT_EQ(Read(File("good.txt")), old);
}

TEST_F(RemotectlFilesTest, ABackupNeverReplacesAFifoOrADevice) {
    ASSERT_EQ(::mkfifo(folder_.File("fifo").c_str(), 0600), 0);
    std::vector<std::pair<std::string, mode_t>> targets = {{"fifo", S_IFIFO}, {"", S_IFDIR}};
    // A device node of the test's own, where root may make one (as /dev/null was replaced).
    if (::mknod(folder_.File("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        targets.push_back({"null", S_IFCHR});
    for (const auto& [name, type] : targets) {
        SCOPED_TRACE(name);
        const ProgramRun run = Remotectl({"backup", File(name.c_str())});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("is not a regular file")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("- writes the backup to the standard output"));
        struct stat status {};
        ASSERT_EQ(::lstat(folder_.File(name).c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & S_IFMT, type);
    }
    // Nor is a FIFO read: nobody may be writing to it.
    const ProgramRun restore = Remotectl({"restore", File("fifo")});
    EXPECT_EQ(restore.exitCode, 1);
    EXPECT_TRUE(restore.err.contains("not a regular file")) << restore.err.toStdString();
}

TEST_F(RemotectlFilesTest, ADashIsTheStandardOutputOfABackupAndTheStandardInputOfARestore) {
    const QByteArray file = Backup("a.txt");
    const ProgramRun out = Remotectl({"backup", "-"});
    EXPECT_EQ(out.exitCode, 0) << out.err.toStdString();
    EXPECT_EQ(out.out, file);
    EXPECT_TRUE(out.err.startsWith("saved the keys, code table and code area of remote "));
    EXPECT_TRUE(out.err.endsWith(" to the standard output\n")) << out.err.toStdString();
    EXPECT_FALSE(QFile::exists("-"));

    ChangeTheRemote();
    const ProgramRun restored = Remotectl({"restore", "-"}, out.out);
    EXPECT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    EXPECT_TRUE(restored.out.startsWith("restored the backup (")) << restored.out.toStdString();
    EXPECT_EQ(Backup("after.txt"), file);

    const ProgramRun garbage = Remotectl({"restore", "-"}, "garbage\n");
    EXPECT_EQ(garbage.exitCode, 1);
    EXPECT_EQ(garbage.err, "remotectl: the standard input is not a keylearn backup\n");
}

TEST_F(RemotectlFilesTest, OutputThatCannotBeWrittenIsAFailureAndAClosedPipeEndsQuietly) {
    ChangeTheRemote();
    struct Case {
        QString program;
        const char* name;
        QStringList args;
    };
    const std::vector<Case> cases = {
        {REMOTECTL_PATH, "remotectl", {"keys"}},
        {REMOTECTL_PATH, "remotectl", {"export"}},
        {REMOTECTL_PATH, "remotectl", {"info", "--json"}},
        {REMOTECTL_PATH, "remotectl", {"check"}},
        {REMOTECTL_PATH, "remotectl", {"backup", "-"}},
        {REMOTECTL_PATH, "remotectl", {"help"}},
        {IRTOOL_PATH, "irtool", {"render", "NEC1", "D=4", "F=8"}},
        {REMOTE_SIM_PATH, "remote-sim", {"status"}},
        {REMOTE_SIM_PATH, "remote-sim", {"dump", "8100", "64"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.name + (" " + c.args.join(' '))).toStdString());
        const ProgramRun full = RunProgram(c.program, c.args, socket_, {}, OutputTo("/dev/full"));
        EXPECT_EQ(full.exitCode, 1);
        EXPECT_EQ(full.err, c.name + QByteArray(": ") + kNoRoom);

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket_));
        process.setProcessEnvironment(env);
        OutputToAClosedPipe()(process, env);
        process.start(c.program, c.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        // Ended by SIGPIPE, as `seq 1000000 | head -1` ends seq, and without a word.
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(process.exitCode(), SIGPIPE);
        EXPECT_EQ(process.readAllStandardError(), "");
    }
    // The work is done before the program ends: a change is not cut off by its reader.
    QProcess clear;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket_));
    clear.setProcessEnvironment(env);
    OutputToAClosedPipe()(clear, env);
    clear.start(REMOTECTL_PATH, {"clear"});
    ASSERT_TRUE(clear.waitForFinished(60000));
    EXPECT_FALSE(KeyLine(Remotectl({"keys"}).out, "01").contains("learned"));
    ExpectConsistent();
}

TEST_F(RemotectlFilesTest, ACaptureThatCannotBeReadIsKeptInKeylearnsDataFolder) {
    const QString data = File("data");
    const auto learnWithDataIn = [this](const QString& dataHome) {
        QProcess learn;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket_));
        env.insert("XDG_DATA_HOME", dataHome);
        learn.setProcessEnvironment(env);
        learn.start(REMOTECTL_PATH, {"learn", "04", "--timeout", "30"});
        EXPECT_TRUE(learn.waitForStarted());
        learn.setReadChannel(QProcess::StandardError);
        QByteArray prompt;
        while (!prompt.contains('\n') && learn.waitForReadyRead(30000))
            prompt += learn.readAllStandardError();
        EXPECT_TRUE(prompt.contains("Fire the code")) << prompt.toStdString();
        // Four characters of a capture: too short for any signal.
        EXPECT_EQ(RunRemoteSim({"capture", "-"}, socket_, "0000\n").exitCode, 0);
        ProgramRun learned = Finish(learn);
        learned.err.prepend(prompt);
        return learned;
    };
    const ProgramRun kept = learnWithDataIn(data);
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(
        kept.err.endsWith("remotectl: the code could not be read (a copy is kept as "
                          "123.txt in keylearn's data folder)\n"))
        << kept.err.toStdString();
    EXPECT_EQ(Read(data + "/keylearn/123.txt"), "0000\r\n");
    EXPECT_FALSE(QFileInfo::exists(data + "/remotectl"));

    // A data folder that cannot be made (its parent is a file): the message does not say that
    // a copy is kept.
    Write(File("not-a-folder"), "");
    const ProgramRun lost = learnWithDataIn(File("not-a-folder"));
    EXPECT_EQ(lost.exitCode, 1);
    EXPECT_TRUE(
        lost.err.endsWith("remotectl: the code could not be read, and no copy of it "
                          "could be kept in keylearn's data folder\n"))
        << lost.err.toStdString();
}

}  // namespace
