#pragma once
// A full disk for tests, in two forms: a file-size limit (RLIMIT_FSIZE, with SIGXFSZ ignored so
// that a write past it fails with EFBIG instead of ending the process), which any user can set;
// and, for root, a small tmpfs mounted in a private mount namespace, where a write fails with
// ENOSPC as on a full USB stick. Either is set up in a child process, never in the test process
// itself: InChild runs a function in a forked child, and QProcess::setChildProcessModifier runs
// LimitFileSize before a program starts.

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace full_disk {

// Writes past `bytes` of any file fail from now on, in this process and what it starts.
inline void LimitFileSize(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// What fn returned in a forked child (0 to 255), or -1 when the child did not end by itself.
template <typename Function>
int InChild(Function fn) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(fn());
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Mounts a tmpfs of `kib` KiB on folder, seen by this process alone (call it in a child); the
// reason when it cannot, empty when it is mounted.
inline std::string MountSmallFileSystem(const std::string& folder, int kib) {
    if (::geteuid() != 0)
        return "a tmpfs can be mounted only by root";
    if (::unshare(CLONE_NEWNS) != 0)
        return std::string("no private mount namespace: ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("mounts cannot be made private: ") + std::strerror(errno);
    const std::string options = "size=" + std::to_string(kib) + "k";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return std::string("no tmpfs: ") + std::strerror(errno);
    return {};
}

// Why a small file system cannot be had here (tried in a child), or empty when it can.
inline std::string WhySmallFileSystemIsMissing(const std::string& folder) {
    if (::geteuid() != 0)
        return "not root: a small tmpfs needs root (CI runs as root)";
    int reported[2];
    if (::pipe(reported) != 0)
        return "no pipe";
    InChild([&] {
        const std::string reason = MountSmallFileSystem(folder, 64);
        [[maybe_unused]] const ssize_t told = ::write(reported[1], reason.data(), reason.size());
        return 0;
    });
    ::close(reported[1]);
    std::string reason;
    char text[256];
    for (ssize_t n; (n = ::read(reported[0], text, sizeof text)) > 0;)
        reason.append(text, static_cast<std::size_t>(n));
    ::close(reported[0]);
    return reason;
}

// Fills the file system that folder lies on, with one file in it.
inline void Fill(const std::string& folder) {
    const std::string path = folder + "/filler";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return;
    static const char kBlock[4096] = {};
    while (::write(fd, kBlock, sizeof kBlock) > 0) {
    }
    // The last partial block, byte by byte.
    while (::write(fd, kBlock, 1) == 1) {
    }
    ::close(fd);
}

}  // namespace full_disk
