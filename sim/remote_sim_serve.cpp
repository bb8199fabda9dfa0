// `remote-sim serve`: loads (or first creates) the image file, takes the socket and serves
// until interrupted. Every successful write is saved to the image before it is answered.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

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

// Loads the image, or makes it from the default remote when the file does not exist yet. A
// file that exists but cannot be read is left alone for the user to look at.
bool LoadOrCreate(const std::string& path, RemoteImage& image, std::ostream& out,
                  std::ostream& err) {
    std::string error;
    if (::access(path.c_str(), F_OK) != 0 && errno == ENOENT) {
        image = DefaultRemoteImage();
        if (!MakeFolders(FolderOf(path)) || !SaveRemoteImage(image, path, error)) {
            err << "remote-sim: cannot create the image " << path << ": "
                << (error.empty() ? std::strerror(errno) : error) << '\n';
            return false;
        }
        out << "remote-sim: created " << path << " from the default remote\n";
        return true;
    }
    if (!LoadRemoteImage(path, image, error)) {
        err << "remote-sim: cannot load the image: " << error
            << "\nremote-sim: move the file away to start again from the default remote\n";
        return false;
    }
    return true;
}

// Holds a lock beside the socket for the server's life, so that two servers starting at once
// cannot both take the socket. The lock file stays; it is empty.
bool LockSocket(const std::string& socketPath, std::ostream& err) {
    const std::string lockPath = socketPath + ".lock";
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        err << "remote-sim: cannot open " << lockPath << ": " << std::strerror(errno) << '\n';
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        err << "remote-sim: another remote-sim is already serving on " << socketPath << '\n';
        ::close(fd);
        return false;
    }
    return true;  // fd stays open, and locked, until the process ends
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

int Serve(CommandContext& context, const std::vector<std::string>& args) {
    std::string imagePath = DefaultImagePath();
    if (args.size() == 2 && args[0] == "--image")
        imagePath = args[1];
    else if (!args.empty())
        return context.UsageError("serve");
    if (imagePath.empty()) {
        context.err << "remote-sim: no HOME to keep the image in; use --image FILE\n";
        return 1;
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
    RemoteImage image;
    if (!LockSocket(socketPath, context.err) || !ClearStaleSocket(socketPath, context.err) ||
        !LoadOrCreate(imagePath, image, context.out, context.err))
        return 1;

    SimulatedRemote remote(std::move(image));
    // libzorvik does the waiting for a capture, so this one thread never blocks on it.
    remote.SetCollectWait(std::chrono::milliseconds(0));
    remote.SetWriteObserver([&imagePath, &context](const RemoteImage& changed) {
        std::string error;
        if (SaveRemoteImage(changed, imagePath, error))
            return true;
        context.err << "remote-sim: a write was refused: " << error << '\n';
        return false;
    });
    ServerState state{remote, imagePath, socketPath};
    RemoteSimServer server(context.commands, state);
    std::string error;
    if (!server.Listen(socketPath, error)) {
        context.err << "remote-sim: " << error << '\n';
        return 1;
    }
    gServer = &server;
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    context.out << "remote-sim: serving " << imagePath << " on " << socketPath << std::endl;
    server.Run();
    gServer = nullptr;
    context.out << "remote-sim: stopped" << std::endl;
    return 0;
}

}  // namespace

void AddServeCommand(RemoteSimCommands& commands) {
    commands.AddCommand({"serve", "[--image FILE]",
                         "Serves the remote in the foreground until interrupted. The image file\n"
                         "(default $XDG_DATA_HOME/keylearn/remote-image) is made from the default\n"
                         "remote when it does not exist, and saved after every write.",
                         Serve});
}
