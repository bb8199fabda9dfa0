#include "platform/remote_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringList>
#include <cerrno>
#include <cstring>

namespace {

// The holder's line is short; more than this is not a line a holder wrote.
constexpr int kHolderTextLimit = 200;

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

QString ErrorText() {
    return QString::fromLocal8Bit(std::strerror(errno));
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
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir)) {
        problem_ = QStringLiteral("no runtime folder for the lock");
        return RemoteLockStatus::kUnavailable;
    }
    const QString path = dir + QLatin1Char('/') + RemoteLockFileName(identity);
    // No O_TRUNC: the holder's name must stay readable until this program has the lock.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        problem_ = path + QStringLiteral(": ") + ErrorText();
        return RemoteLockStatus::kUnavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        if (held)
            ReadHolder(fd, holderName_, holderProcess_);
        else
            problem_ = path + QStringLiteral(": ") + ErrorText();
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
