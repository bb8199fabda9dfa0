#include "libzorvik/wire.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace wire {
namespace {

void PutU32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint32_t GetU32(std::string_view in, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return value;
}

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left);
}

// Waits until fd is ready for events or the deadline passes.
IoResult WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, RemainingMs(deadline));
        if (ready > 0)
            return IoResult::kOk;
        if (ready == 0)
            return IoResult::kTimeout;
        if (errno != EINTR)
            return IoResult::kFailed;
    }
}

IoResult ReceiveExactly(int fd, char* out, std::size_t size, Clock::time_point deadline) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::recv(fd, out + done, size - done, 0);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0)
            return IoResult::kClosed;
        if (errno == EINTR)
            continue;
        if (errno == ECONNRESET)
            return IoResult::kClosed;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return IoResult::kFailed;
        const IoResult waited = WaitFor(fd, POLLIN, deadline);
        if (waited != IoResult::kOk)
            return waited;
    }
    return IoResult::kOk;
}

}  // namespace

bool PeerIsThisUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && size == sizeof peer &&
           peer.uid == ::getuid();
}

std::string EncodeFrame(const Message& message) {
    std::string body;
    PutU32(body, static_cast<std::uint32_t>(message.size()));
    for (const auto& field : message) {
        PutU32(body, static_cast<std::uint32_t>(field.size()));
        body += field;
    }
    std::string frame;
    frame.reserve(body.size() + 4);
    PutU32(frame, static_cast<std::uint32_t>(body.size()));
    return frame + body;
}

std::size_t FrameBodySize(std::string_view header) {
    return GetU32(header, 0);
}

bool DecodeFrameBody(std::string_view body, Message& message) {
    if (body.size() < 4)
        return false;
    const std::uint32_t count = GetU32(body, 0);
    std::size_t at = 4;
    // Each field needs at least its length word, which bounds a lying count.
    if (count > (body.size() - at) / 4)
        return false;
    Message fields;
    fields.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (body.size() - at < 4)
            return false;
        const std::uint32_t size = GetU32(body, at);
        at += 4;
        if (size > body.size() - at)
            return false;
        fields.emplace_back(body.substr(at, size));
        at += size;
    }
    if (at != body.size())
        return false;
    message = std::move(fields);
    return true;
}

std::string RemoteSocketPath() {
    const char* configured = std::getenv("KEYLEARN_REMOTE_SOCKET");
    if (configured != nullptr && configured[0] != '\0')
        return configured;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0')
        return std::string(runtime) + "/keylearn-remote.sock";
    return FallbackSocketPath();
}

std::string FallbackSocketFolder() {
    return "/tmp/keylearn-" + std::to_string(::getuid());
}

std::string FallbackSocketPath() {
    return FallbackSocketFolder() + "/remote.sock";
}

FolderCheck CheckPrivateFolder(const std::string& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0)
        return FolderCheck::kUnreadable;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 077) != 0)
        return FolderCheck::kNotPrivate;
    return FolderCheck::kPrivate;
}

bool SocketPathTrusted(const std::string& path) {
    return path != FallbackSocketPath() ||
           CheckPrivateFolder(FallbackSocketFolder()) == FolderCheck::kPrivate;
}

int ConnectLocalSocket(const std::string& path, Clock::time_point deadline) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            if (PeerIsThisUser(fd))
                return fd;
            ::close(fd);
            errno = EACCES;
            return -1;
        }
        // A full backlog answers EAGAIN on local sockets: the server is busy, not gone.
        if (errno == EINTR || (errno == EAGAIN && RemainingMs(deadline) > 0)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
}

IoResult SendAll(int fd, std::string_view data, Clock::time_point deadline) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EPIPE || errno == ECONNRESET))
            return IoResult::kClosed;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return IoResult::kFailed;
        const IoResult waited = WaitFor(fd, POLLOUT, deadline);
        if (waited != IoResult::kOk)
            return waited;
    }
    return IoResult::kOk;
}

IoResult ReceiveFrame(int fd, Message& message, Clock::time_point deadline) {
    char prefix[4];
    const IoResult head = ReceiveExactly(fd, prefix, sizeof prefix, deadline);
    if (head != IoResult::kOk)
        return head;
    const std::uint32_t size = GetU32(std::string_view(prefix, sizeof prefix), 0);
    if (size > kMaxFrameSize)
        return IoResult::kFailed;
    std::string body(size, '\0');
    const IoResult rest = ReceiveExactly(fd, body.data(), body.size(), deadline);
    if (rest != IoResult::kOk)
        return rest;
    return DecodeFrameBody(body, message) ? IoResult::kOk : IoResult::kFailed;
}

}  // namespace wire
