// `remote-sim check`: whether the serving remote's memory keeps the invariants that every
// change of the program keeps (sim/remote_image_check.h). Prints "consistent" and exits 0 when
// they hold, otherwise one line per finding and exits 1; an entry in use that no key points at
// is printed as a warning and does not change the exit status.
#include <CLI/CLI.hpp>
#include <string>

#include "sim/remote_image_check.h"
#include "sim/remote_sim_commands.h"
#include "sim/simulated_remote.h"

namespace {

constexpr char kConsistent[] = "consistent";
constexpr char kWarning[] = "warning: ";

wire::Message Check(ServerState& state, const wire::Message&) {
    const RemoteMemoryCheck check = CheckRemoteMemory(state.remote.Image());
    std::string text;
    for (const std::string& finding : check.findings)
        text += finding + "\n";
    for (const std::string& warning : check.warnings)
        text += kWarning + warning + "\n";
    if (!check.Consistent())
        return FailedReply(text);
    return OkReply(text + kConsistent + "\n");
}

int RunCheck(const CommandContext& context) {
    const auto reply = context.Request({"check"}, std::chrono::seconds(5));
    if (!reply || reply->empty()) {
        context.err << "remote-sim: no simulated remote answers on " << context.socketPath
                    << " (start one with: remote-sim serve)\n";
        return 1;
    }
    // The findings are the command's answer, not a complaint about its use: both go to out.
    context.out << (reply->size() > 1 ? (*reply)[1] : std::string());
    return (*reply)[0] == wire::kReplyOk ? 0 : 1;
}

}  // namespace

void AddMemoryCheckCommand(RemoteSimCommands& commands) {
    commands.AddRequest("check", Check);
    commands.AddCommand(
        {"check",
         "Checks the remote's memory: every key holding a code through the code table points\n"
         "at an entry in use; every entry in use lies inside the code area; no unit is claimed\n"
         "by two entries; the bitmap marks exactly the units of the entries in use. Prints\n"
         "\"consistent\" (exit 0) or one line per finding (exit 1). An entry in use that no key\n"
         "points at is printed as a warning (exit 0).",
         [](CLI::App&, CommandContext& context) -> CommandRun {
             return [&context] { return RunCheck(context); };
         }});
}
