#pragma once
// The remote as every remotectl command reaches it: the linked device library and a
// RemoteSession on it, opened as the window opens it (identity, then, for a command that
// changes the remote, the lock, then the tables). remotectl answers the session's questions
// itself: the command line has already said what the user wants.

#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "learning/remote_backup.h"
#include "learning/remote_session.h"
#include "memorycheck/remote_memory_check.h"

namespace CLI {
class App;
}

// How long a command that changes the remote waits for a lock another remotectl holds, unless
// --wait says otherwise. The window's lock is never waited for: it is refused at once.
inline constexpr int kDefaultLockWaitSeconds = 5;
inline constexpr int kLongestLockWaitSeconds = 3600;

// Adds --wait S to a command that changes the remote; seconds keeps the default until given.
void AddLockWaitOption(CLI::App& command, int& seconds);

class CommandSession final : private SessionQuestions {
  public:
    explicit CommandSession(
        std::chrono::seconds lockWait = std::chrono::seconds(kDefaultLockWaitSeconds));
    ~CommandSession() override;
    CommandSession(const CommandSession&) = delete;
    CommandSession& operator=(const CommandSession&) = delete;

    RemoteSession& Session() { return session_; }
    DeviceLibrary& Device() { return device_; }
    const RemoteMap& Map() const { return session_.Map(); }
    // What the opening read: the firmware's version text and the info block.
    const RemoteOpening& Opening() const { return opening_; }
    // The model code as four hex digits ("7731").
    std::string ModelText() const;

    // Opens the remote; the complaint (one line, no program name) when no remote is attached,
    // the remote is not one this program works with, or another program holds its lock (after
    // the wait, for another remotectl).
    std::optional<std::string> Open(LockMode lockMode);

  private:
    // Every question has been answered on the command line.
    bool RetryWithoutRemote() override { return false; }
    bool ConfirmRelearn(KeyCode) override { return true; }
    bool ConfirmDelete(KeyCode) override { return true; }
    bool ConfirmClear() override { return true; }
    bool KeepWaitingForRemote() override { return false; }
    bool ConfirmCloseWithoutRemote() override { return true; }

    const std::chrono::seconds lockWait_;
    LinkedEntryPoints entryPoints_;
    DeviceLibrary device_;
    RemoteSession session_;
    RemoteOpening opening_;
};

// Opens the remote for a command; the session, or none after the complaint. With a key, the
// remote must have that key. lockWaitSeconds: how long to wait for another remotectl's lock.
std::unique_ptr<CommandSession> OpenRemote(LockMode lockMode,
                                           std::optional<KeyCode> key = std::nullopt,
                                           int lockWaitSeconds = kDefaultLockWaitSeconds);

// Text from outside (a lock file's holder name) as a terminal may be given it: control
// characters, and the marks that turn text around, as \xNN or \u{NNNN} escapes, a backslash
// doubled; everything else as UTF-8.
std::string EscapedForTerminal(const QString& text);

// The key code a user typed: one or two hex digits (either case), or none. The window's own
// ParseKeyCode reads only the two upper-case digits of its buttons.
std::optional<KeyCode> KeyCodeTyped(const std::string& text);
std::string KeyCodeText(KeyCode code);

// The banks as the memory check reads them: bank 08's config block and directory read now, and
// the learning regions given (the remote's, or a backup's) in their bank, each at its own
// address; everything else reads as zero. None when the blocks cannot be read.
std::optional<RemoteBanks> BanksForCheck(CommandSession& session, const ManagedRegions& regions);
