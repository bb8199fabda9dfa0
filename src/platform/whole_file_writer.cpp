#include "platform/whole_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

Failure<FileWriteProblem> WriteFailure(FileWriteStep step, int errorNumber) {
    return Failure(FileWriteProblem{step, errorNumber});
}

// The file a name stands for, links followed; the old file's status when there is one.
struct Target {
    std::string path;
    bool exists = false;
    struct stat status {};
};

Result<Target, FileWriteProblem> ResolveTarget(const std::string& name) {
    if (name.empty())
        return WriteFailure(FileWriteStep::kLookUp, ENOENT);
    Target target;
    target.path = name;
    struct stat link {};
    if (::lstat(name.c_str(), &link) != 0) {
        if (errno == ENOENT)
            return target;  // a new name
        return WriteFailure(FileWriteStep::kLookUp, errno);
    }
    if (S_ISLNK(link.st_mode)) {
        // /dev/stdout and the like lead to a pipe that has no path of its own.
        struct stat led {};
        if (::stat(name.c_str(), &led) == 0 && !S_ISREG(led.st_mode))
            return WriteFailure(FileWriteStep::kNotARegularFile, 0);
        char* resolved = ::realpath(name.c_str(), nullptr);
        if (!resolved)
            return WriteFailure(FileWriteStep::kLinkLeadsNowhere, errno);
        target.path = resolved;
        std::free(resolved);
    }
    if (::stat(target.path.c_str(), &target.status) != 0)
        return WriteFailure(FileWriteStep::kLookUp, errno);
    if (!S_ISREG(target.status.st_mode))
        return WriteFailure(FileWriteStep::kNotARegularFile, 0);
    target.exists = true;
    return target;
}

// Closes and removes the new file of a write that did not finish.
class NewFile {
  public:
    NewFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~NewFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!kept_)
            ::unlink(path_.c_str());
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }
    // Closes the file; false (errno set) when the close reports a late write error.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    void Keep() { kept_ = true; }

  private:
    int fd_;
    std::string path_;
    bool kept_ = false;
};

// A new, empty file beside target (a hidden name of its own), with the umask's permissions.
Result<int, FileWriteProblem> CreateBeside(const std::string& target, std::string& newPath) {
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        newPath = folder + "." + base + "." +
                  std::to_string(QRandomGenerator::global()->generate()) + ".new";
        const int fd =
            ::open(newPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            return WriteFailure(FileWriteStep::kCreate, errno);
    }
    return WriteFailure(FileWriteStep::kCreate, EEXIST);
}

// Every byte written, or the errno of the write that failed.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0)
            return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// The old file's owner, group and permission bits on the new file.
int KeepOwnerAndMode(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return errno;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return errno;
    // The permission bits alone: a backup is no program, and no set-user or set-group bit.
    if (::fchmod(fd, old.st_mode & 0777) != 0)
        return errno;
    return 0;
}

// Syncs the folder, so that the rename itself survives a crash. A folder that cannot be synced
// (some file systems refuse) leaves the file in place: it is whole either way.
void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

Result<Done, FileWriteProblem> WriteWholeFile(const QString& path, std::string_view bytes) {
    const Result<Target, FileWriteProblem> target =
        ResolveTarget(QFile::encodeName(path).toStdString());
    if (!target)
        return Failure(target.Problem());
    std::string newPath;
    const Result<int, FileWriteProblem> fd = CreateBeside(target->path, newPath);
    if (!fd)
        return Failure(fd.Problem());
    NewFile file(*fd, newPath);
    if (target->exists) {
        if (const int error = KeepOwnerAndMode(file.Fd(), target->status); error != 0)
            return WriteFailure(FileWriteStep::kKeepOwner, error);
    }
    if (const int error = WriteAll(file.Fd(), bytes); error != 0)
        return WriteFailure(FileWriteStep::kWrite, error);
    if (::fsync(file.Fd()) != 0)
        return WriteFailure(FileWriteStep::kSync, errno);
    if (!file.Close())
        return WriteFailure(FileWriteStep::kWrite, errno);
    if (::rename(file.Path().c_str(), target->path.c_str()) != 0)
        return WriteFailure(FileWriteStep::kReplace, errno);
    file.Keep();
    SyncFolderOf(target->path);
    return Done{};
}
