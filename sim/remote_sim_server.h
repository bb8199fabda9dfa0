#pragma once
// The serving loop of remote-sim: one thread, one poll over the listening socket and every
// connection (libzorvik keeps one open; each command line command opens its own). A request
// is read whole, answered, and its reply sent before the next one is looked at, so calls are
// served one at a time, as a real remote does.

#include <string>
#include <vector>

#include "sim/remote_sim_commands.h"

class RemoteSimServer {
  public:
    RemoteSimServer(const RemoteSimCommands& commands, ServerState& state);
    ~RemoteSimServer();
    RemoteSimServer(const RemoteSimServer&) = delete;
    RemoteSimServer& operator=(const RemoteSimServer&) = delete;

    // Binds and listens on path, which must not exist; the socket is only the user's.
    bool Listen(const std::string& path, std::string& error);
    // Serves until Stop; then closes every connection and removes the socket file.
    void Run();
    // Ends Run; safe from a signal handler.
    void Stop();

  private:
    void Accept();
    // false when the connection is to be closed.
    bool Serve(int fd);

    const RemoteSimCommands& commands_;
    ServerState& state_;
    std::string path_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::vector<int> clients_;
};
