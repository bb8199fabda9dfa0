// remotectl as a person or a script runs it, against a real remote-sim process: usage errors,
// a key programmed and shown, the export formats read back by irtool, backup and restore, the
// lock (also when many remotectl run at once, and on a slow link), a write whose reply comes too
// late, leaked entries repaired, and learning a code that remote-sim fires at the remote.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>
#include <memory>
#include <set>

#include "platform/remote_lock.h"
#include "tests/tools/remotectl_fixture.h"

namespace {

using namespace remotectl_test;

TEST(Remotectl, WrongUsageIsRefusedWithExitTwoAndAClearLine) {
    const std::vector<std::pair<QStringList, QByteArray>> cases = {
        {{}, "Usage:"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"learn"}, "KEY is required"},
        {{"learn", "XYZ"}, "a key is two hex digits, not XYZ"},
        {{"learn", "01", "--timeout", "0"}, "--timeout"},
        {{"program", "01"}, "give a protocol with its parameters, or --pronto"},
        {{"program", "01", "NEC1", "D=999"}, "D"},
        {{"program", "01", "NoSuchProtocol"}, "NoSuchProtocol"},
        {{"program", "01", "--pronto", "0000 not pronto"}, "not a learned Pronto code"},
        {{"program", "01", "NEC1", "--pronto", "0000"}, "not both"},
        // Careless ones: every parameter that says which code is given, once; a carrier that
        // infrared remotes use.
        {{"program", "01", "NEC1"}, "NEC1 needs D=... F=...; missing: D, F"},
        {{"program", "01", "NEC1", "D=4"}, "missing: F"},
        {{"program", "01", "Sony20", "D=4", "F=8"}, "missing: S"},
        {{"program", "01", "NEC1", "D=4", "F=8", "F=9"}, "F is given twice"},
        {{"program", "01", "--pronto", "0000 FFFF 0001 0000 0010 0010"},
         "carrier of 63 Hz lies outside what infrared remotes use (15 to 500 kHz)"},
        {{"program", "01", "--pronto", "0000 0001 0001 0000 0010 0010"},
         "carrier of 4145146 Hz lies outside"},
        {{"program", "01", "--pronto", "0100 0000 0001 0000 0010 0010"}, "unmodulated"},
        {{"export", "--format", "wav"}, "--format"},
        {{"restore"}, "FILE is required"},
        {{"keys", "extra"}, "extra"},
        {{"delete"}, "KEY is required"},
        {{"delete", "1G"}, "a key is two hex digits, not 1G"},
        {{"clear", "01"}, "01"},
        {{"program", "01", "NEC1", "--wait", "-1"}, "--wait"},
        {{"repair", "01"}, "01"},
    };
    for (const auto& [args, message] : cases) {
        const ProgramRun run = RunProgram(REMOTECTL_PATH, args, "/nonexistent/socket");
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(message))
            << args.join(' ').toStdString() << ": " << run.err.toStdString();
    }
    const ProgramRun help = RunProgram(REMOTECTL_PATH, {"help"}, "/nonexistent/socket");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("restore"));
}

TEST(Remotectl, WithoutARemoteEveryCommandFailsWithOneLine) {
    for (const QStringList& args : std::vector<QStringList>{{"info"},
                                                            {"keys"},
                                                            {"check"},
                                                            {"program", "01", "NEC1", "D=4", "F=8"},
                                                            {"backup", "/tmp/x"}}) {
        const ProgramRun run = RunProgram(REMOTECTL_PATH, args, "/nonexistent/socket");
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_EQ(run.err,
                  "remotectl: no remote is attached (check the USB cable, or start "
                  "remote-sim serve)\n");
    }
}

