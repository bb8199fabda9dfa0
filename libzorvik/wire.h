#pragma once
// How libzorvik, the remote-sim command line and the remote-sim server talk over the local
// socket: each message is a list of byte strings in one frame,
//
//   u32 body length, then the body: u32 field count, then per field u32 length and its bytes
//
// (little-endian). A request's first field names the call or command; a reply's first field is
// "1" for success or "0" for failure, followed by the call's text (or an error message).
// Plain POSIX, so that libzorvik stays free of Qt.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace wire {

using Message = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// Bigger frames are refused before anything is allocated for them.
inline constexpr std::size_t kMaxFrameSize = 4 * 1024 * 1024;

inline constexpr char kReplyOk[] = "1";
inline constexpr char kReplyFailed[] = "0";

// The length prefix before each frame's body.
inline constexpr std::size_t kFrameHeaderSize = 4;

std::string EncodeFrame(const Message& message);
// The body length a frame's header states (header holds kFrameHeaderSize bytes).
std::size_t FrameBodySize(std::string_view header);
// The body of one frame (without its length prefix); false when it is malformed.
bool DecodeFrameBody(std::string_view body, Message& message);

// The socket's path: $KEYLEARN_REMOTE_SOCKET when set, otherwise keylearn-remote.sock in
// $XDG_RUNTIME_DIR, otherwise /tmp/keylearn-<uid>/remote.sock.
std::string RemoteSocketPath();
// The folder that holds the default path when there is no runtime folder.
std::string FallbackSocketFolder();
// The default path when there is no runtime folder: remote.sock in FallbackSocketFolder().
std::string FallbackSocketPath();

// The fallback folder lies in the shared /tmp, where anyone may have made it first: only a
// folder of this user's alone keeps another user from standing in for the remote (or from
// listening to it). It must be a folder itself, not a symbolic link to one (lstat), be owned
// by this user, and give others no access at all.
enum class FolderCheck { kPrivate, kUnreadable, kNotPrivate };
// kUnreadable leaves errno saying why.
FolderCheck CheckPrivateFolder(const std::string& folder);
// Whether a client may connect to path: any path but the fallback one, which only while its
// folder is private.
bool SocketPathTrusted(const std::string& path);

enum class IoResult { kOk, kClosed, kTimeout, kFailed };

// Whether the process at the other end of a connected local socket runs as this user. A
// socket path can be taken by anyone who may write its folder, and what is said to the
// remote (the user's writes) must not reach another user's process.
bool PeerIsThisUser(int fd);

// Connects a non-blocking stream socket to path; -1 on failure (errno tells why, EACCES for a
// server of another user, to which nothing has been sent).
int ConnectLocalSocket(const std::string& path, Clock::time_point deadline);
// Sends all of data on a non-blocking socket before the deadline; never raises SIGPIPE.
IoResult SendAll(int fd, std::string_view data, Clock::time_point deadline);
// Receives one whole frame before the deadline.
IoResult ReceiveFrame(int fd, Message& message, Clock::time_point deadline);

}  // namespace wire
