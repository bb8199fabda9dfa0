// Driving the simulated remote from its command line: status, plug, unplug, swap, capture,
// dump and reset. Each is a request that the serving remote-sim answers with the text the
// command prints.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "common/hex_digits.h"
#include "ircapture/bounded_input.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_memory_layout.h"
#include "sim/remote_sim_commands.h"
#include "sim/simulated_remote.h"

namespace {

using remote_layout::kInfoAddress;
using remote_layout::kInterfaceOffset;  // major, minor
using remote_layout::kModelOffset;      // two bytes, read as four hex digits
constexpr int kDefaultDumpLength = 256;
constexpr int kBytesPerLine = 16;

std::string Hex(int value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
    return text;
}

bool ParseDecimal(const std::string& text, int& value) {
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
    return parsed.ec == std::errc() && parsed.ptr == text.data() + text.size();
}

// Changes that outlive a restart (identity, reset) go to the image file at once.
wire::Message SavedReply(ServerState& state, const std::string& text) {
    const Result<Done> saved = state.SaveImage();
    if (!saved)
        return FailedReply(text + "\nbut the image could not be saved: " + saved.Problem());
    return OkReply(text);
}

std::string StatusText(ServerState& state) {
    const RemoteImage image = state.remote.Image();
    std::ostringstream out;
    out << "remote: " << (state.remote.IsPlugged() ? "plugged in" : "unplugged") << '\n';
    const auto info = state.remote.MemoryBytes(SimulatedRemote::kIdentityBank, kInfoAddress, 48);
    if (info.empty()) {
        out << "model: unknown (no bank 08)\n";
    } else {
        out << "model: " << hex::FormatBytes({info.data() + kModelOffset, 2}) << ", interface "
            << int{info[kInterfaceOffset]} << '.' << int{info[kInterfaceOffset + 1]} << '\n';
    }
    const std::string identity = state.remote.Identity();
    out << "identity: " << (identity.empty() ? "none" : identity)
        << (image.identityOverride.empty() ? "" : " (swapped: another remote's)") << '\n';
    out << "version: " << image.version << '\n';
    out << "banks:";
    for (const auto& [number, bank] : image.banks)
        out << ' ' << Hex(number, 2);
    out << '\n';
    out << "capture mode: " << (state.remote.InCaptureMode() ? "on" : "off") << ", "
        << (state.remote.CapturePending() ? "a capture is waiting" : "no capture waiting") << '\n';
    out << "image: " << state.imagePath << '\n';
    out << "socket: " << state.socketPath << '\n';
    return out.str();
}

wire::Message Swap(ServerState& state, const wire::Message& request) {
    if (state.readOnly)
        return FailedReply(ReadOnlyImageError(state.imagePath));
    SimulatedRemote& remote = state.remote;
    const bool swapped = !remote.Image().identityOverride.empty();
    std::string identity;
    if (request.size() == 2 && request[1] != "restore") {
        const auto bytes = hex::ParseBytes(request[1]);
        if (request[1].size() != 2 * SimulatedRemote::kIdentityBytes || !bytes)
            return FailedReply("an identity is 30 hex digits: " + request[1]);
        identity = hex::FormatBytes(*bytes);
    } else if (request.size() == 1 && !swapped) {
        // Another remote of the same model: the remote's own identity with its last byte
        // changed, so it differs whatever the remote's own identity is.
        auto own =
            remote.MemoryBytes(SimulatedRemote::kIdentityBank, SimulatedRemote::kIdentityAddress,
                               static_cast<int>(SimulatedRemote::kIdentityBytes));
        if (own.empty())
            return FailedReply("the remote has no bank 08 and so no identity of its own");
        own.back() ^= 0xFF;
        identity = hex::FormatBytes(own);
    } else if (request.size() > 2) {
        return FailedReply("wrong number of arguments");
    }
    remote.SetIdentityOverride(identity);
    return SavedReply(state,
                      "identity: " + remote.Identity() +
                          (identity.empty() ? " (the remote's own)" : " (another remote's)"));
}

wire::Message Capture(ServerState& state, const wire::Message& request) {
    if (request.size() != 2)
        return FailedReply("wrong number of arguments");
    if (!state.remote.IsPlugged())
        return FailedReply("the remote is unplugged; nothing was captured");
    const std::string& text = request[1];
    if (text.size() > SimulatedRemote::kCaptureBufferSize || text.find('\0') != std::string::npos)
        return FailedReply("a capture holds at most " +
                           std::to_string(SimulatedRemote::kCaptureBufferSize) +
                           " characters and no zero byte");
    // The receiver listens only while a program waits for a code.
    if (!state.remote.QueueCapture(text))
        return FailedReply(
            "the remote is not in capture mode (no program is waiting for a code); nothing was "
            "captured");
    return OkReply("capture of " + std::to_string(text.size()) +
                   " characters handed over; the remote gives it to the next collect");
}

// Lines of 16 bytes with their address; in a whole-bank dump a run of zero lines is one line.
std::string FormatDump(const std::vector<std::uint8_t>& bytes, int start, bool foldZeros) {
    std::ostringstream out;
    const int size = static_cast<int>(bytes.size());
    for (int offset = 0; offset < size;) {
        const int count = std::min(kBytesPerLine, size - offset);
        auto zeroLine = [&](int at) {
            const int n = std::min(kBytesPerLine, size - at);
            for (int i = 0; i < n; ++i) {
                if (bytes[static_cast<std::size_t>(at + i)] != 0)
                    return false;
            }
            return true;
        };
        int end = offset;
        while (foldZeros && end < size && zeroLine(end))
            end += kBytesPerLine;
        if (end - offset >= 2 * kBytesPerLine) {
            out << Hex(start + offset, 4) << '-' << Hex(start + std::min(end, size) - 1, 4)
                << "  all zero\n";
            offset = end;
            continue;
        }
        out << Hex(start + offset, 4) << ' ';
        for (int i = 0; i < count; ++i)
            out << (i == 8 ? "  " : " ") << Hex(bytes[static_cast<std::size_t>(offset + i)], 2);
        out << '\n';
        offset += count;
    }
    return out.str();
}

wire::Message Dump(ServerState& state, const wire::Message& request) {
    if (request.size() != 4)
        return FailedReply("wrong number of arguments");
    const auto bankNumber = hex::ParseFixedDigits(request[1], 2);
    if (!bankNumber)
        return FailedReply("a bank is two hex digits: " + request[1]);
    const int bank = static_cast<int>(*bankNumber);
    const bool whole = request[2].empty();
    int address = 0;
    int length = static_cast<int>(RemoteImage::kBankSize);
    if (!whole && (!ParseDecimal(request[2], address) || !ParseDecimal(request[3], length)))
        return FailedReply("an address and a length are numbers");
    const auto bytes = state.remote.MemoryBytes(bank, address, length);
    if (bytes.empty() && length > 0) {
        if (state.remote.MemoryBytes(bank, 0, 1).empty())
            return FailedReply("the remote has no bank " + request[1]);
        return FailedReply("the range " + Hex(address, 4) + " + " + std::to_string(length) +
                           " runs past FFFF");
    }
    return OkReply(FormatDump(bytes, address, whole));
}

wire::Message Reset(ServerState& state) {
    if (state.readOnly)
        return FailedReply(ReadOnlyImageError(state.imagePath));
    state.remote.ReplaceImage(DefaultRemoteImage());
    state.remote.Plug();
    return SavedReply(
        state, "the default remote is back: memory, version and identity as new, plugged in");
}

// A number of the command line: hex (with or without 0x) for addresses, decimal unless 0x for
// lengths. -1 when it is not one.
long ParseNumber(const std::string& text, bool hexByDefault) {
    std::string digits = text;
    int base = hexByDefault ? 16 : 10;
    if (digits.rfind("0x", 0) == 0 || digits.rfind("0X", 0) == 0) {
        digits = digits.substr(2);
        base = 16;
    }
    if (digits.empty() || digits.size() > 8)
        return -1;
    char* end = nullptr;
    const long value = std::strtol(digits.c_str(), &end, base);
    return *end == '\0' ? value : -1;
}

// A check of the parser that a text is a number of the command line within [low, high].
CLI::Validator NumberCheck(bool hexByDefault, long low, long high, const std::string& what) {
    return CLI::Validator(
        [=](std::string& text) {
            const long value = ParseNumber(text, hexByDefault);
            return value >= low && value <= high ? std::string() : what + ", not " + text;
        },
        hexByDefault ? "HEX" : "NUMBER");
}

CommandRun DefineDump(CLI::App& command, CommandContext& context) {
    struct Arguments {
        std::string bank;
        std::string address;
        std::string length;
    };
    auto args = std::make_shared<Arguments>();
    AddBankOption(command, args->bank);
    command
        .add_option("ADDRESS", args->address, "where to start, in hex (default: the whole bank)")
        ->check(NumberCheck(true, 0, 0xFFFF, "an address is 0 to FFFF in hex"));
    command
        .add_option("LENGTH", args->length,
                    "how many bytes, in decimal or 0x hex (default " +
                        std::to_string(kDefaultDumpLength) + ")")
        ->check(NumberCheck(false, 1, 0x10000, "a length is 1 to 65536 bytes"));
    return [&context, args] {
        std::string address;
        std::string length;
        if (!args->address.empty()) {
            address = std::to_string(ParseNumber(args->address, true));
            length = std::to_string(args->length.empty() ? kDefaultDumpLength
                                                         : ParseNumber(args->length, false));
        }
        return context.RequestAndPrint({"dump", args->bank, address, length});
    };
}

// A capture file is one line of text, far below this; more is not a capture at all.
constexpr std::size_t kMaxCaptureInput = 1024 * 1024;

int RunCapture(CommandContext& context, const std::string& path) {
    std::string text;
    std::string error;
    if (!bounded_input::ReadInput(path, kMaxCaptureInput, bounded_input::Extent::kWhole, text,
                                  error)) {
        context.err << "remote-sim: " << error << '\n';
        return 1;
    }
    // A capture file is one line of text; the line break and spaces around it are no part of it.
    const auto first = text.find_first_not_of(" \t\r\n");
    const auto last = text.find_last_not_of(" \t\r\n");
    text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    if (text.empty()) {
        context.err << "remote-sim: the capture text is empty\n";
        return 1;
    }
    if (text.size() > SimulatedRemote::kCaptureBufferSize) {
        context.err << "remote-sim: the capture text holds " << text.size()
                    << " characters; the remote's capture buffer holds at most "
                    << SimulatedRemote::kCaptureBufferSize << '\n';
        return 1;
    }
    return context.RequestAndPrint({"capture", text});
}

// A command that sends its name, and its one optional argument when given, as they are.
CommandLineCommand PassThrough(std::string name, std::string summary, std::string argument = {},
                               std::string argumentHelp = {}) {
    auto define = [name, argument, argumentHelp](CLI::App& command,
                                                 CommandContext& context) -> CommandRun {
        auto value = std::make_shared<std::string>();
        CLI::Option* option =
            argument.empty() ? nullptr : command.add_option(argument, *value, argumentHelp);
        return [&context, name, value, option] {
            wire::Message request{name};
            if (option != nullptr && option->count() > 0)
                request.push_back(*value);
            return context.RequestAndPrint(request);
        };
    };
    return {name, summary, define};
}

}  // namespace