TEST_F(RemotectlTest, InfoAndCheckDescribeTheRemote) {
    const ProgramRun info = Remotectl({"info"});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains("model       7731\n")) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains("identity    " + QByteArray::fromStdString(identity_.Std())));
    EXPECT_TRUE(info.out.contains("interface   1.3\n"));
    const QJsonObject json = QJsonDocument::fromJson(Remotectl({"info", "--json"}).out).object();
    EXPECT_EQ(json["codeTable"].toObject()["entries"].toInt(), default_remote::kCodeTableCount);
    EXPECT_EQ(json["codeArea"].toObject()["units"].toInt(), default_remote::kCodeAreaUnits);
    EXPECT_EQ(json["keys"].toObject()["total"].toInt(), default_remote::kKeyCount);

    const ProgramRun check = Remotectl({"check"});
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.out, "consistent\n");
    // A unit marked used that no entry holds (unit 5: bit 2 of the bitmap's first byte).
    ASSERT_EQ(Sim({"write", "8600", "FC"}).exitCode, 0);
    const ProgramRun broken = Remotectl({"check", "--json"});
    EXPECT_EQ(broken.exitCode, 1);
    const QJsonObject findings = QJsonDocument::fromJson(broken.out).object();
    EXPECT_FALSE(findings["consistent"].toBool());
    EXPECT_EQ(findings["findings"].toArray().first().toString(),
              "unit 5 marked used but no entry holds it");
}

