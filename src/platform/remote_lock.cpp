#include "platform/remote_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// The holder's line is short; more than this is not a line a holder wrote.
constexpr int kHolderTextLimit = 200;

// Below the home: the XDG place for state that is kept but not worth a backup.
constexpr char kHomeLockFolder[] = "/.local/state/keylearn";

// The holder's line: its program name and process id, separated by a blank.
void ReadHolder(int fd, QString& name, qint64& process) {
    char text[kHolderTextLimit] = {};
    const ssize_t n = ::pread(fd, text, kHolderTextLimit, 0);
    const QStringList words =
        n > 0 ? QString::fromUtf8(text, static_cast<qsizetype>(n)).split(QLatin1Char(' '))
              : QStringList();
    name = words.value(0).trimmed();
    process = words.value(1).trimmed().toLongLong();
}

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray Encoded(const QString& path) {
    return QFile::encodeName(path);
}

// The user's home as the password database has it, or none.
std::optional<QString> HomeOfUser(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr || found->pw_dir[0] != '/')
        return std::nullopt;
    return QFile::decodeName(found->pw_dir);
}

// Makes each missing folder of kHomeLockFolder below the home, private; one that exists is left
// as it is. The errno of the first that could not be made, or 0.
int MakeLockFolders(const QString& home) {
    QString folder = home;
    for (const QString& part :
         QString::fromLatin1(kHomeLockFolder).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        folder += QLatin1Char('/') + part;
        if (::mkdir(Encoded(folder).constData(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    return 0;
}

}  // namespace

QString RemoteLockFileName(const QString& identity) {
    QString safe;
    for (const QChar c : identity) {
        if (c.isLetterOrNumber() && c.unicode() < 0x80)
            safe += c;
    }
    return QStringLiteral("keylearn-remote-") +
           (safe.isEmpty() ? QStringLiteral("unknown") : safe) + QStringLiteral(".lock");
}

LockFolderCheck CheckLockFolder(const QString& folder) {
    struct stat info {};
    if (::lstat(Encoded(folder).constData(), &info) != 0)
        return LockFolderCheck::kMissing;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 077) != 0)
        return LockFolderCheck::kNotPrivate;
    return LockFolderCheck::kPrivate;
}

Result<QString, QString> UserLockFolder() {
    const uid_t uid = ::getuid();
    const QString runtime = QStringLiteral("/run/user/") + QString::number(uid);
    if (CheckLockFolder(runtime) == LockFolderCheck::kPrivate)
        return runtime;
    const std::optional<QString> home = HomeOfUser(uid);
    if (!home)
        return Failure(QStringLiteral("the password database names no home folder for user ") +
                       QString::number(uid));
    const QString folder = *home + QLatin1String(kHomeLockFolder);
    if (const int error = MakeLockFolders(*home); error != 0)
        return Failure(folder + QStringLiteral(": ") + ErrorText(error));
    // The folder is keylearn's own: one of the user's that others may look into is closed.
    struct stat info {};
    if (::lstat(Encoded(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == uid && (info.st_mode & 077) != 0)
        ::chmod(Encoded(folder).constData(), 0700);
    if (CheckLockFolder(folder) != LockFolderCheck::kPrivate)
        return Failure(folder + QStringLiteral(" is not a folder of this user's alone"));
    return folder;
}

Result<QString, QString> ProcessLockFolder() {
    if (!QStandardPaths::isTestModeEnabled())
        return UserLockFolder();
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty() || CheckLockFolder(runtime) != LockFolderCheck::kPrivate)
        return Failure(QStringLiteral("no private runtime folder for the test's locks"));
    return runtime;
}

RemoteLock::~RemoteLock() {
    Release();
}

RemoteLockStatus RemoteLock::Take(const QString& identity, const QString& holderName,
                                  const QString& folder) {
    Release();
    holderName_.clear();
    holderProcess_ = 0;
    problem_.clear();
    QString dir = folder;
    if (dir.isEmpty()) {
        const Result<QString, QString> place = ProcessLockFolder();
        if (!place) {
            problem_ = place.Problem();
            return RemoteLockStatus::kUnavailable;
        }
        dir = *place;
    }
    const QString path = dir + QLatin1Char('/') + RemoteLockFileName(identity);
    // No O_TRUNC: the holder's name must stay readable until this program has the lock.
    const int fd =
        ::open(Encoded(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        problem_ = path + QStringLiteral(": ") + ErrorText(errno);
        return RemoteLockStatus::kUnavailable;
    }
    // Someone else's file in the folder is no lock of this user's.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid()) {
        problem_ = path + QStringLiteral(" is not a file of this user's");
        ::close(fd);
        return RemoteLockStatus::kUnavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        const bool held = error == EWOULDBLOCK;
        if (held)
            ReadHolder(fd, holderName_, holderProcess_);
        else
            problem_ = path + QStringLiteral(": ") + ErrorText(error);
        ::close(fd);
        return held ? RemoteLockStatus::kHeld : RemoteLockStatus::kUnavailable;
    }
    const QByteArray line =
        (holderName + QLatin1Char(' ') + QString::number(QCoreApplication::applicationPid()) +
         QLatin1Char('\n'))
            .toUtf8();
    // The name is a courtesy to the next program; the lock holds without it.
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, line.constData(), line.size(), 0);
    }
    fd_ = fd;
    return RemoteLockStatus::kTaken;
}

void RemoteLock::Release() {
    if (fd_ < 0)
        return;
    // The file stays, emptied of this program's name: removing it would let a third program
    // lock a new file while a second still holds the old one open.
    [[maybe_unused]] const int emptied = ::ftruncate(fd_, 0);
    ::close(fd_);
    fd_ = -1;
}
