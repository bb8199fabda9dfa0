// libFuzzer target: any bytes the socket may bring libzorvik, read as the reply to a call,
// end in a whole message or a clean failure, never a crash; a message read is exactly what
// its frame says (encoding it again gives the same bytes).
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "libzorvik/wire.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The bytes as a frame body.
void CheckBody(std::string_view bytes) {
    wire::Message message;
    if (!wire::DecodeFrameBody(bytes, message))
        return;
    const std::string frame = wire::EncodeFrame(message);
    Check(frame.size() == bytes.size() + wire::kFrameHeaderSize);
    Check(std::string_view(frame).substr(wire::kFrameHeaderSize) == bytes);
}

// The bytes as they come down the socket, the sender gone after them: the read takes what
// the length prefix says, and no more than a frame may hold.
void CheckReceived(std::string_view bytes) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0)
        return;
    // Inputs stay far below the socket's buffer (-max_len), so one send takes them whole.
    const ssize_t sent = ::send(fds[1], bytes.data(), bytes.size(), MSG_NOSIGNAL);
    ::close(fds[1]);
    if (sent == static_cast<ssize_t>(bytes.size())) {
        wire::Message message;
        const wire::IoResult result = wire::ReceiveFrame(fds[0], message, wire::Clock::now());
        if (result == wire::IoResult::kOk) {
            Check(bytes.size() >= wire::kFrameHeaderSize);
            const std::size_t size = wire::FrameBodySize(bytes);
            Check(size <= bytes.size() - wire::kFrameHeaderSize);
            Check(wire::EncodeFrame(message) == bytes.substr(0, wire::kFrameHeaderSize + size));
        }
    }
    ::close(fds[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckBody(bytes);
    CheckReceived(bytes);
    return 0;
}
