#include "sim/remote_sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Beyond this many connections the least recently active one is closed for a new one:
// libzorvik needs one, each command line command one for a moment.
constexpr std::size_t kMaxClients = 256;
// How long accept rests after failing for want of descriptors or memory.
constexpr std::chrono::milliseconds kAcceptPause{100};
// Read in pieces of this size; a request is rarely longer.
constexpr std::size_t kReceiveChunk = 64 * 1024;

bool WouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

}  // namespace

RemoteSimServer::RemoteSimServer(const RemoteSimCommands& commands, ServerState& state,
                                 std::chrono::milliseconds clientTimeout)
    : commands_(commands), state_(state), clientTimeout_(clientTimeout) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
    }
}

RemoteSimServer::~RemoteSimServer() {
    for (const Client& client : clients_)
        ::close(client.fd);
    if (listenFd_ >= 0)
        ::close(listenFd_);
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

Result<Done> RemoteSimServer::Listen(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return Failure("the socket path is too long: " + path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // The socket file is made for the user alone.
    const mode_t oldMask = ::umask(077);
    const bool bound =
        listenFd_ >= 0 &&
        ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound || ::listen(listenFd_, 64) != 0)
        return Failure("cannot listen on " + path + ": " + std::strerror(errno));
    path_ = path;
    return Done{};
}

void RemoteSimServer::Stop() {
    const char byte = 1;
    if (wakeWrite_ >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &byte, 1);
    }
}

void RemoteSimServer::CloseLeastActive() {
    if (clients_.empty())
        return;
    const auto oldest = std::min_element(
        clients_.begin(), clients_.end(),
        [](const Client& a, const Client& b) { return a.lastActive < b.lastActive; });
    ::close(oldest->fd);
    clients_.erase(oldest);
}

void RemoteSimServer::Accept(wire::Clock::time_point now) {
    // A few at a time, so that a flood of connections cannot starve the clients already in.
    for (int i = 0; i < 16; ++i) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: an idle client gives its own up, and accept rests.
                CloseLeastActive();
                acceptPausedUntil_ = now + kAcceptPause;
            }
            return;
        }
        if (clients_.size() >= kMaxClients)
            CloseLeastActive();
        clients_.push_back({fd, {}, {}, now});
    }
}

bool RemoteSimServer::AnswerWhole(Client& client) {
    if (!client.reply.empty() || client.received.size() < wire::kFrameHeaderSize)
        return true;
    const std::size_t size = wire::FrameBodySize(client.received);
    if (size > wire::kMaxFrameSize)
        return false;
    if (client.received.size() < wire::kFrameHeaderSize + size)
        return true;
    wire::Message request;
    if (!wire::DecodeFrameBody(
            std::string_view(client.received).substr(wire::kFrameHeaderSize, size), request))
        return false;
    client.received.erase(0, wire::kFrameHeaderSize + size);
    client.reply = wire::EncodeFrame(commands_.Answer(state_, request));
    return SendReply(client);
}

bool RemoteSimServer::Receive(Client& client) {
    char chunk[kReceiveChunk];
    const ssize_t n = ::recv(client.fd, chunk, sizeof chunk, 0);
    if (n == 0)
        return false;
    if (n < 0)
        return WouldBlock(errno);
    client.received.append(chunk, static_cast<std::size_t>(n));
    client.lastActive = wire::Clock::now();
    return AnswerWhole(client);
}

bool RemoteSimServer::SendReply(Client& client) {
    while (!client.reply.empty()) {
        const ssize_t n = ::send(client.fd, client.reply.data(), client.reply.size(), MSG_NOSIGNAL);
        if (n < 0)
            return WouldBlock(errno);
        client.reply.erase(0, static_cast<std::size_t>(n));
        client.lastActive = wire::Clock::now();
    }
    // A request that came along with the last one is answered now.
    return AnswerWhole(client);
}

int RemoteSimServer::PollTimeoutMs(wire::Clock::time_point now) const {
    auto wake = wire::Clock::time_point::max();
    for (const Client& client : clients_)
        wake = std::min(wake, client.lastActive + clientTimeout_);
    if (acceptPausedUntil_ > now)
        wake = std::min(wake, acceptPausedUntil_);
    if (wake == wire::Clock::time_point::max())
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

void RemoteSimServer::Run() {
    struct stat bound {};
    const bool haveBound = ::stat(path_.c_str(), &bound) == 0;
    for (;;) {
        auto now = wire::Clock::now();
        const bool accepting = acceptPausedUntil_ <= now;
        std::vector<pollfd> fds{{wakeRead_, POLLIN, 0}, {accepting ? listenFd_ : -1, POLLIN, 0}};
        for (const Client& client : clients_)
            fds.push_back(
                {client.fd, static_cast<short>(client.reply.empty() ? POLLIN : POLLOUT), 0});
        if (::poll(fds.data(), fds.size(), PollTimeoutMs(now)) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            break;
        now = wire::Clock::now();
        // fds[2 + i] belongs to clients_[i]; closed clients are taken out after the walk.
        std::vector<bool> keep(clients_.size(), true);
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            Client& client = clients_[i];
            const short events = fds[i + 2].revents;
            if (events != 0)
                keep[i] = client.reply.empty() ? Receive(client) : SendReply(client);
            if (keep[i] && now - client.lastActive >= clientTimeout_)
                keep[i] = false;
        }
        std::size_t at = 0;
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            if (!keep[i]) {
                ::close(clients_[i].fd);
                continue;
            }
            if (at != i)
                clients_[at] = std::move(clients_[i]);
            ++at;
        }
        clients_.resize(at);
        if (fds[1].revents & POLLIN)
            Accept(now);
    }
    // Remove the socket file only while it is still the one this server made.
    struct stat current {};
    if (haveBound && ::stat(path_.c_str(), &current) == 0 && current.st_ino == bound.st_ino &&
        current.st_dev == bound.st_dev)
        ::unlink(path_.c_str());
}
