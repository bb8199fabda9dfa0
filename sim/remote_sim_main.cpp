// remote-sim: the simulated remote as its own process, and the command line that drives it.
#include <signal.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <string>

#include "common/command_line.h"
#include "sim/ir_commands.h"
#include "sim/remote_sim_commands.h"

namespace {

constexpr char kDescription[] =
    "The simulated remote control. `serve` runs it; the other commands drive the one\n"
    "that serves on the socket $KEYLEARN_REMOTE_SOCKET (default: keylearn-remote.sock in\n"
    "$XDG_RUNTIME_DIR, else /tmp/keylearn-$UID/remote.sock).";

}  // namespace

int main(int argc, char** argv) {
    // A client that goes away mid-reply must not end the server.
    signal(SIGPIPE, SIG_IGN);

    RemoteSimCommands commands;
    AddServeCommand(commands);
    AddRemoteControlCommands(commands);
    AddDeviceCallRequests(commands);
    AddMemoryWriteCommand(commands);
    AddMemoryCheckCommand(commands);
    AddIrCommands(commands);
    // Further command groups register here.

    CLI::App app(kDescription, "remote-sim");
    command_line::Prepare(app, "remote-sim");
    CommandContext context{wire::RemoteSocketPath(), std::cout, std::cerr, commands};
    std::map<std::string, CommandRun> runs;
    for (const auto& command : commands.Commands())
        runs[command.name] =
            command.define(*app.add_subcommand(command.name, command.summary), context);
    return command_line::Run(app, runs, argc, argv);
}
