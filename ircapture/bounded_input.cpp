#include "ircapture/bounded_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace bounded_input {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::string TooLarge(const std::string& path, std::size_t maxBytes) {
    return InputName(path) + " holds more than " + std::to_string(maxBytes) +
           " bytes, more than any input this command reads";
}

// Reads fd until its end, the first line break (kFirstLine) or past maxBytes.
bool ReadCapped(int fd, const std::string& path, std::size_t maxBytes, Extent extent,
                std::string& text, std::string& error) {
    std::string read;
    char chunk[kChunk];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = "cannot read " + InputName(path) + ": " + std::strerror(errno);
            return false;
        }
        if (n == 0)
            break;
        read.append(chunk, static_cast<std::size_t>(n));
        if (extent == Extent::kFirstLine) {
            const auto lineEnd = read.find('\n', read.size() - static_cast<std::size_t>(n));
            if (lineEnd != std::string::npos) {
                read.resize(lineEnd + 1);
                break;
            }
        }
        if (read.size() > maxBytes) {
            error = TooLarge(path, maxBytes);
            return false;
        }
    }
    if (read.size() > maxBytes) {
        error = TooLarge(path, maxBytes);
        return false;
    }
    text = std::move(read);
    return true;
}

}  // namespace

std::string InputName(const std::string& path) {
    return path == "-" ? std::string("the standard input") : path;
}

bool ReadInput(const std::string& path, std::size_t maxBytes, Extent extent, std::string& text,
               std::string& error) {
    if (path == "-")
        return ReadCapped(STDIN_FILENO, path, maxBytes, extent, text, error);
    // Non-blocking, so that a FIFO without a writer is refused below instead of waited for.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0;
    if (!ok) {
        error = "cannot read " + path + ": " + std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        error = path + " is a folder, not a file";
        ok = false;
    } else if (!S_ISREG(info.st_mode)) {
        error = path +
                " is not a regular file (a device, pipe or socket); give such an input "
                "on the standard input with -";
        ok = false;
    } else if (extent == Extent::kWhole && static_cast<std::size_t>(info.st_size) > maxBytes) {
        error = TooLarge(path, maxBytes);
        ok = false;
    }
    // A regular file read blocking or not reads the same; the size is checked again while
    // reading, as a file may grow, and some (in /proc) state no size at all.
    ok = ok && ReadCapped(fd, path, maxBytes, extent, text, error);
    ::close(fd);
    return ok;
}

}  // namespace bounded_input
