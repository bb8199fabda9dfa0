#include "tests/app/recording_proxy.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace {

constexpr auto kCallTimeout = std::chrono::seconds(5);
constexpr int kPollMs = 50;

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, kPollMs) > 0;
}

}  // namespace

RecordingProxy::RecordingProxy(std::string listenPath, std::string upstreamPath)
    : listenPath_(std::move(listenPath)), upstreamPath_(std::move(upstreamPath)) {}

RecordingProxy::~RecordingProxy() {
    stopping_ = true;
    if (acceptThread_.joinable())
        acceptThread_.join();
    std::vector<std::thread> relays;
    {
        std::lock_guard lock(mutex_);
        relays.swap(relayThreads_);
    }
    for (std::thread& t : relays)
        t.join();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    ::unlink(listenPath_.c_str());
}

bool RecordingProxy::Start() {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (listenPath_.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, listenPath_.c_str(), listenPath_.size() + 1);
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0 ||
        ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 8) != 0)
        return false;
    acceptThread_ = std::thread([this] { AcceptLoop(); });
    return true;
}

std::vector<RelayedCall> RecordingProxy::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void RecordingProxy::AcceptLoop() {
    while (!stopping_) {
        if (!Readable(listenFd_))
            continue;
        const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0)
            continue;
        std::lock_guard lock(mutex_);
        relayThreads_.emplace_back([this, client] { Relay(client); });
    }
}

void RecordingProxy::Relay(int client) {
    const int upstream = wire::ConnectLocalSocket(upstreamPath_, wire::Clock::now() + kCallTimeout);
    while (upstream >= 0 && !stopping_) {
        if (!Readable(client))
            continue;
        wire::Message request;
        wire::Message reply;
        if (wire::ReceiveFrame(client, request, wire::Clock::now() + kCallTimeout) !=
                wire::IoResult::kOk ||
            wire::SendAll(upstream, wire::EncodeFrame(request),
                          wire::Clock::now() + kCallTimeout) != wire::IoResult::kOk ||
            wire::ReceiveFrame(upstream, reply, wire::Clock::now() + kCallTimeout) !=
                wire::IoResult::kOk)
            break;
        {
            std::lock_guard lock(mutex_);
            calls_.push_back({request, !reply.empty() && reply[0] == wire::kReplyOk});
        }
        if (wire::SendAll(client, wire::EncodeFrame(reply), wire::Clock::now() + kCallTimeout) !=
            wire::IoResult::kOk)
            break;
    }
    if (upstream >= 0)
        ::close(upstream);
    ::close(client);
}
