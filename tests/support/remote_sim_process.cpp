#include "tests/support/remote_sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "libzorvik/wire.h"

extern char** environ;

namespace {

std::vector<std::string> EnvironmentWith(const std::string& socketPath) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("KEYLEARN_REMOTE_SOCKET=", 0) != 0)
            env.emplace_back(*e);
    }
    env.push_back("KEYLEARN_REMOTE_SOCKET=" + socketPath);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t Spawn(std::vector<std::string> args, const std::string& socketPath,
            posix_spawn_file_actions_t* actions) {
    args.insert(args.begin(), REMOTE_SIM_PATH);
    auto env = EnvironmentWith(socketPath);
    auto argv = Pointers(args);
    auto envp = Pointers(env);
    pid_t pid = -1;
    if (posix_spawn(&pid, REMOTE_SIM_PATH, actions, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

}  // namespace

TestFolder::TestFolder() {
    char pattern[] = "/tmp/klsim-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    path_ = made != nullptr ? made : "";
}

TestFolder::~TestFolder() {
    std::error_code ignored;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ignored);
}

CommandResult RunRemoteSim(const std::vector<std::string>& args, const std::string& socketPath,
                           const std::string& input) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    const pid_t pid = Spawn(args, socketPath, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    // Input is small enough for the pipe; closing it gives the command its end of file.
    if (!input.empty()) {
        [[maybe_unused]] const ssize_t written = ::write(in[1], input.data(), input.size());
    }
    ::close(in[1]);
    CommandResult result;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0 && ::poll(fds, 2, -1) >= 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    if (pid > 0) {
        const int status = Wait(pid);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return result;
}

RemoteSimServerProcess::RemoteSimServerProcess(std::string socketPath, std::string imagePath,
                                               std::string logPath)
    : socketPath_(std::move(socketPath)),
      imagePath_(std::move(imagePath)),
      logPath_(std::move(logPath)) {}

RemoteSimServerProcess::~RemoteSimServerProcess() {
    if (pid_ > 0)
        Stop(SIGKILL);
}

bool RemoteSimServerProcess::Start(const std::vector<std::string>& options) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logPath_.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::vector<std::string> args{"serve", "--image", imagePath_};
    args.insert(args.end(), options.begin(), options.end());
    pid_ = Spawn(args, socketPath_, &actions);
    posix_spawn_file_actions_destroy(&actions);
    if (pid_ <= 0)
        return false;
    // Generous: a sanitizer build on a busy machine starts slowly.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        if (RemoteSimAnswers(socketPath_))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

int RemoteSimServerProcess::Stop(int signal) {
    if (pid_ <= 0)
        return -1;
    ::kill(pid_, signal);
    const int status = Wait(pid_);
    pid_ = -1;
    return status;
}

std::string RemoteSimServerProcess::Log() const {
    std::ifstream file(logPath_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool RemoteSimAnswers(const std::string& socketPath) {
    const auto deadline = wire::Clock::now() + std::chrono::seconds(2);
    const int fd = wire::ConnectLocalSocket(socketPath, deadline);
    if (fd < 0)
        return false;
    wire::Message reply;
    const bool answered =
        wire::SendAll(fd, wire::EncodeFrame({"status"}), deadline) == wire::IoResult::kOk &&
        wire::ReceiveFrame(fd, reply, deadline) == wire::IoResult::kOk && !reply.empty() &&
        reply[0] == wire::kReplyOk;
    ::close(fd);
    return answered;
}
