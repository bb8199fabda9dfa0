// `remote-sim serve`: loads (or first creates) the image file, takes the socket and serves
// until interrupted. Every successful write is saved to the image before it is answered.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "lirc/lirc_device.h"
#include "lirc/lirc_messages.h"
#include "sim/infrared_eye.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_file.h"
#include "sim/remote_sim_commands.h"
#include "sim/remote_sim_server.h"
#include "sim/simulated_remote.h"

namespace {

RemoteSimServer* gServer = nullptr;

void StopOnSignal(int) {
    if (gServer != nullptr)
        gServer->Stop();
}

// Makes the folder and its parents, the new ones for the user alone.
bool MakeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// The folder of the socket when there is no runtime folder: in /tmp, so it must be the
// user's own and closed to others, or another user could stand in for the remote. libzorvik
// checks the same before it connects.
bool PrivateFolder(const std::string& folder, std::ostream& err) {
    const wire::FolderCheck check =
        MakeFolders(folder) ? wire::CheckPrivateFolder(folder) : wire::FolderCheck::kUnreadable;
    if (check == wire::FolderCheck::kUnreadable) {
        err << "remote-sim: cannot make " << folder << ": " << std::strerror(errno) << '\n';
        return false;
    }
    if (check == wire::FolderCheck::kNotPrivate) {
        err << "remote-sim: " << folder << " is not a folder of this user's alone\n";
        return false;
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// $XDG_DATA_HOME/keylearn/remote-image, or ~/.local/share/keylearn/remote-image.
std::string DefaultImagePath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return std::string(data) + "/keylearn/remote-image";
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0')
        return {};
    return std::string(home) + "/.local/share/keylearn/remote-image";
}

// Whether an image file that exists is one the user means to keep as it is. The mode bits
// count, not only access(): root may write any file, and would replace a 0444 image.
bool ImageReadOnly(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 &&
           ((info.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0);
}

// Saves image as a new file at path, making its folders first.
Result<Done> CreateImage(const RemoteImage& image, const std::string& path) {
    if (!MakeFolders(FolderOf(path)))
        return Failure(std::string(std::strerror(errno)));
    return SaveRemoteImage(image, path);
}

// Loads the image, or makes it from the default remote when the file does not exist yet. A
// file that exists but cannot be read is left alone for the user to look at.
bool LoadOrCreate(const std::string& path, RemoteImage& image, std::ostream& out,
                  std::ostream& err) {
    if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) {
        image = DefaultRemoteImage();
        const Result<Done> created = CreateImage(image, path);
        if (!created) {
            err << "remote-sim: cannot create the image " << path << ": " << created.Problem()
                << '\n';
            return false;
        }
        out << "remote-sim: created " << path << " from the default remote\n";
        return true;
    }
    Result<RemoteImage> loaded = LoadRemoteImage(path);
    if (!loaded) {
        err << "remote-sim: cannot load the image: " << loaded.Problem()
            << "\nremote-sim: move the file away to start again from the default remote\n";
        return false;
    }
    image = std::move(*loaded);
    return true;
}

// Holds an exclusive lock on path for the rest of the process; false when another holds it.
// fd is the open lock file (or -1 when it could not be opened, errno saying why).
bool HoldLock(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    return true;  // fd stays open, and locked, until the process ends
}

// Holds a lock beside the socket for the server's life, so that two servers starting at once
// cannot both take the socket. The lock file stays; it is empty.
bool LockSocket(const std::string& socketPath, std::ostream& err) {
    const std::string lockPath = socketPath + ".lock";
    int fd = -1;
    if (HoldLock(lockPath, fd))
        return true;
    if (fd < 0)
        err << "remote-sim: cannot open " << lockPath << ": " << std::strerror(errno) << '\n';
    else
        err << "remote-sim: another remote-sim is already serving on " << socketPath << '\n';
    if (fd >= 0)
        ::close(fd);
    return false;
}

// Holds a lock beside the image for the server's life: two servers of one image, on two
// sockets, would each take writes, and the one saved last would silently undo the other's.
// The lock file names the holder, so that a refused server can say which one serves.
bool LockImage(const std::string& imagePath, const std::string& socketPath, bool readOnly,
               std::ostream& err) {
    const std::string lockPath = imagePath + ".lock";
    int fd = -1;
    if (HoldLock(lockPath, fd)) {
        const std::string holder = "remote-sim (process " + std::to_string(::getpid()) +
                                   ") serving on " + socketPath + "\n";
        if (::ftruncate(fd, 0) == 0) {
            [[maybe_unused]] const ssize_t written = ::write(fd, holder.data(), holder.size());
        }
        return true;
    }
    // A read-only image in a folder closed to us: no server can change it, so none loses a
    // write to another.
    if (fd < 0 && readOnly && (errno == EACCES || errno == EROFS || errno == EPERM))
        return true;
    if (fd < 0) {
        err << "remote-sim: cannot open " << lockPath << ": " << std::strerror(errno) << '\n';
        return false;
    }
    char text[512] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    ::close(fd);
    std::string holder(text, n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!holder.empty() && holder.back() == '\n')
        holder.pop_back();
    err << "remote-sim: the image " << imagePath << " is already served by "
        << (holder.empty() ? std::string("another remote-sim") : holder)
        << "; one image takes one server, or one server's writes would undo the other's\n";
    return false;
}

// Removes a socket file that no server answers on; refuses to touch anything else.
bool ClearStaleSocket(const std::string& path, std::ostream& err) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return true;
    if (!S_ISSOCK(info.st_mode)) {
        err << "remote-sim: " << path << " exists and is not a socket; not touching it\n";
        return false;
    }
    ::unlink(path.c_str());
    return true;
}

struct ServeArguments {
    std::string imagePath;
    int clientTimeoutSeconds = 10;
    int callDelayMs = 0;
    int writeReplyDelayMs = 0;
    std::string receiverPath;  // empty: the remote hears only its command line
};

int Serve(CommandContext& context, const ServeArguments& args) {
    const std::string imagePath = args.imagePath.empty() ? DefaultImagePath() : args.imagePath;
    if (imagePath.empty()) {
        context.err << "remote-sim: no HOME to keep the image in; use --image FILE\n";
        return 1;
    }
    // A receiver that cannot serve is told before anything is taken.
    std::unique_ptr<lirc::Receiver> receiver;
    if (!args.receiverPath.empty()) {
        lirc::ReceiverOpening opened = lirc::OpenReceiver(args.receiverPath);
        if (!opened.receiver) {
            context.err << "remote-sim: "
                        << lirc::DescribeRefusal(args.receiverPath, opened.refusal,
                                                 lirc::Use::kReceiving)
                        << '\n';
            return 1;
        }
        receiver = std::move(opened.receiver);
    }
    const std::string& socketPath = context.socketPath;
    if (context.Request({"status"}, std::chrono::milliseconds(500))) {
        context.err << "remote-sim: another remote-sim is already serving on " << socketPath
                    << '\n';
        return 1;
    }
    if (socketPath == wire::FallbackSocketPath() &&
        !PrivateFolder(wire::FallbackSocketFolder(), context.err))
        return 1;
    const bool readOnly = ImageReadOnly(imagePath);
    if (!MakeFolders(FolderOf(imagePath))) {
        context.err << "remote-sim: cannot make the image's folder " << FolderOf(imagePath) << ": "
                    << std::strerror(errno) << '\n';
        return 1;
    }
    RemoteImage image;
    if (!LockSocket(socketPath, context.err) ||
        !LockImage(imagePath, socketPath, readOnly, context.err))
        return 1;
    // Under the image's lock no save of another server is under way: what is left of a save
    // is from one that was interrupted.
    const int removed = RemoveInterruptedSaves(imagePath);
    if (removed > 0)
        context.out << "remote-sim: removed " << removed
                    << " temporary file(s) left beside the image by an interrupted save\n";
    if (!ClearStaleSocket(socketPath, context.err) ||
        !LoadOrCreate(imagePath, image, context.out, context.err))
        return 1;
    if (readOnly)
        context.out << "remote-sim: " << ReadOnlyImageError(imagePath) << '\n';

    SimulatedRemote remote(std::move(image));
    // libzorvik does the waiting for a capture, so this one thread never blocks on it.
    remote.SetCollectWait(std::chrono::milliseconds(0));
    remote.SetCallDelay(std::chrono::milliseconds(args.callDelayMs));
    remote.SetWriteReplyDelay(std::chrono::milliseconds(args.writeReplyDelayMs));
    ServerState state{remote, imagePath, socketPath, readOnly, {}};
    // Guards context.out and context.err while the infrared eye's thread runs beside the
    // server's: each line goes out whole.
    std::mutex outputMutex;
    remote.SetWriteObserver([&state, &context, &outputMutex](const RemoteImage& changed) {
        if (state.readOnly) {
            state.saveError = ReadOnlyImageError(state.imagePath);
        } else {
            const Result<Done> saved = SaveRemoteImage(changed, state.imagePath);
            if (saved)
                return true;
            state.saveError = saved.Problem();
        }
        const std::lock_guard lock(outputMutex);
        context.err << "remote-sim: a write was refused: " << state.saveError << '\n';
        return false;
    });
    RemoteSimServer server(context.commands, state,
                           std::chrono::seconds(args.clientTimeoutSeconds));
    const Result<Done> listening = server.Listen(socketPath);
    if (!listening) {
        context.err << "remote-sim: " << listening.Problem() << '\n';
        return 1;
    }
    gServer = &server;
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Past a file-size limit a save fails (EFBIG) and the write is refused, with its cause;
    // the server goes on instead of ending.
    signal(SIGXFSZ, SIG_IGN);
    context.out << "remote-sim: serving " << imagePath << " on " << socketPath << std::endl;
    std::unique_ptr<InfraredEye> eye;
    if (receiver) {
        const std::string setup = lirc::DescribeSetup(*receiver);
        eye = std::make_unique<InfraredEye>(args.receiverPath, std::move(receiver), remote,
                                            [&context, &outputMutex](const std::string& line) {
                                                const std::lock_guard lock(outputMutex);
                                                context.out << line << std::endl;
                                            });
        if (!eye->Start()) {
            context.err << "remote-sim: cannot start reading " << args.receiverPath << '\n';
            gServer = nullptr;
            return 1;
        }
        const std::lock_guard lock(outputMutex);
        context.out << "remote-sim: the remote's infrared eye is " << args.receiverPath << " ("
                    << setup << "); it hears only in capture mode" << std::endl;
    }
    server.Run();
    // The eye ends before the remote it hands captures to.
    eye.reset();
    gServer = nullptr;
    context.out << "remote-sim: stopped" << std::endl;
    return 0;
}

CommandRun DefineServe(CLI::App& command, CommandContext& context) {
    auto args = std::make_shared<ServeArguments>();
    command.add_option("--image", args->imagePath,
                       "the image file (default $XDG_DATA_HOME/keylearn/remote-image)");
    command
        .add_option("--client-timeout", args->clientTimeoutSeconds,
                    "seconds a connection may stay silent, or leave a request or a reply "
                    "half-sent, before it is closed (default 10)")
        ->check(CLI::Range(1, 3600));
    // A slow or flaky link, as a program must expect of real hardware.
    command
        .add_option("--call-delay", args->callDelayMs,
                    "milliseconds every call takes before it is answered (a slow link)")
        ->check(CLI::Range(0, 10000));
    command
        .add_option("--write-reply-delay", args->writeReplyDelayMs,
                    "milliseconds a write's answer comes after the write is stored: past "
                    "libzorvik's 500 ms the program sees a failure although the write landed")
        ->check(CLI::Range(0, 10000));
    command.add_option("--receiver", args->receiverPath,
                       "the remote's infrared eye: a LIRC receiver (/dev/lircN), or a FIFO or "
                       "file holding a recorded mode2 stream; heard only in capture mode");
    return [&context, args] { return Serve(context, *args); };
}

}  // namespace

void AddServeCommand(RemoteSimCommands& commands) {
    commands.AddCommand({"serve",
                         "Serves the remote in the foreground until interrupted. The image file\n"
                         "(default $XDG_DATA_HOME/keylearn/remote-image) is made from the default\n"
                         "remote when it does not exist, and saved after every write; a read-only\n"
                         "one is served with every change refused. With --receiver, what a real\n"
                         "infrared receiver hears while the remote is in capture mode is captured.",
                         DefineServe});
}
