// remotectl backup and restore: the remote's learned codes saved to a file and put back.
#include <CLI/CLI.hpp>
#include <QString>
#include <iostream>
#include <memory>

#include "learning/backup_file.h"
#include "tools/remotectl/command_session.h"
#include "tools/remotectl/commands.h"

namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

int RunBackup(const std::string& path) {
    const std::unique_ptr<CommandSession> session = OpenRemote(LockMode::kNone);
    if (!session)
        return 1;
    std::optional<ManagedRegions> regions = ReadManagedRegions(session->Map(), session->Device());
    if (!regions)
        return Fail("the remote's key and code tables cannot be read");
    const RemoteBackup backup{session->ModelText(), session->Map().remoteIdText, *regions};
    const auto saved = SaveBackupFile(QString::fromStdString(path), FormatBackup(backup));
    if (!saved)
        return Fail("cannot write " + Quoted(path) + ": " + saved.Problem().toStdString());
    std::size_t bytes = 0;
    for (const MemoryRegion& region : regions->regions)
        bytes += region.bytes.size();
    std::cout << "saved the keys, code table and code area of remote " << backup.identity << " ("
              << bytes << " bytes) to " << path << '\n';
    return 0;
}

// The backup in the file, or none after the complaint.
std::optional<RemoteBackup> ReadBackup(const std::string& path) {
    const Result<std::string, QString> text = LoadBackupFile(QString::fromStdString(path));
    if (!text) {
        Fail("cannot read " + Quoted(path) + ": " + text.Problem().toStdString());
        return std::nullopt;
    }
    BackupReading reading = ParseBackup(*text);
    switch (reading.problem) {
        case BackupProblem::kNone:
            return std::move(reading.backup);
        case BackupProblem::kNotABackup:
            Fail(Quoted(path) + " is not a keylearn backup");
            break;
        case BackupProblem::kNoChecksum:
            Fail(Quoted(path) + " is cut off: its checksum line is missing");
            break;
        case BackupProblem::kChecksumDiffers:
            Fail(Quoted(path) + " is damaged or was edited: its checksum does not match");
            break;
        case BackupProblem::kMalformed:
            Fail(Quoted(path) + " line " + std::to_string(reading.line) +
                 " is not what a backup holds there");
            break;
    }
    return std::nullopt;
}

// Why the backup may not go on this remote, or empty.
std::string Refusal(CommandSession& session, const RemoteBackup& backup, bool force) {
    if (backup.model != session.ModelText())
        return "the backup is of a model " + backup.model + " remote, this remote is a " +
               session.ModelText();
    if (!SameLayout(ManagedRegionLayout(session.Map()), backup.regions))
        return "the backup's tables lie elsewhere than this remote's: it is of another kind "
               "of remote";
    if (backup.identity != session.Map().remoteIdText && !force)
        return "the backup is of another remote (" + backup.identity + ", this one is " +
               session.Map().remoteIdText + "); --force puts it on this one";
    const std::optional<RemoteBanks> banks = BanksForCheck(session, backup.regions);
    if (!banks)
        return "the remote's config block and directory cannot be read";
    const RemoteMemoryCheck check = CheckRemoteMemory(*banks);
    if (!check.Consistent())
        return "the backup's tables are not consistent: " + check.findings.front();
    return {};
}

int RunRestore(const std::string& path, bool force) {
    const std::optional<RemoteBackup> backup = ReadBackup(path);
    if (!backup)
        return 1;
    const std::unique_ptr<CommandSession> session = OpenRemote(LockMode::kHold);
    if (!session)
        return 1;
    if (const std::string refusal = Refusal(*session, *backup, force); !refusal.empty())
        return Fail(refusal + "; nothing was written");
    const RestoreResult result =
        RestoreManagedRegions(session->Map(), session->Device(), backup->regions);
    switch (result.outcome) {
        case RestoreOutcome::kRestored:
            std::cout << "restored " << path << " (" << result.writes
                      << (result.writes == 1 ? " write" : " writes") << ", read back and equal)\n";
            return 0;
        case RestoreOutcome::kUnchanged:
            std::cout << "the remote already holds " << path << "; nothing written\n";
            return 0;
        case RestoreOutcome::kOtherLayout:
            return Fail(
                "the backup's tables lie elsewhere than this remote's; nothing was written");
        case RestoreOutcome::kNotRead:
            return Fail("the remote's key and code tables cannot be read; nothing was written");
        case RestoreOutcome::kWriteRefused:
            return Fail("the remote refused writing its " + result.failedRegion +
                        "; its tables are consistent, run the restore again");
        case RestoreOutcome::kReadBackDiffers:
            return Fail(
                "the remote reads back otherwise than the backup" +
                (result.failedRegion.empty() ? std::string() : " in its " + result.failedRegion));
    }
    return 1;
}

}  // namespace

CommandRun DefineBackup(CLI::App& command) {
    auto path = std::make_shared<std::string>();
    command.add_option("FILE", *path, "the backup file to write (replaced whole)")->required();
    return [path] { return RunBackup(*path); };
}

CommandRun DefineRestore(CLI::App& command) {
    auto path = std::make_shared<std::string>();
    auto force = std::make_shared<bool>(false);
    command.add_option("FILE", *path, "a backup written by remotectl backup")->required();
    command.add_flag("--force", *force,
                     "put the backup on a remote of the same model with another identity");
    return [path, force] { return RunRestore(*path, *force); };
}
