// remote-sim: the simulated remote as its own process, and the command line that drives it.
#include <signal.h>

#include <iostream>
#include <string>
#include <vector>

#include "sim/ir_commands.h"
#include "sim/remote_sim_commands.h"

namespace {

void PrintHelp(const RemoteSimCommands& commands, std::ostream& out) {
    out << "usage: remote-sim COMMAND [ARGUMENTS]\n\n"
           "The simulated remote control. `serve` runs it; the other commands drive the one\n"
           "that serves on the socket $KEYLEARN_REMOTE_SOCKET (default: keylearn-remote.sock in\n"
           "$XDG_RUNTIME_DIR, else /tmp/keylearn-$UID/remote.sock).\n\n";
    for (const auto& command : commands.Commands()) {
        out << "  " << command.name << (command.usage.empty() ? "" : " ") << command.usage << '\n';
        std::string summary = command.summary;
        for (std::size_t at = 0; at < summary.size();) {
            const auto end = summary.find('\n', at);
            out << "      " << summary.substr(at, end - at) << '\n';
            at = end == std::string::npos ? summary.size() : end + 1;
        }
    }
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
    AddIrCommands(commands);
    // Further command groups register here.

    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
        PrintHelp(commands, args.empty() ? std::cerr : std::cout);
        return args.empty() ? 2 : 0;
    }
    const CommandLineCommand* command = commands.FindCommand(args[0]);
    if (command == nullptr) {
        std::cerr << "remote-sim: unknown command " << args[0] << " (see remote-sim help)\n";
        return 2;
    }
    CommandContext context{wire::RemoteSocketPath(), std::cout, std::cerr, commands};
    return command->run(context, {args.begin() + 1, args.end()});
}
