// The lock of a remote: one place per user whatever the environment says, only a private folder
// of the user's qualifies, and a second taker learns who holds it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/remote_lock.h"

namespace {

const QString kIdentity = QStringLiteral("59485A4C3737333100010203040506");

// Sets an environment variable (or unsets it, for none) for the life of the object.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(LockFolder, IsTheUsersOwnWhateverTheEnvironmentSays) {
    const Result<QString, QString> place = UserLockFolder();
    ASSERT_TRUE(place) << place.Problem().toStdString();
    EXPECT_EQ(CheckLockFolder(*place), LockFolderCheck::kPrivate);
    // Another runtime folder, none at all, another home: the place stays the same.
    QTemporaryDir other;
    for (const std::optional<std::string>& runtime :
         {std::optional<std::string>(other.path().toStdString()), std::optional<std::string>()}) {
        const ScopedVariable xdg("XDG_RUNTIME_DIR", runtime);
        const ScopedVariable home("HOME", other.path().toStdString());
        const Result<QString, QString> again = UserLockFolder();
        ASSERT_TRUE(again);
        EXPECT_EQ(*again, *place);
    }
    // A test's locks stay in its own private runtime folder (test_main makes one).
    EXPECT_TRUE(QStandardPaths::isTestModeEnabled());
    const Result<QString, QString> mine = ProcessLockFolder();
    ASSERT_TRUE(mine) << mine.Problem().toStdString();
    EXPECT_EQ(*mine, QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
}

TEST(LockFolder, OnlyAPrivateFolderOfTheUsersOwnQualifies) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("locks");
    EXPECT_EQ(CheckLockFolder(folder), LockFolderCheck::kMissing);
    ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0700), 0);
    EXPECT_EQ(CheckLockFolder(folder), LockFolderCheck::kPrivate);
    // One that others may enter, a link to a private one, a file: none is a lock folder.
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    EXPECT_EQ(CheckLockFolder(folder), LockFolderCheck::kNotPrivate);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
    const QString link = dir.filePath("link");
    ASSERT_TRUE(QFile::link(folder, link));
    EXPECT_EQ(CheckLockFolder(link), LockFolderCheck::kNotPrivate);
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ::chmod(QFile::encodeName(file.fileName()).constData(), 0700);
    EXPECT_EQ(CheckLockFolder(file.fileName()), LockFolderCheck::kNotPrivate);
}

TEST(RemoteLock, ASecondTakerLearnsTheHolderAndALockThatCannotBeMadeIsNoLock) {
    QTemporaryDir dir;
    RemoteLock first;
    ASSERT_EQ(first.Take(kIdentity, QStringLiteral("keylearn"), dir.path()),
              RemoteLockStatus::kTaken);
    EXPECT_TRUE(first.Held());
    RemoteLock second;
    EXPECT_EQ(second.Take(kIdentity, QStringLiteral("remotectl"), dir.path()),
              RemoteLockStatus::kHeld);
    EXPECT_EQ(second.HolderName(), QStringLiteral("keylearn"));
    EXPECT_EQ(second.HolderProcess(), ::getpid());
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_EQ(second.Take(kIdentity, QStringLiteral("remotectl"), dir.path()),
              RemoteLockStatus::kTaken);
    second.Release();

    // No folder, or a lock file that is a link planted to somewhere else: no lock, and why.
    RemoteLock nowhere;
    EXPECT_EQ(nowhere.Take(kIdentity, QStringLiteral("keylearn"), dir.filePath("missing")),
              RemoteLockStatus::kUnavailable);
    EXPECT_TRUE(nowhere.Problem().startsWith(dir.filePath("missing/keylearn-remote-")))
        << nowhere.Problem().toStdString();
    QTemporaryDir planted;
    const QString target = planted.filePath("target");
    ASSERT_TRUE(QFile::link(target, planted.filePath(RemoteLockFileName(kIdentity))));
    RemoteLock linked;
    EXPECT_EQ(linked.Take(kIdentity, QStringLiteral("keylearn"), planted.path()),
              RemoteLockStatus::kUnavailable);
    EXPECT_FALSE(QFile::exists(target)) << "nothing is made where the link points";
}

}  // namespace