TEST_F(RemotectlTest, AProgrammedKeyShowsItsProtocolAndExportsInEveryFormat) {
    struct Case {
        QByteArray key;
        QStringList program;
        QByteArray sends;
    };
    const std::vector<Case> cases = {
        {"01", {"NEC1", "D=4", "F=8"}, "NEC1 D=4 S=251 F=8"},
        {"02", {"RC5", "D=3", "F=9"}, "RC5 D=3 F=9 T=0"},
        {"05", {"Sony12", "D=1", "F=21"}, "Sony12 D=1 F=21"},
    };
    for (const Case& c : cases) {
        const ProgramRun programmed = Remotectl(QStringList{"program", c.key} + c.program);
        ASSERT_EQ(programmed.exitCode, 0) << programmed.err.toStdString();
        EXPECT_TRUE(programmed.out.contains(c.sends)) << programmed.out.toStdString();
    }
    // A Pronto code as irtool writes it.
    const ProgramRun pronto = Irtool({"render", "NEC1", "D=7", "F=200", "--format", "pronto"});
    ASSERT_EQ(Remotectl({"program", "06", "--pronto", pronto.out.trimmed()}).exitCode, 0);

    const ProgramRun keys = Remotectl({"keys"});
    ASSERT_EQ(keys.exitCode, 0);
    for (const Case& c : cases)
        EXPECT_TRUE(KeyLine(keys.out, c.key).contains("learned")) << keys.out.toStdString();
    EXPECT_TRUE(KeyLine(keys.out, "06").endsWith("NEC1 D=7 S=248 F=200"));
    // Each key with its function, as the remote's picture and import name it.
    for (const char* line : {"00  Power ", "01  Mute ", "30  Vol_up ", "33  Vol_dn ", "0C  0 "})
        EXPECT_TRUE(keys.out.contains(QByteArray("\n") + line) || keys.out.startsWith(line))
            << line;
    ExpectConsistent();

    // Every format, read back by irtool decode: Pronto through its signals, the protocol text
    // as irtool renders it.
    const auto exported = [this](const char* format) {
        const ProgramRun run = Remotectl({"export", "--format", format});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return run.out;
    };
    QByteArray prontoSignals, protocolSignals;
    for (const QByteArray& line : exported("pronto").split('\n')) {
        if (line.startsWith("01\t") || line.startsWith("02\t") || line.startsWith("05\t"))
            prontoSignals += line.mid(3) + "\n";
    }
    for (const QByteArray& line : exported("irp").split('\n')) {
        if (line.startsWith("01\t") || line.startsWith("02\t") || line.startsWith("05\t"))
            protocolSignals += Irtool(QStringList{"render"} + QString(line.mid(3)).split(' ')).out;
    }
    const QByteArray expected = "NEC1 D=4 S=251 F=8\nRC5 D=3 F=9 T=0\nSony12 D=1 F=21\n";
    EXPECT_EQ(Irtool({"decode"}, prontoSignals).out, expected);
    EXPECT_EQ(Irtool({"decode"}, protocolSignals).out, expected);
    // The collections' formats, each key under its function's name, read back by irtool
    // decode as a whole file; Flipper's parsed where a protocol of Flipper's fits.
    const QByteArray flipper = exported("flipper");
    EXPECT_TRUE(flipper.startsWith("Filetype: IR signals file\nVersion: 1\n"));
    EXPECT_TRUE(
        flipper.contains("name: Mute\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\n"
                         "command: 08 00 00 00\n"))
        << flipper.toStdString();
    for (const char* format : {"flipper", "lirc"}) {
        SCOPED_TRACE(format);
        QFile file(File("exported"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(exported(format));
        file.close();
        const QByteArray decoded = Irtool({"decode", File("exported")}).out;
        // A lircd.conf's buttons are REMOTE/NAME: a remote block for each carrier.
        for (const char* line :
             {"Mute\tNEC1 D=4 S=251 F=8\n", "Input\tRC5 D=3 F=9 T=0\n", "3\tSony12 D=1 F=21\n"})
            EXPECT_TRUE(decoded.contains(line)) << decoded.toStdString();
    }
}

TEST_F(RemotectlTest, DeleteAndClearTakeLearnedCodesOffAndLeaveNothingClaimed) {
    // Two keys from the same raw signal share a code-table entry; a third has one of its own.
    const auto raw = [this](const char* function) {
        return Irtool({"render", "RC6", "D=1", QString("F=") + function, "--format", "pronto"})
            .out.trimmed();
    };
    for (const auto& [key, code] : std::vector<std::pair<QString, QString>>{
             {"01", raw("2")}, {"02", raw("2")}, {"05", raw("3")}}) {
        ASSERT_EQ(Remotectl({"program", key, "--pronto", code}).exitCode, 0);
    }
    const struct Step {
        QStringList command;
        int exitCode;
        QByteArray out;  // what standard output holds
    } steps[] = {
        {{"delete", "01"}, 0, "01  deleted\n"},
        {{"delete", "01"}, 1, ""},  // holds no learned code any more
        {{"delete", "00"}, 1, ""},  // downloaded: never touched
        {{"clear"}, 0, "02  deleted\n05  deleted\n30  deleted\n"},
        {{"clear"}, 0, "no key holds a learned code\n"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command.join(' ').toStdString());
        const ProgramRun run = Remotectl(step.command);
        EXPECT_EQ(run.exitCode, step.exitCode) << run.err.toStdString();
        EXPECT_EQ(run.out, step.out);
        ExpectConsistent();
    }
    // Nothing is left in use without a key pointing at it.
    EXPECT_EQ(Sim({"check"}).out, "consistent\n");
    const ProgramRun keys = Remotectl({"keys"});
    EXPECT_FALSE(keys.out.contains("learned")) << keys.out.toStdString();
}

TEST_F(RemotectlTest, BackupThenChangesAndClearThenRestoreGivesBackTheSameBytes) {
    const QByteArray before = Backup("before.txt");
    ASSERT_EQ(Remotectl({"program", "01", "NEC1", "D=4", "F=8"}).exitCode, 0);
    ASSERT_EQ(
        Remotectl({"program", "30", "--pronto",
                   Irtool({"render", "RC6", "D=1", "F=2", "--format", "pronto"}).out.trimmed()})
            .exitCode,
        0);
    ASSERT_NE(Backup("changed.txt"), before);
    // Clearing takes the learned codes off, key 30's from the start among them.
    ASSERT_EQ(Remotectl({"clear"}).exitCode, 0);
    ASSERT_NE(Backup("cleared.txt"), before);

    const ProgramRun restored = Remotectl({"restore", File("before.txt")});
    EXPECT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    EXPECT_EQ(Backup("after.txt"), before);
    ExpectConsistent();
    const ProgramRun again = Remotectl({"restore", File("before.txt")});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.out.contains("nothing written")) << again.out.toStdString();
}

TEST_F(RemotectlTest, ARestoreThatIsRefusedChangesNothing) {
    const QByteArray good = Backup("good.txt");
    ASSERT_EQ(Remotectl({"program", "01", "NEC1", "D=4", "F=8"}).exitCode, 0);
    const QByteArray changed = Backup("changed.txt");

    QByteArray corrupt = good;
    corrupt[corrupt.indexOf("region code-area") - 5] ^= 1;
    QByteArray otherIdentity = good;
    otherIdentity.replace("identity 59", "identity 5A");
    const QByteArray otherModel = Resigned(QByteArray(good).replace("model 7731", "model 7732"));
    const QByteArray otherBank = Resigned(QByteArray(good).replace("bank 08", "bank 09"));
    struct Case {
        const char* name;
        QByteArray text;
        QByteArray message;
    };
    const std::vector<Case> cases = {
        {"corrupt", corrupt, "damaged or was edited"},
        {"truncated", good.left(good.size() / 2), "cut off"},
        {"empty", "", "not a keylearn backup"},
        {"other model", otherModel, "model 7732 remote, this remote is a 7731"},
        {"other layout", otherBank, "another kind of remote"},
        {"other identity", Resigned(otherIdentity), "--force puts it on this one"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write(File("refused.txt"), c.text);
        const ProgramRun run = Remotectl({"restore", File("refused.txt")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1);
        EXPECT_EQ(Backup("now.txt"), changed);
    }
    // Another remote of the same model takes it when asked to.
    Write(File("other.txt"), Resigned(otherIdentity));
    EXPECT_EQ(Remotectl({"restore", "--force", File("other.txt")}).exitCode, 0);
    EXPECT_EQ(Backup("now.txt"), good);
}

// The lock as another program holds it: in the user's own lock folder, where remotectl looks
// whatever its environment.
class HeldLock {
  public:
    HeldLock(const QString& identity, const QString& holder) {
        const auto folder = UserLockFolder();
        EXPECT_TRUE(folder) << folder.Problem().toStdString();
        if (folder)
            taken_ = lock_.Take(identity, holder, *folder) == RemoteLockStatus::kTaken;
        EXPECT_TRUE(taken_);
    }
    void Release() { lock_.Release(); }

  private:
    RemoteLock lock_;
    bool taken_ = false;
};

TEST_F(RemotectlTest, AChangeIsRefusedAtOnceWhileKeylearnHoldsTheRemote) {
    HeldLock keylearn(Identity(), "keylearn");
    const QByteArray before = Backup("before.txt");
    Write(File("changed.txt"), before);
    for (const QStringList& args : std::vector<QStringList>{{"program", "01", "NEC1", "D=4", "F=8"},
                                                            {"learn", "01", "--timeout", "1"},
                                                            {"restore", File("changed.txt")},
                                                            {"repair"}}) {
        QElapsedTimer timer;
        timer.start();
        // Whatever the environment says: another runtime folder, or none at all.
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket_));
        env.remove("XDG_RUNTIME_DIR");
        process.setProcessEnvironment(env);
        // Told to wait long: the window is refused at once all the same.
        process.start(REMOTECTL_PATH, args + QStringList{"--wait", "30"});
        const ProgramRun refused = Finish(process);
        EXPECT_EQ(refused.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(refused.err.startsWith("remotectl: keylearn (process "))
            << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains("is running and is using this remote"));
        // The window is not waited for: it holds the remote until it is closed.
        EXPECT_LT(timer.elapsed(), 20000);
    }
    // Reading needs no lock.
    EXPECT_EQ(Remotectl({"keys"}).exitCode, 0);
    EXPECT_EQ(Backup("after.txt"), before);

    keylearn.Release();
    EXPECT_EQ(Remotectl({"program", "01", "NEC1", "D=4", "F=8"}).exitCode, 0);
}

TEST_F(RemotectlTest, AnotherRemotectlIsWaitedForAndNamedEscapedWhenItTakesTooLong) {
    {
        // A holder that never lets go within the wait is named, its name never reaching the
        // terminal as the control characters planted in its lock file.
        HeldLock planted(Identity(), QString::fromUtf8("remotectl\x1b]0;owned\x07\u202e"));
        const ProgramRun refused =
            Remotectl({"program", "01", "NEC1", "D=4", "F=8", "--wait", "1"});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_EQ(refused.err.left(refused.err.indexOf(" (process ")),
                  "remotectl: remotectl\\x1B]0;owned\\x07\\u{202E}");
        EXPECT_TRUE(refused.err.contains("has been changing this remote for more than 1 s"))
            << refused.err.toStdString();
        EXPECT_FALSE(refused.err.contains('\x1b'));
    }
    // One that lets go within the wait is waited for.
    auto holder = std::make_unique<HeldLock>(Identity(), "remotectl");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket_));
    program.setProcessEnvironment(env);
    program.start(REMOTECTL_PATH, {"program", "01", "NEC1", "D=4", "F=8", "--wait", "60"});
    ASSERT_TRUE(program.waitForStarted());
    QThread::msleep(1500);
    EXPECT_EQ(program.state(), QProcess::Running) << "it waits";
    holder.reset();
    const ProgramRun programmed = Finish(program);
    EXPECT_EQ(programmed.exitCode, 0) << programmed.err.toStdString();
    EXPECT_TRUE(KeyLine(Remotectl({"keys"}).out, "01").contains("NEC1 D=4 S=251 F=8"));
}

