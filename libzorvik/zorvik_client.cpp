// libzorvik: the device library the program links, speaking to remote-sim over its local
// socket (wire.h). Every entry point is one request and one reply on a single connection,
// made when first needed and made again when remote-sim has restarted. A call that gets no
// answer in time fails, like a remote that does not answer; a reply is copied into the
// caller's buffer only when it fits the buffer size that call site uses.
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "common/device_buffer_sizes.h"
#include "libzorvik/wire.h"
#include "zorvik.h"

// zorvik.h states the buffer sizes for C callers and must stand alone; they are the program's.
static_assert(ZORVIK_VERSION_BUFFER_SIZE == device_buffer::kVersionSize);
static_assert(ZORVIK_IDENTITY_BUFFER_SIZE == device_buffer::kIdentitySize);
static_assert(ZORVIK_CAPTURE_BUFFER_SIZE == device_buffer::kCaptureSize);

namespace {

using wire::IoResult;
using wire::Message;

// Long enough for a loaded machine, short enough that a hung remote-sim is a failed call
// rather than a frozen program.
constexpr std::chrono::milliseconds kCallTimeout{500};
// RCollectCodeInfo waits this long before answering that nothing was captured, so that the
// capture loop, which calls it without pause, does not spin. The wait holds no lock.
constexpr std::chrono::milliseconds kCollectWait{30};
// readdatav20 can never ask for more: 64 KiB of one bank.
constexpr int32_t kMaxUnits = 0x10000 / 8;

class Connection {
  public:
    // The reply to request, or nothing when remote-sim is absent or does not answer in time.
    std::optional<Message> Call(const Message& request) {
        std::lock_guard lock(mutex_);
        const auto deadline = wire::Clock::now() + kCallTimeout;
        const std::string frame = wire::EncodeFrame(request);
        // A connection kept from before may belong to a remote-sim that has since ended; its
        // failure is then worth one more try on a new connection.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const bool reused = fd_ >= 0;
            if (!reused && !Connect(deadline))
                return std::nullopt;
            Message reply;
            IoResult result = wire::SendAll(fd_, frame, deadline);
            if (result == IoResult::kOk)
                result = wire::ReceiveFrame(fd_, reply, deadline);
            if (result == IoResult::kOk)
                return reply;
            // After a timeout or a broken frame a late reply could still arrive: the
            // connection is out of step and never used again.
            Close();
            if (!reused || result != IoResult::kClosed)
                return std::nullopt;
        }
        return std::nullopt;
    }

  private:
    bool Connect(wire::Clock::time_point deadline) {
        const std::string path = wire::RemoteSocketPath();
        // A socket in a folder others can reach may be anyone's: no remote at all, then.
        if (!wire::SocketPathTrusted(path))
            return false;
        fd_ = wire::ConnectLocalSocket(path, deadline);
        return fd_ >= 0;
    }
    void Close() {
        ::close(fd_);
        fd_ = -1;
    }

    // Guards fd_ and keeps each request and its reply together on the one connection: the
    // program calls from its UI thread, the link monitor and the capture thread at once.
    std::mutex mutex_;
    int fd_ = -1;
};

Connection& TheConnection() {
    // Never destroyed: a thread may still call while the program exits.
    static Connection* connection = new Connection;
    return *connection;
}

// The reply's text when the remote answered success with exactly one text.
std::optional<std::string> CallForText(const Message& request) {
    auto reply = TheConnection().Call(request);
    if (!reply || reply->size() != 2 || (*reply)[0] != wire::kReplyOk)
        return std::nullopt;
    return std::move((*reply)[1]);
}

bool CallForSuccess(const Message& request) {
    const auto reply = TheConnection().Call(request);
    return reply && !reply->empty() && (*reply)[0] == wire::kReplyOk;
}

// Puts text into a buffer of size bytes, zero-filling the rest; false (buffer untouched) when
// it does not fit, keeping room for the terminating zero when the text needs one.
bool FillBuffer(char* buffer, std::size_t size, const std::string& text, bool terminated) {
    if (text.size() > (terminated ? size - 1 : size))
        return false;
    std::memcpy(buffer, text.data(), text.size());
    std::memset(buffer + text.size(), 0, size - text.size());
    return true;
}

bool AllGiven(std::initializer_list<const void*> pointers) {
    for (const void* p : pointers) {
        if (p == nullptr)
            return false;
    }
    return true;
}

}  // namespace

zorvik_bool ZORVIK_CALL link_state(void) {
    return CallForSuccess({"link_state"});
}

zorvik_bool ZORVIK_CALL ReadVersion(char* buffer) {
    if (buffer == nullptr)
        return 0;
    const auto text = CallForText({"ReadVersion"});
    return text && FillBuffer(buffer, ZORVIK_VERSION_BUFFER_SIZE, *text, true);
}

zorvik_bool ZORVIK_CALL readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                                    const char* addressLow, const char* memoryBank) {
    if (!AllGiven({buffer, addressHigh, addressLow, memoryBank}) || unitCount < 1 ||
        unitCount > kMaxUnits)
        return 0;
    const auto text = CallForText(
        {"readdatav20", std::to_string(unitCount), addressHigh, addressLow, memoryBank});
    // Exactly 16 characters per unit, and no terminator: the caller sized the buffer so.
    const std::size_t expected =
        device_buffer::kHexCharsPerUnit * static_cast<std::size_t>(unitCount);
    if (!text || text->size() != expected)
        return 0;
    std::memcpy(buffer, text->data(), expected);
    return 1;
}

zorvik_bool ZORVIK_CALL writedatav20(const char* memoryBank, const char* addressHigh,
                                     const char* addressLow, const char* hexData) {
    if (!AllGiven({memoryBank, addressHigh, addressLow, hexData}))
        return 0;
    return CallForSuccess({"writedatav20", memoryBank, addressHigh, addressLow, hexData});
}

zorvik_bool ZORVIK_CALL SetCodeCarrierWave(void) {
    return CallForSuccess({"SetCodeCarrierWave"});
}

zorvik_bool ZORVIK_CALL RCollectCodeInfo(char* buffer) {
    if (buffer == nullptr)
        return 0;
    const auto text = CallForText({"RCollectCodeInfo"});
    if (text && FillBuffer(buffer, ZORVIK_CAPTURE_BUFFER_SIZE, *text, false))
        return 1;
    std::this_thread::sleep_for(kCollectWait);
    return 0;
}

zorvik_bool ZORVIK_CALL RBasicInfo(char* buffer) {
    if (buffer == nullptr)
        return 0;
    const auto text = CallForText({"RBasicInfo"});
    return text && FillBuffer(buffer, ZORVIK_IDENTITY_BUFFER_SIZE, *text, true);
}

zorvik_bool ZORVIK_CALL WCodeTypeData(const char* hexData) {
    if (hexData == nullptr)
        return 0;
    return CallForSuccess({"WCodeTypeData", hexData});
}
