#include "sim/ir_commands.h"

#include <chrono>
#include <iostream>

#include "converter/hex_text.h"
#include "converter/protocol_request.h"
#include "ircapture/ir_capture_text.h"
#include "sim/key_replay.h"
#include "sim/remote_sim_commands.h"
#include "sim/simulated_remote.h"

namespace {

// The capture is made here and handed to the serving remote like any captured text.
int RunSend(CommandContext& context, const std::vector<std::string>& args) {
    std::string error;
    const auto request = quorvel::ParseProtocolRequest(args, error);
    if (!request) {
        context.err << "remote-sim: " << error << '\n';
        return 2;
    }
    ir_capture::CaptureOptions options;
    std::uint32_t carrier = request->def->carrierHz;
    for (const auto& [option, value] : request->options) {
        if (option == "--carrier" && value.find_first_not_of("0123456789") == std::string::npos &&
            value.size() <= 6) {
            carrier = static_cast<std::uint32_t>(std::stoul(value));
        } else if (option == "--excess" && !value.empty() && value.size() <= 3 &&
                   value.find_first_not_of("0123456789") == std::string::npos) {
            options.markExcessUs = std::stoi(value);
        } else {
            context.err << "remote-sim: send takes --repeats N, --carrier HZ and --excess US, not "
                        << option << ' ' << value << '\n';
            return 2;
        }
    }
    const quorvel::Rendered signal =
        quorvel::Render(*request->def, request->params, request->repeats);
    const auto text = ir_capture::CaptureText(signal.durations, carrier, options);
    if (!text) {
        context.err << "remote-sim: the signal does not fit the remote's capture buffer\n";
        return 1;
    }
    return context.RequestAndPrint({"capture", *text});
}

int RunReplay(CommandContext& context, const std::vector<std::string>& args) {
    const auto code =
        args.size() == 1 && args[0].size() <= 2 ? quorvel::ParseHexDigits(args[0]) : std::nullopt;
    if (!code)
        return context.UsageError("replay");
    return context.RequestAndPrint(
        {"replay", quorvel::HexOfBytes({static_cast<std::uint8_t>(*code)})});
}

wire::Message Replay(ServerState& state, const wire::Message& request) {
    const auto code = request.size() == 2 ? quorvel::ParseHexDigits(request[1]) : std::nullopt;
    if (!code || *code > 0xFF)
        return FailedReply("replay needs a key code of two hex digits");
    const auto replay = ir_capture::ReplayKey(state.remote.Image(), static_cast<int>(*code));
    if (!replay)
        return FailedReply("the remote has no key " + request[1]);
    return OkReply(ir_capture::DescribeReplay(static_cast<int>(*code), *replay));
}

}  // namespace

void AddIrCommands(RemoteSimCommands& commands) {
    commands.AddRequest("replay", Replay);
    commands.AddCommand(
        {"send", "PROTOCOL NAME=VALUE... [--repeats N] [--carrier HZ] [--excess US]",
         "Fires an infrared signal at the remote, as a receiver captures it: one key press of\n"
         "PROTOCOL (" +
             quorvel::ProtocolNames() +
             ")\n"
             "with parameters D, S, F, T (E, M, N for Kaseikyo) in decimal, N repeat frames, the\n"
             "carrier in Hz, and the receiver's mark excess (default 58 µs).",
         RunSend});
    commands.AddCommand({"replay", "KEYCODE",
                         "Shows what the key KEYCODE (two hex digits) sends, from the remote's\n"
                         "key entry, code entry and code data: protocol, carrier, microseconds.",
                         RunReplay});
}
