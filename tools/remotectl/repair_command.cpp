// remotectl repair: frees the code-table entries that are in use although no key points at them
// (remotectl check lists them). A learn or a delete that stopped between its writes leaves one
// behind, by design the safe side; nothing else ever frees them.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "tools/remotectl/command_session.h"
#include "tools/remotectl/commands.h"

namespace {

int RunRepair(int lockWaitSeconds) {
    // The lock is taken before the key table is read, and held until the entries are free: no
    // other program can make a key point at one of them meanwhile.
    const std::unique_ptr<CommandSession> session =
        OpenRemote(LockMode::kHold, std::nullopt, lockWaitSeconds);
    if (!session)
        return 1;
    const EntryReclaim reclaim = session->Session().ReclaimLeakedEntries();
    switch (reclaim.outcome) {
        case EntryReclaim::Outcome::kNothingLeaked:
            std::cout << "nothing to repair: every code-table entry in use has a key pointing at "
                         "it\n";
            return 0;
        case EntryReclaim::Outcome::kReclaimed:
            for (const FreedCodeEntry& freed : reclaim.freed) {
                const int first = freed.entry.firstUnit;
                std::cout << "freed entry " << KeyCodeText(freed.index) << " units " << first << '-'
                          << first + freed.entry.unitCount - 1 << " (no key pointed at it)\n";
            }
            return 0;
        case EntryReclaim::Outcome::kNotWritten:
            return Fail("the remote refused the write; the entries stay in use");
        case EntryReclaim::Outcome::kUnknown:
            return Fail(
                "the remote did not confirm the write and cannot be read back; run remotectl "
                "check to see what it holds");
    }
    return 1;
}

}  // namespace

CommandRun DefineRepair(CLI::App& command) {
    auto lockWait = std::make_shared<int>(kDefaultLockWaitSeconds);
    AddLockWaitOption(command, *lockWait);
    return [lockWait] { return RunRepair(*lockWait); };
}
