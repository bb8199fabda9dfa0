#pragma once
// The serving loop of remote-sim: one thread, one poll over the listening socket and every
// connection (libzorvik keeps one open; each command line command opens its own). Each
// connection's bytes are gathered as they come, so a client that sends half a request, or
// takes its reply slowly, holds up no other; a whole request is answered at once, so calls
// are still served one at a time, as a real remote does.
//
// Any local process of the user may connect, so no client may hold the server: a connection
// silent past the client time-out (idle, or stopped half-way through a request or its reply)
// is closed, and when connections run out the least recently active one makes room.

#include <chrono>
#include <string>
#include <vector>

#include "common/result.h"
#include "sim/remote_sim_commands.h"

class RemoteSimServer {
  public:
    RemoteSimServer(const RemoteSimCommands& commands, ServerState& state,
                    std::chrono::milliseconds clientTimeout);
    ~RemoteSimServer();
    RemoteSimServer(const RemoteSimServer&) = delete;
    RemoteSimServer& operator=(const RemoteSimServer&) = delete;

    // Binds and listens on path, which must not exist; the socket is only the user's.
    Result<Done> Listen(const std::string& path);
    // Serves until Stop; then closes every connection and removes the socket file.
    void Run();
    // Ends Run; safe from a signal handler.
    void Stop();

  private:
    struct Client {
        int fd = -1;
        std::string received;  // the bytes of requests not yet answered
        std::string reply;     // what is left to send of the reply
        wire::Clock::time_point lastActive;
    };

    void Accept(wire::Clock::time_point now);
    // false when the client is to be closed.
    bool Receive(Client& client);
    bool SendReply(Client& client);
    // Answers the first whole request in client.received, if there is one; false when the
    // client sent something that is no request.
    bool AnswerWhole(Client& client);
    void CloseLeastActive();
    int PollTimeoutMs(wire::Clock::time_point now) const;

    const RemoteSimCommands& commands_;
    ServerState& state_;
    const std::chrono::milliseconds clientTimeout_;
    std::string path_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::vector<Client> clients_;
    // While accept fails for want of resources (EMFILE and the like) the listening socket stays
    // readable; it is left out of the poll until then, instead of spinning on it.
    wire::Clock::time_point acceptPausedUntil_{};
};
