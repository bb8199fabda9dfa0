#pragma once
// remote-sim's command table. A command group registers two kinds of entries:
//   - commands of the command line (`remote-sim NAME ARGS...`), run in the process the user
//     started; each declares its arguments on a CLI11 subcommand, which checks them and
//     writes the help; most send one request to the serving remote-sim and print its answer;
//   - requests that the serving remote-sim answers against its SimulatedRemote.
// remote_sim_main.cpp calls each group's registration function; a new group lives in its own
// file and adds one line there.

#include <chrono>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/result.h"
#include "libzorvik/wire.h"

class SimulatedRemote;

namespace CLI {
class App;
}

// What requests work on inside the serving process.
struct ServerState {
    SimulatedRemote& remote;
    std::string imagePath;
    std::string socketPath;
    // The image file cannot be written: the remote is served, every change refused.
    bool readOnly = false;
    // Why the last write to the image failed, for the reply to the write that caused it.
    std::string saveError;
    // Saves the remote's image to imagePath atomically.
    Result<Done> SaveImage() const;
};

using RequestHandler = std::function<wire::Message(ServerState&, const wire::Message& request)>;

// The refusal of every change while the image is read-only.
std::string ReadOnlyImageError(const std::string& imagePath);

wire::Message OkReply(std::string text = {});
wire::Message FailedReply(std::string text);

class RemoteSimCommands;

// What a command of the command line gets: where the server is, where to print.
struct CommandContext {
    std::string socketPath;
    std::ostream& out;
    std::ostream& err;
    const RemoteSimCommands& commands;

    // The server's reply, or nothing when no remote-sim answers in time.
    std::optional<wire::Message> Request(const wire::Message& request,
                                         std::chrono::milliseconds timeout) const;
    // Sends request and prints the reply's text: on out and 0 for success, on err and 1 for
    // failure or when no remote-sim answers.
    int RequestAndPrint(const wire::Message& request) const;
    // Prints a usage error, as the parser words its own, and gives the exit code 2.
    int UsageError(const std::string& message) const;
};

// What a command runs once its arguments are parsed: the exit status (0 success, 1 a failure,
// 2 wrong usage).
using CommandRun = std::function<int()>;

struct CommandLineCommand {
    std::string name;
    std::string summary;  // one or more lines of help
    // Declares the command's arguments on its subcommand and gives what runs once they are
    // parsed; the parsed values live in what the returned function holds.
    std::function<CommandRun(CLI::App& command, CommandContext& context)> define;
};

class RemoteSimCommands {
  public:
    void AddCommand(CommandLineCommand command);
    void AddRequest(const std::string& name, RequestHandler handler);

    const std::vector<CommandLineCommand>& Commands() const { return commands_; }
    // The reply to a request; an unknown or empty request gets a failure reply.
    wire::Message Answer(ServerState& state, const wire::Message& request) const;

  private:
    std::vector<CommandLineCommand> commands_;
    std::map<std::string, RequestHandler> requests_;
};

// Declares "--bank BB" (two hex digits, default 08) on a command.
void AddBankOption(CLI::App& command, std::string& bank);

// The command groups of remote-sim itself.
void AddDeviceCallRequests(RemoteSimCommands& commands);     // the eight calls of zorvik.h
void AddRemoteControlCommands(RemoteSimCommands& commands);  // status, plug, ..., reset
void AddServeCommand(RemoteSimCommands& commands);           // serve
void AddMemoryWriteCommand(RemoteSimCommands& commands);     // write
void AddMemoryCheckCommand(RemoteSimCommands& commands);     // check