// The keys that hold nothing on the default remote, and a raw signal of their own for each
// (no protocol explains it, so each needs a code-table entry and code-area units of its own).
QString RawPronto(int key) {
    QString words = "0000 006D 0008 0000";
    for (int i = 0; i < 16; ++i)
        words += QString::asprintf(" %04X", 16 + (key * 7 + i * 13) % 80);
    return words;
}

// Runs every command at once and waits for them all; how each ran, in the same order.
std::vector<ProgramRun> RunAtOnce(const std::string& socket,
                                  const std::vector<QStringList>& commands) {
    std::vector<std::unique_ptr<QProcess>> processes;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket));
    // In the address-sanitizer build, LeakSanitizer's tracer now and then dies with signal 11
    // when many of these processes end at once, and turns a success into exit status 1; what
    // these runs check is the remote, and every other remotectl test checks for leaks.
    const QString asan = env.value("ASAN_OPTIONS");
    env.insert("ASAN_OPTIONS", asan + (asan.isEmpty() ? "" : ":") + "detect_leaks=0");
    for (const QStringList& args : commands) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessEnvironment(env);
        processes.back()->start(REMOTECTL_PATH, args);
    }
    std::vector<ProgramRun> runs;
    for (auto& process : processes)
        runs.push_back(Finish(*process));
    return runs;
}

