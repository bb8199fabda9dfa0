#pragma once
// One program at a time changes a remote: a lock per user and remote, held for as long as the
// program may write. It is a file in the user's runtime folder, named after the remote's
// identity and locked with flock, so the system lets go of it when its holder ends, however it
// ends: a crash never leaves a remote locked. The file names its holder, so that the second
// program can say who has the remote.

#include <QString>

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
    // waiting. folder is where lock files lie; empty means the user's runtime folder.
    RemoteLockStatus Take(const QString& identity, const QString& holderName,
                          const QString& folder = {});
    // Lets go of the lock (also done when the RemoteLock goes).
    void Release();

    // After kHeld: the holder's program name ("keylearn"; empty when it wrote none) and its
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
