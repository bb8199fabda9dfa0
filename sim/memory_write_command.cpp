// `remote-sim write`: changes the remote's memory from the command line, exactly as the
// program's own writes do (through the serving remote's writedatav20), so that a user can try
// the program against another remote, e.g. one whose model code says its firmware is too old:
//   remote-sim write B023 8888
#include <CLI/CLI.hpp>
#include <cctype>
#include <memory>
#include <string>

#include "sim/remote_sim_commands.h"

namespace {

bool IsHexText(const std::string& text, std::size_t minDigits, std::size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits)
        return false;
    for (const char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

struct WriteArguments {
    std::string bank;
    std::string address;
    std::string data;
};

int RunWrite(CommandContext& context, const WriteArguments& args) {
    const std::string address = Upper(std::string(4 - args.address.size(), '0') + args.address);
    const std::string bank = Upper(args.bank);
    const auto reply = context.Request(
        {"writedatav20", bank, address.substr(0, 2), address.substr(2, 2), Upper(args.data)},
        std::chrono::seconds(5));
    if (!reply) {
        context.err << "remote-sim: no remote-sim answers on " << context.socketPath << '\n';
        return 1;
    }
    if (reply->empty() || (*reply)[0] != wire::kReplyOk) {
        const std::string reason = reply->size() > 1 ? (*reply)[1] : std::string();
        context.err << "remote-sim: the remote refused the write"
                    << (reason.empty() ? std::string() : ": " + reason) << '\n';
        return 1;
    }
    context.out << "written: " << args.data.size() / 2 << " bytes at " << address << " of bank "
                << bank << '\n';
    return 0;
}

CLI::Validator HexCheck(std::size_t minDigits, std::size_t maxDigits, bool wholeBytes,
                        const std::string& what) {
    return CLI::Validator(
        [=](std::string& text) {
            const bool ok =
                IsHexText(text, minDigits, maxDigits) && (!wholeBytes || text.size() % 2 == 0);
            return ok ? std::string() : what + ", not " + text;
        },
        "HEX");
}

CommandRun DefineWrite(CLI::App& command, CommandContext& context) {
    auto args = std::make_shared<WriteArguments>();
    AddBankOption(command, args->bank);
    command.add_option("ADDRESS", args->address, "where to write, in hex")
        ->required()
        ->check(HexCheck(1, 4, false, "an address is 1 to 4 hex digits"));
    command.add_option("HEX", args->data, "the bytes, two hex digits a byte")
        ->required()
        ->check(HexCheck(2, 0x20000, true, "the data is whole bytes of two hex digits"));
    return [&context, args] { return RunWrite(context, *args); };
}

}  // namespace

void AddMemoryWriteCommand(RemoteSimCommands& commands) {
    commands.AddCommand(
        {"write",
         "Writes the bytes HEX (two hex digits a byte) at ADDRESS (hex) of bank BB (default\n"
         "08), as the program's writes do; saved in the image. `write B023 8888` makes the\n"
         "remote one whose firmware is too old for the program; `reset` undoes every change.",
         DefineWrite});
}
