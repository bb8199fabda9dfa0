// `remote-sim write`: changes the remote's memory from the command line, exactly as the
// program's own writes do (through the serving remote's writedatav20), so that a user can try
// the program against another remote, e.g. one whose model code says its firmware is too old:
//   remote-sim write B023 8888
#include <cctype>
#include <string>
#include <vector>

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

int RunWrite(CommandContext& context, const std::vector<std::string>& args) {
    std::vector<std::string> rest;
    const std::string bank = TakeBankOption(args, rest);
    if (rest.size() != 2 || !IsHexText(bank, 2, 2) || !IsHexText(rest[0], 1, 4) ||
        !IsHexText(rest[1], 2, 0x20000) || rest[1].size() % 2 != 0)
        return context.UsageError("write");
    const std::string address = Upper(std::string(4 - rest[0].size(), '0') + rest[0]);
    const auto reply = context.Request(
        {"writedatav20", Upper(bank), address.substr(0, 2), address.substr(2, 2), Upper(rest[1])},
        std::chrono::seconds(5));
    if (!reply) {
        context.err << "remote-sim: no remote-sim answers on " << context.socketPath << '\n';
        return 1;
    }
    if (reply->empty() || (*reply)[0] != wire::kReplyOk) {
        context.err << "remote-sim: the remote refused the write (unplugged, past FFFF, or no "
                       "such bank)\n";
        return 1;
    }
    context.out << "written: " << rest[1].size() / 2 << " bytes at " << address << " of bank "
                << Upper(bank) << '\n';
    return 0;
}

}  // namespace

void AddMemoryWriteCommand(RemoteSimCommands& commands) {
    commands.AddCommand(
        {"write", "[--bank BB] ADDRESS HEX",
         "Writes the bytes HEX (two hex digits a byte) at ADDRESS (hex) of bank BB (default\n"
         "08), as the program's writes do; saved in the image. `write B023 8888` makes the\n"
         "remote one whose firmware is too old for the program; `reset` undoes every change.",
         RunWrite});
}
