#include "sim/ir_commands.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "converter/hex_text.h"
#include "converter/protocol_request.h"
#include "ircapture/ir_capture_text.h"
#include "sim/key_replay.h"
#include "sim/remote_sim_commands.h"
#include "sim/simulated_remote.h"

namespace {

struct SendArguments {
    std::string protocol;
    std::vector<std::string> params;
    int repeats = -1;  // the protocol's own count
    std::uint32_t carrierHz = 0;
    int markExcessUs = ir_capture::kReceiverMarkExcessUs;
};

// The capture is made here and handed to the serving remote like any captured text.
int RunSend(CommandContext& context, const SendArguments& args, bool carrierGiven) {
    const auto request = quorvel::ParseProtocolRequest(args.protocol, args.params, args.repeats);
    if (!request)
        return context.UsageError(request.Problem().text);
    ir_capture::CaptureOptions options;
    options.markExcessUs = args.markExcessUs;
    const std::uint32_t carrier = carrierGiven ? args.carrierHz : request->def->carrierHz;
    const quorvel::Rendered signal =
        quorvel::Render(*request->def, request->params, request->repeats);
    const auto text = ir_capture::CaptureText(signal.durations, carrier, options);
    if (!text) {
        context.err << "remote-sim: the signal does not fit the remote's capture buffer\n";
        return 1;
    }
    return context.RequestAndPrint({"capture", *text});
}

CommandRun DefineSend(CLI::App& command, CommandContext& context) {
    auto args = std::make_shared<SendArguments>();
    command.add_option("PROTOCOL", args->protocol, "one of: " + quorvel::ProtocolNames())
        ->required();
    command.add_option("NAME=VALUE", args->params,
                       "the protocol's parameters D, S, F, T (E, M, N for Kaseikyo) in decimal");
    command
        .add_option("--repeats", args->repeats,
                    "repeat frames after the first (default: the protocol's own)")
        ->check(CLI::Range(0, quorvel::kMaxRequestedRepeats));
    CLI::Option* carrier =
        command
            .add_option("--carrier", args->carrierHz,
                        "the carrier in Hz, 0 for none (default: the protocol's own)")
            ->check(CLI::Range(0u, 999999u));
    command
        .add_option("--excess", args->markExcessUs,
                    "the receiver's mark excess in microseconds (default " +
                        std::to_string(ir_capture::kReceiverMarkExcessUs) + ")")
        ->check(CLI::Range(0, 999));
    return [&context, args, carrier] { return RunSend(context, *args, carrier->count() > 0); };
}

int RunReplay(CommandContext& context, const std::string& keyCode) {
    const auto code = quorvel::ParseHexDigits(keyCode);
    return context.RequestAndPrint(
        {"replay", quorvel::HexOfBytes({static_cast<std::uint8_t>(*code)})});
}

CommandRun DefineReplay(CLI::App& command, CommandContext& context) {
    auto keyCode = std::make_shared<std::string>();
    command.add_option("KEYCODE", *keyCode, "the key's code, two hex digits")
        ->required()
        ->check(CLI::Validator(
            [](std::string& text) {
                const bool ok = text.size() <= 2 && quorvel::ParseHexDigits(text).has_value();
                return ok ? std::string() : "a key code is two hex digits, not " + text;
            },
            "HEX"));
    return [&context, keyCode] { return RunReplay(context, *keyCode); };
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
        {"send",
         "Fires an infrared signal at the remote, as a receiver captures it: one key press of\n"
         "PROTOCOL (" +
             quorvel::ProtocolNames() +
             ")\n"
             "with parameters D, S, F, T (E, M, N for Kaseikyo) in decimal, N repeat frames, the\n"
             "carrier in Hz, and the receiver's mark excess (default 58 µs). Captured only\n"
             "while the remote is in capture mode (a program waits for a code).",
         DefineSend});
    commands.AddCommand({"replay",
                         "Shows what the key KEYCODE (two hex digits) sends, from the remote's\n"
                         "key entry, code entry and code data: protocol, carrier, microseconds.",
                         DefineReplay});
}