void AddRemoteControlCommands(RemoteSimCommands& commands) {
    commands.AddRequest("status", [](ServerState& state, const wire::Message&) {
        return OkReply(StatusText(state));
    });
    commands.AddRequest("plug", [](ServerState& state, const wire::Message&) {
        state.remote.Plug();
        return OkReply("remote: plugged in");
    });
    commands.AddRequest("unplug", [](ServerState& state, const wire::Message&) {
        state.remote.Unplug();
        return OkReply("remote: unplugged");
    });
    commands.AddRequest("swap", Swap);
    commands.AddRequest("capture", Capture);
    commands.AddRequest("dump", Dump);
    commands.AddRequest("reset",
                        [](ServerState& state, const wire::Message&) { return Reset(state); });

    commands.AddCommand(
        PassThrough("status",
                    "Shows whether a remote-sim serves, and its remote: plug state, model,\n"
                    "identity, version, capture state, image file. Exit 1 when none answers."));
    commands.AddCommand(PassThrough("plug", "Plugs the remote back in."));
    commands.AddCommand(PassThrough(
        "unplug", "Unplugs the remote: every call fails, its memory stays; capture mode ends."));
    commands.AddCommand(PassThrough(
        "swap",
        "Answers as another remote: without an argument toggles between another remote's\n"
        "identity (the own one with its last byte changed) and the remote's own; IDENTITY sets\n"
        "30 hex digits; restore gives the own one back. The program notices only after the\n"
        "link was lost, so unplug before and plug after, as with real hardware.",
        "IDENTITY", "30 hex digits, or restore"));
    commands.AddCommand(
        {"capture",
         "Fires a raw capture text (from FILE, or - for standard input) at the\n"
         "remote; captured only in capture mode (a program waits for a code), handed out once.",
         [](CLI::App& command, CommandContext& context) -> CommandRun {
             auto path = std::make_shared<std::string>();
             command.add_option("FILE", *path, "the capture text, or -")->required();
             return [&context, path] { return RunCapture(context, *path); };
         }});
    commands.AddCommand({"dump",
                         "Shows memory as hex, 16 bytes a line: bank BB (default 08); ADDRESS in\n"
                         "hex, LENGTH in bytes (default 256; 0x for hex). Without ADDRESS the\n"
                         "whole bank, runs of zero lines folded.",
                         DefineDump});
    commands.AddCommand(PassThrough(
        "reset", "Makes the remote the default remote again (memory, version, identity)."));
}
