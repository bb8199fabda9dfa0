// remote-sim: the simulated remote as its own process, and the command line that drives it.
#include <signal.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <string>

#include "sim/ir_commands.h"
#include "sim/remote_sim_commands.h"

namespace {

constexpr char kDescription[] =
    "The simulated remote control. `serve` runs it; the other commands drive the one\n"
    "that serves on the socket $KEYLEARN_REMOTE_SOCKET (default: keylearn-remote.sock in\n"
    "$XDG_RUNTIME_DIR, else /tmp/keylearn-$UID/remote.sock).";

// Every complaint of the parser, named after the program, with where to find the usage.
std::string FailureMessage(const CLI::App* app, const CLI::Error& error) {
    return "remote-sim: " + CLI::FailureMessage::simple(app, error);
}

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
    app.require_subcommand(1);
    app.failure_message(FailureMessage);
    CommandContext context{wire::RemoteSocketPath(), std::cout, std::cerr, commands};
    std::map<std::string, CommandRun> runs;
    for (const auto& command : commands.Commands())
        runs[command.name] =
            command.define(*app.add_subcommand(command.name, command.summary), context);
    app.add_subcommand("help", "Shows this help.");

    const std::string first = argc > 1 ? argv[1] : "";
    if (argc < 2 || first == "help") {
        (argc < 2 ? std::cerr : std::cout) << app.help();
        return argc < 2 ? 2 : 0;
    }
    // CLI11 would only say that a command is needed; name the one it does not know.
    if (first.rfind('-', 0) != 0 && runs.count(first) == 0) {
        std::cerr << "remote-sim: unknown command " << first
                  << "\nRun with --help for more information.\n";
        return 2;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return 2;
    }
    for (const CLI::App* command : app.get_subcommands())
        return runs.at(command->get_name())();
    return 2;
}
