// Backing up the regions learning manages and putting them back: the restore gives back the
// bytes of the backup, never leaves the remote inconsistent wherever it stops, and refuses a
// remote whose tables lie elsewhere. The backup file: read back as written, and no cut or
// changed file is taken for a backup.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <string>
#include <vector>

#include "learning/backup_file.h"
#include "learning/remote_backup.h"
#include "learning/write_learned_code.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"
#include "tests/support/forwarding_entry_points.h"
#include "tests/support/started_remote.h"

namespace {

// Changes the code area, the code table and the key table: key 35 gets a code new to the
// remote (its old entry 3 is freed), key 01 another one.
void ChangeEveryRegion(StartedRemote& r) {
    ASSERT_EQ(WriteLearnedCode(r.map, r.Device(), 0x35, "123456::AA:BB:::" + std::string(40, '1'))
                  .outcome,
              LearnOutcome::kLearnedNewEntry);
    ASSERT_EQ(WriteLearnedCode(r.map, r.Device(), 0x01, "654321::CC:DD:::" + std::string(16, '2'))
                  .outcome,
              LearnOutcome::kLearnedNewEntry);
}

TEST(RestoreManagedRegions, GivesBackTheBackupAndIsConsistentAfterEveryWrite) {
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    const std::optional<ManagedRegions> backup = ReadManagedRegions(r.map, r.Device());
    ASSERT_TRUE(backup);
    ChangeEveryRegion(r);
    std::vector<RemoteImage> afterEachWrite;
    r.Sim().SetWriteObserver([&afterEachWrite](const RemoteImage& image) {
        afterEachWrite.push_back(image);
        return true;
    });

    const RestoreResult result = RestoreManagedRegions(r.map, r.Device(), *backup);

    EXPECT_EQ(result.outcome, RestoreOutcome::kRestored);
    // Keys let go of the table, code area, code table, keys.
    EXPECT_EQ(result.writes, 4);
    ASSERT_EQ(afterEachWrite.size(), 4u);
    for (std::size_t k = 0; k < afterEachWrite.size(); ++k) {
        const RemoteMemoryCheck check = CheckRemoteMemory(afterEachWrite[k]);
        EXPECT_TRUE(check.Consistent())
            << "after write " << k + 1 << ": " << check.findings.front();
    }
    EXPECT_EQ(ReadManagedRegions(r.map, r.Device()), backup);
    EXPECT_EQ(RestoreManagedRegions(r.map, r.Device(), *backup).outcome,
              RestoreOutcome::kUnchanged);
}

TEST(RestoreManagedRegions, ARefusedWriteLeavesTheRemoteConsistentAndATryAgainFinishes) {
    const std::vector<std::pair<int, std::string>> cases = {
        {1, kKeyTableRegion}, {2, kCodeAreaRegion}, {3, kCodeTableRegion}, {4, kKeyTableRegion}};
    for (const auto& [write, region] : cases) {
        SCOPED_TRACE("write " + std::to_string(write) + " refused");
        StartedRemote r(RemoteImageBuilder::DefaultRemote());
        const std::optional<ManagedRegions> backup = ReadManagedRegions(r.map, r.Device());
        ASSERT_TRUE(backup);
        ChangeEveryRegion(r);
        r.Sim().FailNthWrite(write);

        const RestoreResult refused = RestoreManagedRegions(r.map, r.Device(), *backup);

        EXPECT_EQ(refused.outcome, RestoreOutcome::kWriteRefused);
        EXPECT_EQ(refused.failedRegion, region);
        EXPECT_EQ(CheckCodeTableConsistent(r.Sim().Image()), "");
        r.Sim().ClearFaults();
        EXPECT_EQ(RestoreManagedRegions(r.map, r.Device(), *backup).outcome,
                  RestoreOutcome::kRestored);
        EXPECT_EQ(ReadManagedRegions(r.map, r.Device()), backup);
    }
}

TEST(RestoreManagedRegions, AWriteThatLandedUnconfirmedIsReadBackAndTheRestoreGoesOn) {
    // Each of the four writes in turn lands, but its reply is lost or says failed; then once
    // more with the read that would tell refused too, which must stop the restore there.
    for (const bool readBackRefused : {false, true}) {
        for (int write = 1; write <= 4; ++write) {
            SCOPED_TRACE("write " + std::to_string(write) +
                         (readBackRefused ? " unconfirmed, read-back refused" : " unconfirmed"));
            StartedRemote r(RemoteImageBuilder::DefaultRemote());
            const std::optional<ManagedRegions> backup = ReadManagedRegions(r.map, r.Device());
            ASSERT_TRUE(backup);
            ChangeEveryRegion(r);
            SimulatedDevice simulated(r.Sim());
            UnconfirmedWriteEntryPoints unconfirmed(simulated);
            DeviceLibrary device(unconfirmed);
            unconfirmed.Arm(write, UnconfirmedWriteEntryPoints::Reply::kAnsweredFailed,
                            readBackRefused);

            const RestoreResult result = RestoreManagedRegions(r.map, device, *backup);

            EXPECT_EQ(CheckCodeTableConsistent(r.Sim().Image()), "");
            if (readBackRefused) {
                EXPECT_EQ(result.outcome, RestoreOutcome::kReadBackDiffers);
                EXPECT_FALSE(result.failedRegion.empty());
                // Run again, it finishes (or finds the remote holding the backup already).
                const RestoreOutcome again =
                    RestoreManagedRegions(r.map, r.Device(), *backup).outcome;
                EXPECT_TRUE(again == RestoreOutcome::kRestored ||
                            again == RestoreOutcome::kUnchanged);
            } else {
                EXPECT_EQ(result.outcome, RestoreOutcome::kRestored);
                EXPECT_EQ(result.writes, 4);
            }
            EXPECT_EQ(ReadManagedRegions(r.map, r.Device()), backup);
        }
    }
}

TEST(RestoreManagedRegions, RefusesRegionsThatLieElsewhereWithoutWriting) {
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    std::optional<ManagedRegions> other = ReadManagedRegions(r.map, r.Device());
    ASSERT_TRUE(other);
    other->regions[2].bytes.pop_back();  // a code area one byte shorter: another layout
    EXPECT_EQ(RestoreManagedRegions(r.map, r.Device(), *other).outcome,
              RestoreOutcome::kOtherLayout);
    EXPECT_TRUE(r.Sim().Writes().empty());
}

RemoteBackup DefaultBackup() {
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    return {"7731", r.map.remoteIdText, *ReadManagedRegions(r.map, r.Device())};
}

TEST(BackupFile, ReadsBackWhatItWrote) {
    const RemoteBackup backup = DefaultBackup();
    const BackupReading reading = ParseBackup(FormatBackup(backup));
    ASSERT_EQ(reading.problem, BackupProblem::kNone);
    EXPECT_EQ(reading.backup->model, backup.model);
    EXPECT_EQ(reading.backup->identity, backup.identity);
    EXPECT_EQ(reading.backup->regions, backup.regions);
}

TEST(BackupFile, NoCutOrChangedFileIsTakenForABackup) {
    const std::string text = FormatBackup(DefaultBackup());
    // Cut after every line, and inside lines.
    for (std::size_t length = 0; length + 1 < text.size(); length += 37)
        EXPECT_NE(ParseBackup(text.substr(0, length)).problem, BackupProblem::kNone) << length;
    // One digit of the code area changed.
    std::string changed = text;
    const std::size_t at = changed.find("region code-area");
    ASSERT_NE(at, std::string::npos);
    char& digit = changed[changed.find('\n', at) + 7];
    digit = digit == '0' ? '1' : '0';
    EXPECT_EQ(ParseBackup(changed).problem, BackupProblem::kChecksumDiffers);
    EXPECT_EQ(ParseBackup("hello\n").problem, BackupProblem::kNotABackup);
}

// A body with a right checksum, as a person who edits a backup and signs it again makes one.
std::string Signed(const std::string& body) {
    const QByteArray sum =
        QCryptographicHash::hash(QByteArray::fromStdString(body), QCryptographicHash::Sha256);
    return body + "sha256 " + sum.toHex().toUpper().toStdString() + "\n";
}

TEST(BackupFile, ALineOutOfPlaceIsNamedByItsNumber) {
    const std::string head =
        "keylearn-backup 1\nmodel 7731\nidentity " + std::string(30, 'A') + "\nbank 08\n";
    const std::string regions = "region code-table 8600 1\n8600 00\nregion code-area 8700 0\n";
    const std::vector<std::pair<std::string, int>> cases = {
        {head + "region key-table 8100 2\n8100 0000\n" + regions, 0},
        {head + "region key-table 8100 2\n8101 0000\n" + regions, 6},    // an address skipped
        {head + "region key-table 8100 2\n8100 000000\n" + regions, 6},  // past the region
        {head + "region code-table 8600 1\n8600 00\n", 5},               // regions out of order
        {head + "region key-table FFFF 2\n", 5},                         // past the end of memory
        // A length that overflowed the reader's sum of address and length (a forged file).
        {head + "region key-table FFFF 2147483647\n", 5},
        {head + "region key-table 0000 99999999999\n", 5},
        {"keylearn-backup 1\nmodel 77\n", 2},
    };
    for (const auto& [body, line] : cases) {
        const BackupReading reading = ParseBackup(Signed(body));
        EXPECT_EQ(reading.problem, line == 0 ? BackupProblem::kNone : BackupProblem::kMalformed)
            << body;
        EXPECT_EQ(reading.line, line) << body;
    }
}

}  // namespace
