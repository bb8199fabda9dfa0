#pragma once
// One program at a time changes a remote: a lock per user and remote, held for as long as the
// program may write. It is a file in the user's lock folder, named after the remote's identity
// and locked with flock, so the system lets go of it when its holder ends, however it ends: a
// crash never leaves a remote locked. The file names its holder, so that the second program can
// say who has the remote.
//
// Every program of the user must meet at the same file whatever its environment (a desktop
// session, a terminal over ssh, sudo -u, a service without XDG_RUNTIME_DIR), so the folder is
// derived from the user's id alone: /run/user/UID when it exists and is the user's own and
// private, else a private folder in the home that the password database names. No variable
// decides it, and when neither folder can be had the lock is not taken: a refusal, never a
// silent fallback to another place.

#include <QString>

#include "common/result.h"

enum class RemoteLockStatus {
    kTaken,        // this program holds the lock until the RemoteLock goes
    kHeld,         // another program holds it: HolderName() names it
    kUnavailable,  // the lock file could not be made or opened: nothing is held
};

class RemoteLock {
  public:
    RemoteLock() = default;
    ~RemoteLock();
    RemoteLock(const RemoteLock&) = delete;
    RemoteLock& operator=(const RemoteLock&) = delete;

    // Takes the lock of the remote with this identity for the program named holderName, without
    // waiting. folder is where lock files lie; empty means ProcessLockFolder().
    RemoteLockStatus Take(const QString& identity, const QString& holderName,
                          const QString& folder = {});
    // Lets go of the lock (also done when the RemoteLock goes).
    void Release();
    bool Held() const { return fd_ >= 0; }

    // After kHeld: the holder's program name as its file gives it ("keylearn"; empty when it
    // wrote none; any text another program put there, so never printed unescaped) and its
    // process id (0 when unknown). After kUnavailable: why.
    const QString& HolderName() const { return holderName_; }
    qint64 HolderProcess() const { return holderProcess_; }
    const QString& Problem() const { return problem_; }

  private:
    int fd_ = -1;
    QString holderName_;
    qint64 holderProcess_ = 0;
    QString problem_;
};

// The lock file of a remote: its identity's letters and digits only, so that no identity names
// another folder.
QString RemoteLockFileName(const QString& identity);

// The user's lock folder, as described above (the home's one is made when missing), or why
// there is none.
Result<QString, QString> UserLockFolder();

// The folder this process takes its locks in: UserLockFolder(), except under Qt's test mode
// (QStandardPaths::setTestModeEnabled, which every test program turns on), where, as Qt moves
// every writable location of a test away from the user's own, it is the runtime folder the test
// made private for itself: test programs running at once then never meet in the user's folder.
Result<QString, QString> ProcessLockFolder();

// How a folder qualifies as a lock folder: a folder itself (not a symbolic link to one), owned
// by the user, with no access for anyone else. Exposed for the tests.
enum class LockFolderCheck { kPrivate, kMissing, kNotPrivate };
LockFolderCheck CheckLockFolder(const QString& folder);
