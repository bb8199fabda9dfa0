// remotectl backup and restore: the remote's learned codes saved to a file and put back.
#include <CLI/CLI.hpp>
#include <QString>
#include <cstring>
#include <iostream>
#include <memory>

#include "ircapture/bounded_input.h"
#include "learning/backup_file.h"
#include "platform/whole_file_writer.h"
#include "tools/remotectl/command_session.h"
#include "tools/remotectl/commands.h"

namespace {

constexpr char kStandardStream[] = "-";

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// How a backup file that could not be written is told: what failed, and that any old backup
// there is whole.
std::string WriteProblemText(const std::string& path, const FileWriteProblem& problem) {
    const std::string reason = std::strerror(problem.errorNumber);
    const std::string unchanged = "; a file of that name is as it was";
    switch (problem.step) {
        case FileWriteStep::kNotARegularFile:
            return Quoted(path) +
                   " is not a regular file (a folder, FIFO, device or socket); nothing was "
                   "written (- writes the backup to the standard output)";
        case FileWriteStep::kLinkLeadsNowhere:
            return Quoted(path) + " is a symbolic link that leads nowhere; nothing was written";
        case FileWriteStep::kLookUp:
            return "cannot write " + Quoted(path) + ": " + reason;
        case FileWriteStep::kCreate:
            return "cannot write " + Quoted(path) + ": cannot make a file in its folder: " + reason;
        case FileWriteStep::kWrite:
            return "cannot write " + Quoted(path) + ": " + reason + unchanged;
        case FileWriteStep::kSync:
            return "cannot write " + Quoted(path) + ": it cannot be synced to the disk: " + reason +
                   unchanged;
        case FileWriteStep::kKeepOwner:
            return "cannot write " + Quoted(path) +
                   ": the new file cannot keep the old one's owner and group (" + reason + ")" +
                   unchanged;
        case FileWriteStep::kReplace:
            return "cannot write " + Quoted(path) + ": cannot replace the old file: " + reason +
                   unchanged;
    }
    return "cannot write " + Quoted(path);
}

int RunBackup(const std::string& path) {
    const std::unique_ptr<CommandSession> session = OpenRemote(LockMode::kNone);
    if (!session)
        return 1;
    std::optional<ManagedRegions> regions = ReadManagedRegions(session->Map(), session->Device());
    if (!regions)
        return Fail("the remote's key and code tables cannot be read");
    const RemoteBackup backup{session->ModelText(), session->Map().remoteIdText, *regions};
    const std::string text = FormatBackup(backup);
    std::size_t bytes = 0;
    for (const MemoryRegion& region : regions->regions)
        bytes += region.bytes.size();
    const std::string saved = "saved the keys, code table and code area of remote " +
                              backup.identity + " (" + std::to_string(bytes) + " bytes) to ";
    if (path == kStandardStream) {
        // The backup is the output; what was saved is said beside it. A failed write of the
        // output is told when the program ends.
        std::cout << text << std::flush;
        if (!std::cout)
            return 1;
        std::cerr << saved << "the standard output\n";
        return 0;
    }
    const auto written = WriteWholeFile(QString::fromStdString(path), text);
    if (!written)
        return Fail(WriteProblemText(path, written.Problem()));
    std::cout << saved << path << '\n';
    return 0;
}

// The backup in the file (or on the standard input), or none after the complaint.
std::optional<RemoteBackup> ReadBackup(const std::string& path) {
    std::string text;
    std::string error;
    if (!bounded_input::ReadInput(path, kMaxBackupFileBytes, bounded_input::Extent::kWhole, text,
                                  error)) {
        Fail(error);
        return std::nullopt;
    }
    const std::string name =
        path == kStandardStream ? bounded_input::InputName(path) : Quoted(path);
    BackupReading reading = ParseBackup(text);
    switch (reading.problem) {
        case BackupProblem::kNone:
            return std::move(reading.backup);
        case BackupProblem::kNotABackup:
            Fail(name + " is not a keylearn backup");
            break;
        case BackupProblem::kNoChecksum:
            Fail(name + " is cut off: its checksum line is missing");
            break;
        case BackupProblem::kChecksumDiffers:
            Fail(name + " is damaged or was edited: its checksum does not match");
            break;
        case BackupProblem::kMalformed:
            Fail(name + " line " + std::to_string(reading.line) +
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

int RunRestore(const std::string& path, bool force, int lockWaitSeconds) {
    const std::optional<RemoteBackup> backup = ReadBackup(path);
    if (!backup)
        return 1;
    const std::unique_ptr<CommandSession> session =
        OpenRemote(LockMode::kHold, std::nullopt, lockWaitSeconds);
    if (!session)
        return 1;
    if (const std::string refusal = Refusal(*session, *backup, force); !refusal.empty())
        return Fail(refusal + "; nothing was written");
    const RestoreResult result =
        RestoreManagedRegions(session->Map(), session->Device(), backup->regions);
    switch (result.outcome) {
        case RestoreOutcome::kRestored:
            std::cout << "restored " << (path == kStandardStream ? "the backup" : path) << " ("
                      << result.writes << (result.writes == 1 ? " write" : " writes")
                      << ", read back and equal)\n";
            return 0;
        case RestoreOutcome::kUnchanged:
            std::cout << "the remote already holds "
                      << (path == kStandardStream ? "the backup" : path) << "; nothing written\n";
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
    command
        .add_option("FILE", *path,
                    "the backup file to write (replaced whole, only once every byte is on the "
                    "disk), or - for the standard output")
        ->required();
    return [path] { return RunBackup(*path); };
}

CommandRun DefineRestore(CLI::App& command) {
    auto path = std::make_shared<std::string>();
    auto force = std::make_shared<bool>(false);
    auto lockWait = std::make_shared<int>(kDefaultLockWaitSeconds);
    command
        .add_option("FILE", *path,
                    "a backup written by remotectl backup, or - for the standard input")
        ->required();
    command.add_flag("--force", *force,
                     "put the backup on a remote of the same model with another identity");
    AddLockWaitOption(command, *lockWait);
    return [path, force, lockWait] { return RunRestore(*path, *force, *lockWait); };
}
