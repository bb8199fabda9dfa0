// remotectl delete and clear: a learned code taken off one key, or off every learned key, with
// the same releases as the window's delete and clear buttons.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "learning/delete_keys.h"
#include "tools/remotectl/command_session.h"
#include "tools/remotectl/commands.h"

namespace {

const char* ReleaseProblem(ReleaseOutcome outcome) {
    switch (outcome) {
        case ReleaseOutcome::kNoKeyEntry:
            return "the key's entry lies outside the remote's key table";
        case ReleaseOutcome::kEntryNotReadable:
            return "the key's entry cannot be read; nothing was written";
        case ReleaseOutcome::kStatusNotWritten:
            return "the remote refused the write; the key keeps its code";
        case ReleaseOutcome::kStatusUnknown:
            return "the remote did not confirm the write and cannot be read back: whether the "
                   "key still holds its code is not known (remotectl keys shows it)";
        case ReleaseOutcome::kReleased:
            break;
    }
    return "";
}

// Says what a release left behind that the memory check will show.
void WarnOfEntryLeft(const KeyRelease& release) {
    if (release.entryLeftInUse)
        std::cerr << "remotectl: warning: code-table entry " << int{*release.entryLeftInUse}
                  << " could not be freed (remotectl check shows it)\n";
}

int RunDelete(const std::string& keyText, int lockWaitSeconds) {
    const std::optional<KeyCode> key = KeyCodeTyped(keyText);
    if (!key)
        return UsageError("a key is two hex digits, not " + keyText);
    const std::unique_ptr<CommandSession> session =
        OpenRemote(LockMode::kHold, *key, lockWaitSeconds);
    if (!session)
        return 1;
    const DeleteResult result = session->Session().DeleteKey(*key).result;
    switch (result.outcome) {
        case DeleteOutcome::kDeleted:
            WarnOfEntryLeft(result.release);
            std::cout << KeyCodeText(*key) << "  deleted\n";
            return 0;
        case DeleteOutcome::kNoKeySlots:
            return Fail("the remote has no keys");
        case DeleteOutcome::kNotLearned:
            return Fail("key " + KeyCodeText(*key) + " holds no learned code");
        case DeleteOutcome::kNotDeleted:
            break;
    }
    return Fail(ReleaseProblem(result.release.outcome));
}

int RunClear(int lockWaitSeconds) {
    const std::unique_ptr<CommandSession> session =
        OpenRemote(LockMode::kHold, std::nullopt, lockWaitSeconds);
    if (!session)
        return 1;
    const ClearResult result = session->Session().ClearKeys().result;
    for (const KeyRelease& release : result.cleared) {
        WarnOfEntryLeft(release);
        std::cout << KeyCodeText(release.keyCode) << "  deleted\n";
    }
    switch (result.outcome) {
        case ClearOutcome::kNothingLearned:
            std::cout << "no key holds a learned code\n";
            return 0;
        case ClearOutcome::kCleared:
            return 0;
        case ClearOutcome::kPartlyCleared:
            break;
    }
    for (const KeyRelease& release : result.failed)
        std::cerr << "remotectl: key " << KeyCodeText(release.keyCode) << ": "
                  << ReleaseProblem(release.outcome) << '\n';
    return 1;
}

}  // namespace

CommandRun DefineDelete(CLI::App& command) {
    auto key = std::make_shared<std::string>();
    auto lockWait = std::make_shared<int>(kDefaultLockWaitSeconds);
    command.add_option("KEY", *key, "the key's code, two hex digits (remotectl keys)")->required();
    AddLockWaitOption(command, *lockWait);
    return [key, lockWait] { return RunDelete(*key, *lockWait); };
}

CommandRun DefineClear(CLI::App& command) {
    auto lockWait = std::make_shared<int>(kDefaultLockWaitSeconds);
    AddLockWaitOption(command, *lockWait);
    return [lockWait] { return RunClear(*lockWait); };
}
