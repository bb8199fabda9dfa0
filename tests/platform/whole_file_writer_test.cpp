// Replacing a file whole: a write cut off by a full disk leaves the old file and no new one, a
// name that is no regular file is refused untouched, and the replacement keeps the old file's
// owner and permissions.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <string>
#include <vector>

#include "platform/whole_file_writer.h"
#include "tests/support/full_disk.h"

namespace {

// What a write in a child process came to: 0 done, the errno of a failed write, or 200 and the
// step that failed otherwise.
int Outcome(const Result<Done, FileWriteProblem>& written) {
    if (written)
        return 0;
    if (written.Problem().step == FileWriteStep::kWrite)
        return written.Problem().errorNumber;
    return 200 + static_cast<int>(written.Problem().step);
}

class WholeFileWriterTest : public testing::Test {
  protected:
    std::string Folder() const { return folder_.path().toStdString(); }
    QString Path(const char* name) const { return folder_.filePath(name); }
    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void Put(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    // The folder's entries, so that a left-over new file shows.
    QStringList Entries() const {
        return QDir(folder_.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir folder_;
    const std::string backup_ = std::string(1000, 'b') + "\n";
};

TEST_F(WholeFileWriterTest, ReplacesTheFileWholeKeepingItsPermissions) {
    const QString path = Path("a.txt");
    Put(path, QByteArray(5000, 'o'));  // longer than the new one: nothing of it may remain
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    ASSERT_TRUE(WriteWholeFile(path, backup_));
    EXPECT_EQ(Bytes(path).toStdString(), backup_);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(), QStringList{"a.txt"});

    // A new name, and one reached through a symbolic link: the link stays a link.
    ASSERT_TRUE(WriteWholeFile(Path("new.txt"), "new\n"));
    EXPECT_EQ(Bytes(Path("new.txt")), "new\n");
    ASSERT_EQ(::symlink("a.txt", QFile::encodeName(Path("link.txt")).constData()), 0);
    ASSERT_TRUE(WriteWholeFile(Path("link.txt"), "through the link\n"));
    EXPECT_EQ(Bytes(path), "through the link\n");
    EXPECT_TRUE(QFileInfo(Path("link.txt")).isSymLink());
}

TEST_F(WholeFileWriterTest, AWriteCutOffByAFileSizeLimitLeavesTheOldFileAndNoNewOne) {
    Put(Path("old.txt"), "the old backup\n");
    for (const char* name : {"old.txt", "new.txt"}) {
        SCOPED_TRACE(name);
        const QString path = Path(name);
        const int outcome = full_disk::InChild([&] {
            full_disk::LimitFileSize(100);
            return Outcome(WriteWholeFile(path, backup_));
        });
        EXPECT_EQ(outcome, EFBIG);
        EXPECT_EQ(Entries(), QStringList{"old.txt"});
    }
    EXPECT_EQ(Bytes(Path("old.txt")), "the old backup\n");
}

TEST_F(WholeFileWriterTest, AFullFileSystemLeavesTheOldFile) {
    if (const std::string missing = full_disk::WhySmallFileSystemIsMissing(Folder());
        !missing.empty())
        GTEST_SKIP() << missing;
    const QString path = Path("a.txt");
    // Everything happens inside the child's own mount of a 64 KiB tmpfs on the folder.
    const int outcome = full_disk::InChild([&] {
        if (!full_disk::MountSmallFileSystem(Folder(), 64).empty())
            return 250;
        if (!WriteWholeFile(path, "the old backup\n"))
            return 251;
        full_disk::Fill(Folder());
        const int written = Outcome(WriteWholeFile(path, backup_));
        const bool oldKept = Bytes(path) == "the old backup\n";
        const bool nothingLeft = Entries() == QStringList({"a.txt", "filler"});
        return oldKept && nothingLeft ? written : 252;
    });
    EXPECT_EQ(outcome, ENOSPC);
}

TEST_F(WholeFileWriterTest, ANameThatIsNoRegularFileIsRefusedUntouched) {
    const std::string fifo = Folder() + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string socket = Folder() + "/socket";
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::symlink("nowhere", (Folder() + "/dangling").c_str()), 0);
    // As /dev/stdout leads to a pipe.
    ASSERT_EQ(::symlink("fifo", (Folder() + "/to-fifo").c_str()), 0);
    // A device node of its own (the null device) where root may make one: as root, a rename
    // would replace it with a file.
    const bool device = ::mknod((Folder() + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;

    struct Case {
        const char* name;
        FileWriteStep step;
        mode_t type;
    };
    std::vector<Case> cases = {
        {"fifo", FileWriteStep::kNotARegularFile, S_IFIFO},
        {"socket", FileWriteStep::kNotARegularFile, S_IFSOCK},
        {"", FileWriteStep::kNotARegularFile, S_IFDIR},  // the folder itself
        {"dangling", FileWriteStep::kLinkLeadsNowhere, S_IFLNK},
        {"to-fifo", FileWriteStep::kNotARegularFile, S_IFLNK},
    };
    if (device)
        cases.push_back({"null", FileWriteStep::kNotARegularFile, S_IFCHR});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Folder() + "/" + c.name;
        const auto written = WriteWholeFile(QString::fromStdString(path), backup_);
        ASSERT_FALSE(written);
        EXPECT_EQ(written.Problem().step, c.step);
        struct stat status {};
        ASSERT_EQ(::lstat(path.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & S_IFMT, c.type);
    }
    ::close(listener);
    EXPECT_FALSE(WriteWholeFile("", backup_));
}

TEST_F(WholeFileWriterTest, RootWritingOverAUsersFileKeepsItsOwner) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "not root: only root can write a file that another user then owns";
    constexpr uid_t kUser = 65534;  // nobody
    constexpr gid_t kGroup = 65534;
    const QString path = Path("users.txt");
    Put(path, "the user's backup\n");
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::chown(name.constData(), kUser, kGroup), 0);
    ASSERT_TRUE(WriteWholeFile(path, backup_));
    struct stat status {};
    ASSERT_EQ(::stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_uid, kUser);
    EXPECT_EQ(status.st_gid, kGroup);
    EXPECT_EQ(Bytes(path).toStdString(), backup_);

    // A user who may rename in the folder but cannot give the new file root's ownership does
    // not replace root's file.
    Put(Path("roots.txt"), "root's backup\n");
    ASSERT_EQ(::chmod(Folder().c_str(), 0777), 0);
    const QString roots = Path("roots.txt");
    const int outcome = full_disk::InChild([&] {
        if (::setgid(kGroup) != 0 || ::setuid(kUser) != 0)
            return 250;
        return Outcome(WriteWholeFile(roots, backup_));
    });
    EXPECT_EQ(outcome, 200 + static_cast<int>(FileWriteStep::kKeepOwner));
    EXPECT_EQ(Bytes(roots), "root's backup\n");
    EXPECT_EQ(Entries(), QStringList({"roots.txt", "users.txt"}));
}

}  // namespace