TEST_F(RemotectlTest, ManyProgramsAtOnceWaitForEachOtherAndEveryOneThatSucceededIsOnTheRemote) {
    // Twenty keys at once, ten of them raw signals that each need a free entry of the code
    // table: without the lock before the tables are read, two would claim the same entry. Its
    // short form runs in CI; KEYLEARN_LONG_TESTS gives the long one.
    const int rounds = qEnvironmentVariableIsSet("KEYLEARN_LONG_TESTS") ? 10 : 2;
    const std::vector<int> keys = {0x01, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E,
                                   0x0F, 0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18};
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<QStringList> commands;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const QString key = QString::asprintf("%02X", keys[i]);
            if (i % 2 == 0)
                commands.push_back(
                    {"program", key, "--pronto", RawPronto(keys[i] + round), "--wait", "60"});
            else
                commands.push_back({"program", key, "NEC1", QString("D=%1").arg(keys[i]),
                                    QString("F=%1").arg(round), "--wait", "60"});
        }
        const std::vector<ProgramRun> runs = RunAtOnce(socket_, commands);
        const QByteArray keysNow = Remotectl({"keys"}).out;
        std::set<QByteArray> entries;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const QByteArray key = QString::asprintf("%02X", keys[i]).toUtf8();
            EXPECT_EQ(runs[i].exitCode, 0)
                << key.toStdString() << ": " << runs[i].err.toStdString();
            // What the command said the key holds is what it holds now.
            const QByteArray line = KeyLine(keysNow, key);
            EXPECT_EQ(runs[i].out.trimmed(), line.trimmed()) << key.toStdString();
            if (i % 2 == 0) {
                EXPECT_TRUE(line.contains(" entry ")) << line.toStdString();
                EXPECT_TRUE(entries.insert(line.mid(line.indexOf(" entry "), 9)).second)
                    << "two keys share an entry: " << line.toStdString();
            } else {
                EXPECT_TRUE(line.contains(QString("NEC1 D=%1 ").arg(keys[i]).toUtf8()))
                    << line.toStdString();
            }
        }
        ExpectConsistent();
        EXPECT_EQ(Remotectl({"check"}).out, "consistent\n");
    }
}

