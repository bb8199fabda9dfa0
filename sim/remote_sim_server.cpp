#include "sim/remote_sim_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

// More connections than this are refused at once; libzorvik needs one.
constexpr std::size_t kMaxClients = 64;
// A client that starts a request must finish it, and take its reply, within these.
constexpr std::chrono::seconds kReceiveTimeout{1};
constexpr std::chrono::seconds kSendTimeout{2};

}  // namespace

RemoteSimServer::RemoteSimServer(const RemoteSimCommands& commands, ServerState& state)
    : commands_(commands), state_(state) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
    }
}

RemoteSimServer::~RemoteSimServer() {
    for (int fd : clients_)
        ::close(fd);
    if (listenFd_ >= 0)
        ::close(listenFd_);
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

bool RemoteSimServer::Listen(const std::string& path, std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        error = "the socket path is too long: " + path;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // The socket file is made for the user alone.
    const mode_t oldMask = ::umask(077);
    const bool bound =
        listenFd_ >= 0 &&
        ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::umask(oldMask);
    if (!bound || ::listen(listenFd_, 16) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        return false;
    }
    path_ = path;
    return true;
}

void RemoteSimServer::Stop() {
    const char byte = 1;
    if (wakeWrite_ >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(wakeWrite_, &byte, 1);
    }
}

void RemoteSimServer::Accept() {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    if (clients_.size() >= kMaxClients) {
        ::close(fd);
        return;
    }
    clients_.push_back(fd);
}

bool RemoteSimServer::Serve(int fd) {
    wire::Message request;
    if (wire::ReceiveFrame(fd, request, wire::Clock::now() + kReceiveTimeout) !=
        wire::IoResult::kOk)
        return false;
    const wire::Message reply = commands_.Answer(state_, request);
    return wire::SendAll(fd, wire::EncodeFrame(reply), wire::Clock::now() + kSendTimeout) ==
           wire::IoResult::kOk;
}

void RemoteSimServer::Run() {
    struct stat bound {};
    const bool haveBound = ::stat(path_.c_str(), &bound) == 0;
    for (;;) {
        std::vector<pollfd> fds{{wakeRead_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
        for (int fd : clients_)
            fds.push_back({fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents != 0)
            break;
        std::vector<int> closed;
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (fds[i].revents != 0 && !Serve(fds[i].fd))
                closed.push_back(fds[i].fd);
        }
        for (int fd : closed) {
            ::close(fd);
            clients_.erase(std::find(clients_.begin(), clients_.end(), fd));
        }
        if (fds[1].revents & POLLIN)
            Accept();
    }
    // Remove the socket file only while it is still the one this server made.
    struct stat now {};
    if (haveBound && ::stat(path_.c_str(), &now) == 0 && now.st_ino == bound.st_ino &&
        now.st_dev == bound.st_dev)
        ::unlink(path_.c_str());
}
