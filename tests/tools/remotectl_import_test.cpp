// remotectl import against a real remote-sim: the plan and --dry-run write nothing, each
// imported key sends what its button in the file sends, a malformed file changes nothing, a key
// that does not fit is reported while the rest goes on, and what export writes imports back
// into the same keys.
#include <gtest/gtest.h>

#include <csignal>

#include "sim/remote_image_file.h"
#include "tests/tools/remotectl_fixture.h"

namespace {

using namespace remotectl_test;

// A TV as a person would write it from Flipper's file description: one raw button (a signal
// of no protocol), the others parsed, and a button this remote has no key for.
constexpr char kTvFile[] =
    "Filetype: IR signals file\n"
    "Version: 1\n"
    "# A TV, written by hand\n"
    "#\n"
    "name: Power\n"
    "type: parsed\n"
    "protocol: NECext\n"
    "address: 86 6B 00 00\n"
    "command: 02 FD 00 00\n"
    "#\n"
    "name: Mute\n"
    "type: raw\n"
    "frequency: 38000\n"
    "duty_cycle: 0.330000\n"
    "data: 3000 1000 500 1500 500 500 1500 500 500 1500 1500 500 500 30000\n"
    "#\n"
    "name: Vol_up\n"
    "type: parsed\n"
    "protocol: NEC\n"
    "address: 04 00 00 00\n"
    "command: 02 00 00 00\n"
    "#\n"
    "name: Vol_dn\n"
    "type: parsed\n"
    "protocol: NEC\n"
    "address: 04 00 00 00\n"
    "command: 03 00 00 00\n"
    "#\n"
    "name: Ch_next\n"
    "type: parsed\n"
    "protocol: RC5\n"
    "address: 03 00 00 00\n"
    "command: 20 00 00 00\n"
    "#\n"
    "name: Netflix\n"
    "type: parsed\n"
    "protocol: SIRC\n"
    "address: 01 00 00 00\n"
    "command: 15 00 00 00\n";

// The microseconds a key sends, as remote-sim replay prints them (its third line).
QByteArray Replayed(const CommandResult& replay) {
    const QList<QByteArray> lines = QByteArray::fromStdString(replay.out).split('\n');
    return lines.size() > 2 ? lines[2] : QByteArray();
}

std::vector<int> Durations(const QByteArray& text) {
    std::vector<int> durations;
    for (const QByteArray& word : text.simplified().split(' '))
        durations.push_back(std::abs(word.toInt()));
    return durations;
}

// The durations a key sends equal the file's within a receiver's tolerance (a tenth, at least
// 60 µs), but for the silence at the end, which the remote's capture ends its own way.
void ExpectWithinTolerance(const std::vector<int>& sent, const std::vector<int>& file) {
    ASSERT_EQ(sent.size(), file.size());
    for (std::size_t i = 0; i + 1 < file.size(); ++i)
        EXPECT_LE(std::abs(sent[i] - file[i]), std::max(60, file[i] / 10)) << "duration " << i;
}

class RemotectlImportTest : public RemotectlTest {
  protected:
    // Each line of `irtool decode` of a file, by its button.
    std::map<QByteArray, QByteArray> DecodedButtons(const QString& path) const {
        std::map<QByteArray, QByteArray> decoded;
        for (const QByteArray& line : Irtool({"decode", path}).out.split('\n')) {
            const qsizetype tab = line.indexOf('\t');
            if (tab > 0)
                decoded[line.left(tab)] = line.mid(tab + 1);
        }
        return decoded;
    }
    // What `irtool decode` names in what the key sends.
    QByteArray KeySends(const char* key) const {
        return Irtool({"decode"}, Replayed(Sim({"replay", key})) + "\n").out.trimmed();
    }
};

TEST_F(RemotectlImportTest, TheTvFileGoesWhereThePlanSaysAndEachKeySendsItsButton) {
    Write(File("tv.ir"), kTvFile);
    const QByteArray before = Backup("before.txt");

    const ProgramRun plan = Remotectl({"import", File("tv.ir"), "--dry-run"});
    EXPECT_EQ(plan.exitCode, 0) << plan.err.toStdString();
    const QByteArray& out = plan.out;
    for (const char* line : {"Power    -> 00 Power      NEC1 D=134 S=107 F=2",
                             "Mute     -> 01 Mute       raw 14 durations              new entry",
                             "Vol_up   -> 30 Vol_up     NEC1 D=4 S=251 F=2",
                             "Ch_next  -> 31 Ch_next    RC5 D=3 F=32 T=0",
                             "Netflix  -> -             Sony12 D=1 F=21               no key"})
        EXPECT_TRUE(out.contains(line)) << line << "\n" << out.toStdString();
    EXPECT_TRUE(
        out.contains("plan: 5 keys to program, 5 fit; code table 13 of 16 entries free, "
                     "1 needed; code area 233 of 243 units free, 3 needed"))
        << out.toStdString();
    EXPECT_EQ(Backup("after-plan.txt"), before);  // a dry run writes nothing

    const ProgramRun imported = Remotectl({"import", File("tv.ir")});
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_TRUE(imported.out.startsWith(plan.out)) << imported.out.toStdString();
    for (const char* line : {"Power -> 00 Power: written\n", "Mute -> 01 Mute: written\n",
                             "Vol_dn -> 33 Vol_dn: written\n", "Ch_next -> 31 Ch_next: written\n"})
        EXPECT_TRUE(imported.out.contains(line)) << line;
    ExpectConsistent();

    // Each key sends what its button does: the protocol's the file names, the raw button's
    // durations.
    const std::map<QByteArray, QByteArray> file = DecodedButtons(File("tv.ir"));
    for (const auto& [key, button] : std::vector<std::pair<const char*, const char*>>{
             {"00", "Power"}, {"30", "Vol_up"}, {"33", "Vol_dn"}, {"31", "Ch_next"}})
        EXPECT_EQ(KeySends(key), file.at(button)) << button;
    ExpectWithinTolerance(
        Durations(Replayed(Sim({"replay", "01"}))),
        {3000, 1000, 500, 1500, 500, 500, 1500, 500, 500, 1500, 1500, 500, 500, 30000});
    const ProgramRun keys = Remotectl({"keys"});
    EXPECT_TRUE(KeyLine(keys.out, "01").contains("learned     entry 01 units 5-7"))
        << keys.out.toStdString();
    EXPECT_TRUE(KeyLine(keys.out, "00").endsWith("NEC1 D=134 S=107 F=2"));
}

TEST_F(RemotectlImportTest, WhatCannotBeImportedIsRefusedAndChangesNothing) {
    const QByteArray before = Backup("before.txt");
    const struct Case {
        QByteArray file;
        QStringList options;
        int exitCode;
        QByteArray says;  // on standard error
    } cases[] = {
        {QByteArray(kTvFile) + "#\nname: Broken\ntype: raw\nfrequency: 38000\ndata: 1 x 2\n",
         {},
         1,
         "tv.ir: line 44: a duration is a number"},
        {"just some words\n", {}, 1, "is not a file remotectl import knows"},
        {kTvFile, {"--map", "Nobody=30"}, 2, "the file has no button Nobody"},
        {kTvFile, {"--map", "Power=Jump"}, 2, "no key is named Jump"},
        {kTvFile, {"--map", "Power"}, 2, "--map is BUTTON=KEY"},
        {kTvFile, {"--remote", "tv"}, 2, "--remote chooses among a lircd.conf's remotes"},
        {"begin remote\n name a\n flags RAW_CODES\n begin raw_codes\n name Power\n 900 900 900\n"
         " end raw_codes\nend remote\nbegin remote\n name b\n flags RAW_CODES\n"
         " begin raw_codes\n name Mute\n 900 900 900\n end raw_codes\nend remote\n",
         {},
         2,
         "the file holds the remotes a, b: choose one with --remote"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says.toStdString());
        Write(File("tv.ir"), c.file);
        const ProgramRun run = Remotectl(QStringList{"import", File("tv.ir")} + c.options);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
    }
    EXPECT_EQ(Backup("after.txt"), before);

    // Read, but not sendable: an unmodulated Pronto code for a key counts against the import,
    // a button without a key does not; --map gives a button a key or leaves it out.
    Write(File("codes.txt"),
          "Mute\t0100 006D 0000 0002 0020 0010 0020 0C00\n"
          "Netflix\t5000 0073 0000 0001 0003 0009\n"
          "Vol_up\t5000 0073 0000 0001 0003 000A\n");
    const ProgramRun partly = Remotectl({"import", File("codes.txt")});
    EXPECT_EQ(partly.exitCode, 1);
    EXPECT_TRUE(partly.out.contains("cannot be sent: the code is unmodulated"))
        << partly.out.toStdString();
    EXPECT_TRUE(partly.out.contains("Vol_up -> 30 Vol_up: written\n")) << partly.out.toStdString();
    EXPECT_EQ(partly.err, "remotectl: 1 of 2 keys were not written\n");
    const ProgramRun mapped = Remotectl({"import", File("codes.txt"), "--map", "Netflix=Ch_prev",
                                         "--map", "Mute=-", "--map", "Vol_up=0C"});
    EXPECT_EQ(mapped.exitCode, 0) << mapped.out.toStdString() << mapped.err.toStdString();
    EXPECT_TRUE(mapped.out.contains("Netflix -> 32 Ch_prev: written\n"));
    EXPECT_TRUE(mapped.out.contains("Vol_up -> 0C 0: written\n"));
    EXPECT_EQ(KeySends("32"), "RC5 D=3 F=9 T=0");
    ExpectConsistent();
}

TEST_F(RemotectlImportTest, AFullCodeAreaMidImportStopsOnlyTheKeysThatDoNotFit) {
    // The default remote with 16 units: free runs 5-7 and 13-15, three units each.
    ASSERT_GE(server_.Stop(SIGTERM), 0);
    const Result<Done> saved = SaveRemoteImage(
        RemoteImageBuilder::DefaultRemote().CodeAreaUnits(16).Build(), folder_.File("image"));
    ASSERT_TRUE(saved) << saved.Problem();
    // With the test's own identity again: the image came from the default remote.
    StartServer();

    const auto raw = [](const char* name, int first) {
        return QByteArray("#\nname: ") + name + "\ntype: raw\nfrequency: 38000\n" +
               "duty_cycle: 0.330000\ndata: " + QByteArray::number(first) +
               " 1000 500 1500 500 500 1500 500 500 1500 1500 500 500 30000\n";
    };
    Write(File("full.ir"), QByteArray("Filetype: IR signals file\nVersion: 1\n") +
                               raw("Menu", 3000) + raw("Info", 4000) + raw("Exit", 5000) +
                               "#\nname: OK\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\n"
                               "command: 09 00 00 00\n");
    const ProgramRun plan = Remotectl({"import", File("full.ir"), "--dry-run"});
    EXPECT_EQ(plan.exitCode, 1);
    EXPECT_TRUE(plan.out.contains("new entry 01, 3 units 5-7")) << plan.out.toStdString();
    EXPECT_TRUE(plan.out.contains("new entry 04, 3 units 13-15")) << plan.out.toStdString();
    EXPECT_TRUE(plan.out.contains("Exit    -> 10 Exit")) << plan.out.toStdString();
    EXPECT_TRUE(plan.out.contains("does not fit: the code area has no room for it"));
    EXPECT_EQ(plan.err, "remotectl: 1 of 4 keys would not be written\n");

    const ProgramRun imported = Remotectl({"import", File("full.ir")});
    EXPECT_EQ(imported.exitCode, 1);
    EXPECT_TRUE(
        imported.out.contains("Exit -> 10 Exit: not written: the remote's code area has "
                              "no room for this code"))
        << imported.out.toStdString();
    // The keys after it go on.
    EXPECT_TRUE(imported.out.contains("OK -> 40 OK: written\n")) << imported.out.toStdString();
    EXPECT_EQ(imported.err, "remotectl: 1 of 4 keys were not written\n");
    const ProgramRun keys = Remotectl({"keys"});
    EXPECT_TRUE(KeyLine(keys.out, "0E").contains("learned")) << keys.out.toStdString();
    EXPECT_TRUE(KeyLine(keys.out, "0F").contains("learned"));
    EXPECT_FALSE(KeyLine(keys.out, "10").contains("learned"));
    ExpectConsistent();
}

TEST_F(RemotectlImportTest, ThePlanCountsLeakedEntriesAndTheImportReclaimsThem) {
    // 16 units: 5-7 free, 13-15 held by entry 05, in use though no key points at it.
    ASSERT_GE(server_.Stop(SIGTERM), 0);
    const Result<Done> saved = SaveRemoteImage(
        RemoteImageBuilder::DefaultRemote().CodeAreaUnits(16).CodeEntry(5, "C0FFEE", 13, 3).Build(),
        folder_.File("image"));
    ASSERT_TRUE(saved) << saved.Problem();
    // With the test's own identity again: the image came from the default remote.
    StartServer();
    const auto raw = [](const char* name, int first) {
        return QByteArray("#\nname: ") + name + "\ntype: raw\nfrequency: 38000\n" +
               "data: " + QByteArray::number(first) +
               " 1000 500 1500 500 500 1500 500 500 1500 1500 500 500 30000\n";
    };
    Write(File("two.ir"), QByteArray("Filetype: IR signals file\nVersion: 1\n") +
                              raw("Menu", 3000) + raw("Info", 4000));
    const ProgramRun plan = Remotectl({"import", File("two.ir"), "--dry-run"});
    EXPECT_EQ(plan.exitCode, 0) << plan.err.toStdString();
    EXPECT_TRUE(
        plan.out.contains("code table 12 of 16 entries free (and 1 in use that no key "
                          "points at, reclaimed when needed)"))
        << plan.out.toStdString();
    EXPECT_TRUE(plan.out.contains("units 13-15 (after reclaiming the leaked entries)"))
        << plan.out.toStdString();
    const ProgramRun imported = Remotectl({"import", File("two.ir")});
    EXPECT_EQ(imported.exitCode, 0) << imported.out.toStdString() << imported.err.toStdString();
    EXPECT_TRUE(KeyLine(Remotectl({"keys"}).out, "0F").contains("units 13-15"));
    ExpectConsistent();
}

TEST_F(RemotectlImportTest, WhatExportWritesImportsBackIntoTheSameKeys) {
    const struct Programmed {
        const char* key;
        QStringList program;
    } programmed[] = {
        {"01", {"NEC1", "D=4", "F=8"}},    {"02", {"RC5", "D=3", "F=9"}},
        {"05", {"Sony12", "D=1", "F=21"}}, {"0E", {"NEC1", "D=4", "S=17", "F=8"}},
        {"31", {"RC6", "D=1", "F=2"}},     {"34", {"Panasonic", "D=16", "S=242", "F=67"}},
        {"36", {"Denon", "D=1", "F=2"}},  // no protocol of Flipper's: exported raw
    };
    for (const Programmed& p : programmed)
        ASSERT_EQ(Remotectl(QStringList{"program", p.key} + p.program).exitCode, 0) << p.key;
    // What a key holds: its code id and what it sends.
    const auto records = [this] {
        std::map<QString, QJsonObject> held;
        const QJsonArray keys = QJsonDocument::fromJson(Remotectl({"keys", "--json"}).out).array();
        for (const QJsonValue& key : keys) {
            QJsonObject object = key.toObject();
            for (const char* where : {"entry", "firstUnit", "slot"})
                object.remove(where);  // where it lies may differ
            held[object["key"].toString()] = object;
        }
        return held;
    };
    const std::map<QString, QJsonObject> before = records();
    for (const char* format : {"flipper", "lirc"}) {
        SCOPED_TRACE(format);
        const ProgramRun exported = Remotectl({"export", "--format", format});
        ASSERT_EQ(exported.exitCode, 0);
        Write(File("exported"), exported.out);
        ASSERT_EQ(Remotectl({"clear"}).exitCode, 0);
        // A lircd.conf holds a remote for each carrier: one import each.
        QStringList remotes;
        for (const QByteArray& line : exported.out.split('\n')) {
            if (line.startsWith("  name  "))
                remotes.append(QString(line.mid(8)));
        }
        if (remotes.isEmpty())
            remotes.append(QString());
        for (const QString& remote : remotes) {
            const QStringList choose =
                remote.isEmpty() ? QStringList{} : QStringList{"--remote", remote};
            const ProgramRun imported = Remotectl(QStringList{"import", File("exported")} + choose);
            // The downloaded keys go back too, each with what it sent.
            EXPECT_EQ(imported.exitCode, 0)
                << imported.out.toStdString() << imported.err.toStdString();
        }
        const std::map<QString, QJsonObject> after = records();
        for (const Programmed& p : programmed) {
            SCOPED_TRACE(p.key);
            EXPECT_EQ(after.at(p.key)["codeId"], before.at(p.key)["codeId"]);
            EXPECT_EQ(after.at(p.key)["protocol"], before.at(p.key)["protocol"]);
            EXPECT_EQ(after.at(p.key)["params"], before.at(p.key)["params"]);
            EXPECT_EQ(after.at(p.key)["state"], "learned");
        }
        ExpectConsistent();
    }
}

}  // namespace