class SlowRemotectlTest : public RemotectlTest {
  protected:
    void SetUp() override { StartServer({"--call-delay", "20"}); }
};

TEST_F(SlowRemotectlTest, TwoProgramsOnASlowLinkNeverClaimTheSameEntry) {
    // Each call takes its time, so two programs interleave their calls wherever they can.
    const std::vector<ProgramRun> runs =
        RunAtOnce(socket_, {{"program", "07", "--pronto", RawPronto(7), "--wait", "60"},
                            {"program", "06", "--pronto", RawPronto(6), "--wait", "60"}});
    ASSERT_EQ(runs[0].exitCode, 0) << runs[0].err.toStdString();
    ASSERT_EQ(runs[1].exitCode, 0) << runs[1].err.toStdString();
    const QByteArray keys = Remotectl({"keys"}).out;
    const QByteArray key07 = KeyLine(keys, "07"), key06 = KeyLine(keys, "06");
    EXPECT_EQ(runs[0].out.trimmed(), key07.trimmed());
    EXPECT_EQ(runs[1].out.trimmed(), key06.trimmed());
    EXPECT_NE(key07.mid(key07.indexOf(" entry "), 9), key06.mid(key06.indexOf(" entry "), 9));
    ExpectConsistent();
    // Each key sends its own signal (the silence after it as the remote stores it).
    const QByteArray exported = Remotectl({"export", "--format", "pronto"}).out;
    for (const auto& [key, pronto] : {std::pair{"06", RawPronto(6)}, std::pair{"07", RawPronto(7)}})
        EXPECT_TRUE(exported.contains(QByteArray(key) + "\t" +
                                      pronto.left(pronto.lastIndexOf(' ')).toUtf8()))
            << key << ": " << exported.toStdString();
}

class LateReplyRemotectlTest : public RemotectlTest {
  protected:
    void SetUp() override { StartServer({"--write-reply-delay", "700"}); }
};

