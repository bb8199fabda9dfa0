#pragma once
// A local-socket relay between the program's device library and a remote-sim process that
// writes down every request and whether it succeeded, so that a test sees from outside which
// calls a running program made, without the program knowing.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "libzorvik/wire.h"

struct RelayedCall {
    wire::Message request;
    bool succeeded = false;
};

class RecordingProxy {
  public:
    // Listens on listenPath and passes each connection on to upstreamPath.
    RecordingProxy(std::string listenPath, std::string upstreamPath);
    ~RecordingProxy();

    bool Start();
    std::vector<RelayedCall> Calls() const;

  private:
    void AcceptLoop();
    void Relay(int client);

    std::string listenPath_;
    std::string upstreamPath_;
    int listenFd_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    // Guards relayThreads_ and calls_.
    mutable std::mutex mutex_;
    std::vector<std::thread> relayThreads_;
    std::vector<RelayedCall> calls_;
};
