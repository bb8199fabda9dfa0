#pragma once
// remote-sim as the tests run it: a server on a private socket with its own image file, and
// single commands with their output.

#include <sys/types.h>

#include <string>
#include <vector>

// A private folder for one test's socket and image, removed at the end. Short, so that the
// socket path fits a local socket address.
class TestFolder {
  public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

struct CommandResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `remote-sim ARGS...` with KEYLEARN_REMOTE_SOCKET set to socketPath, feeding input on
// its standard input, and waits for it.
CommandResult RunRemoteSim(const std::vector<std::string>& args, const std::string& socketPath,
                           const std::string& input = {});

// `remote-sim serve --image IMAGE` in the background.
class RemoteSimServerProcess {
  public:
    RemoteSimServerProcess(std::string socketPath, std::string imagePath, std::string logPath);
    ~RemoteSimServerProcess();
    RemoteSimServerProcess(const RemoteSimServerProcess&) = delete;
    RemoteSimServerProcess& operator=(const RemoteSimServerProcess&) = delete;

    // Starts it (with further serve options) and waits until it answers; false when it ended
    // or never answered.
    bool Start(const std::vector<std::string>& options = {});
    // Ends it with the signal and waits for it; gives its exit status as waitpid reports it.
    int Stop(int signal);
    bool Running() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // What it printed so far.
    std::string Log() const;

  private:
    std::string socketPath_;
    std::string imagePath_;
    std::string logPath_;
    pid_t pid_ = -1;
};

// Whether a remote-sim answers a status request on the socket.
bool RemoteSimAnswers(const std::string& socketPath);