TEST_F(LateReplyRemotectlTest, WritesWhoseRepliesComeTooLateAreReadBackAndTheTruthTold) {
    // Every write lands, and its reply comes after libzorvik has given up: learning reads each
    // back, goes on, and says what the key holds.
    const ProgramRun programmed = Remotectl({"program", "35", "--pronto", RawPronto(0x35)});
    EXPECT_EQ(programmed.exitCode, 0) << programmed.err.toStdString();
    const QByteArray line = KeyLine(Remotectl({"keys"}).out, "35");
    EXPECT_TRUE(line.contains("learned")) << line.toStdString();
    EXPECT_EQ(programmed.out.trimmed(), line.trimmed());
    const ProgramRun deleted = Remotectl({"delete", "35"});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(deleted.out, "35  deleted\n");
    // Nothing was left behind: no key at a free entry, no entry without a key.
    EXPECT_EQ(Remotectl({"check"}).out, "consistent\n");
}

TEST_F(RemotectlTest, RepairFreesTheEntriesNoKeyPointsAtAndCheckListsThem) {
    // Key 35 lets go of entry 3 (units 8-12) with its status byte alone, as a delete stopped
    // between its two writes leaves it.
    const QString statusOfKey35 = QString::number(
        RemoteImageBuilder::DefaultRemote().KeyEntryAddress(default_remote::kSlotOfKey35), 16);
    ASSERT_EQ(Sim({"write", statusOfKey35.toStdString(), "00"}).exitCode, 0);

    const ProgramRun check = Remotectl({"check"});
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_EQ(check.out,
              "warning: entry 3 is in use but no key points at it\nremotectl repair frees it\n"
              "consistent\n");
    const ProgramRun repaired = Remotectl({"repair"});
    EXPECT_EQ(repaired.exitCode, 0) << repaired.err.toStdString();
    EXPECT_EQ(repaired.out, "freed entry 03 units 8-12 (no key pointed at it)\n");
    EXPECT_EQ(Remotectl({"check"}).out, "consistent\n");
    EXPECT_EQ(Remotectl({"repair"}).out,
              "nothing to repair: every code-table entry in use has a key pointing at it\n");
    // The downloaded keys that share entry 0 still send their code.
    EXPECT_TRUE(KeyLine(Remotectl({"keys"}).out, "33").contains("entry 00"));
}

TEST_F(RemotectlTest, LearnTakesTheCodeFiredAtTheRemote) {
    QProcess learn;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket_));
    learn.setProcessEnvironment(env);
    learn.start(REMOTECTL_PATH, {"learn", "04", "--timeout", "30"});
    ASSERT_TRUE(learn.waitForStarted());
    // The prompt goes to the standard error, so that the standard output is the result alone.
    learn.setReadChannel(QProcess::StandardError);
    QByteArray prompt;
    while (!prompt.contains('\n') && learn.waitForReadyRead(30000))
        prompt += learn.readAllStandardError();
    ASSERT_TRUE(prompt.contains("Fire the code for key 04")) << prompt.toStdString();
    // The remote hears a code only once it listens.
    for (int i = 0; i < 300 && Sim({"status"}).out.find("capture mode: on") == std::string::npos;
         ++i)
        QThread::msleep(20);

    ASSERT_EQ(Sim({"send", "NEC1", "D=12", "F=34"}).exitCode, 0);

    const ProgramRun learned = Finish(learn);
    EXPECT_EQ(learned.exitCode, 0) << learned.err.toStdString();
    EXPECT_TRUE(learned.out.contains("NEC1 D=12 S=243 F=34")) << learned.out.toStdString();
    EXPECT_TRUE(KeyLine(Remotectl({"keys"}).out, "04").contains("learned  "));

    const ProgramRun timedOut = Remotectl({"learn", "04", "--timeout", "1"});
    EXPECT_EQ(timedOut.exitCode, 1);
    EXPECT_TRUE(timedOut.err.endsWith("remotectl: no code arrived within 1 s\n"))
        << timedOut.err.toStdString();
    EXPECT_EQ(Remotectl({"learn", "FE"}).err, "remotectl: the remote has no key FE\n");
}

}  // namespace
