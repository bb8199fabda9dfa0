// irtool render, decode, convert and replay: the converter's protocol knowledge on the command
// line.
#include <linux/lirc.h>
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "converter/code_collection.h"
#include "converter/ir_decode.h"
#include "converter/ir_render.h"
#include "converter/pronto_file.h"
#include "converter/protocol_request.h"
#include "converter/protocol_text_file.h"
#include "converter/quorvel.h"
#include "converter/quorvel_record.h"
#include "converter/signal_text.h"
#include "ircapture/bounded_input.h"
#include "ircapture/ir_capture_text.h"
#include "lirc/mode2_stream.h"
#include "lirc/transmission.h"
#include "tools/irtool/commands.h"
#include "tools/irtool/signal_input.h"

namespace {

using quorvel::Durations;
using quorvel::Param;
using quorvel::Params;
using quorvel::ProtocolDef;

int Complain(const std::string& text, int status = 2) {
    std::cerr << "irtool: " << text << '\n';
    return status;
}

// Whole standard input or file, capped; whitespace is no part of a record or a body.
std::optional<std::string> ReadCompactText(const std::string& path) {
    std::string text;
    std::string error;
    if (!bounded_input::ReadInput(path, kMaxSignalInput, bounded_input::Extent::kWhole, text,
                                  error)) {
        Complain(error, 1);
        return std::nullopt;
    }
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
               text.end());
    return text;
}

struct RenderArguments {
    std::string protocol;
    std::vector<std::string> params;
    std::string format = "us";
    int repeats = -1;  // the protocol's own count
};

int RunRender(const RenderArguments& args) {
    const auto request = quorvel::ParseProtocolRequest(args.protocol, args.params, args.repeats);
    if (!request)
        return Complain(request.Problem().text);
    const std::string& format = args.format;
    const quorvel::Rendered signal =
        quorvel::Render(*request->def, request->params, format == "pronto" ? 1 : request->repeats);
    if (format == "us") {
        std::cout << quorvel::FormatMicroseconds(signal.durations) << '\n';
    } else if (format == "raw") {
        const auto text = ir_capture::CaptureText(signal.durations, signal.carrierHz);
        if (!text)
            return Complain("the signal does not fit the remote's capture buffer", 1);
        std::cout << *text << '\n';
    } else {
        // Pronto: the first frame once, the repeat frame while the key is held.
        std::cout << quorvel::ProntoText(signal) << '\n';
    }
    return 0;
}

// What irtool send wrote into a FIFO: the presses, told apart as a receiver would.
int DecodeTransmitted(const std::string& path, const std::string& input) {
    const auto durations = lirc::ReadTransmitted(input);
    if (!durations)
        return Complain(bounded_input::InputName(path) +
                            " holds no durations as a transmitter takes them (32-bit values in "
                            "microseconds, from a mark)",
                        1);
    lirc::Mode2Assembler presses;
    for (const std::int32_t d : *durations)
        presses.FeedValue(d > 0 ? LIRC_PULSE(static_cast<std::uint32_t>(d))
                                : LIRC_SPACE(static_cast<std::uint32_t>(-d)));
    presses.Finish();
    while (presses.HasEvent()) {
        const lirc::StreamReading reading = presses.TakeEvent();
        if (reading.event == lirc::StreamEvent::kSignal)
            std::cout << DecodedLine(reading.signal.durations, 0) << '\n';
    }
    return 0;
}

// Each button of a code collection's file with what it sends, decoded as a key holding it
// would be: "NAME<tab>PROTOCOL LINE".
int DecodeCollection(const std::string& path, const std::string& input,
                     quorvel::CollectionFormat format) {
    const quorvel::CollectionReading reading = quorvel::ReadCollection(input, format);
    if (!reading)
        return Complain(bounded_input::InputName(path) + ": " + ProblemText(reading.Problem()), 1);
    for (const quorvel::CollectionButton& button : *reading) {
        const std::string name =
            button.remote.empty() ? button.name : button.remote + "/" + button.name;
        const std::optional<quorvel::Rendered> signal = quorvel::RenderButton(button.signal);
        if (!signal) {
            std::cout << name << "\tcannot be sent: " << button.signal.unsendable << '\n';
            continue;
        }
        std::cout << name << '\t' << DecodedLine(signal->durations, signal->carrierHz)
                  << (signal->carrierHz == 0 &&
                              button.signal.kind == quorvel::ButtonSignal::Kind::kTimings
                          ? " (unmodulated: a remote cannot send it)"
                          : "")
                  << '\n';
    }
    return 0;
}

int RunDecode(const std::string& path, bool pulses) {
    std::string input;
    std::string error;
    if (!bounded_input::ReadInput(path, kMaxSignalListInput, bounded_input::Extent::kWhole, input,
                                  error))
        return Complain(error, 1);
    if (pulses)
        return DecodeTransmitted(path, input);
    if (const auto format = quorvel::DetectCollectionFormat(input))
        return DecodeCollection(path, input, *format);
    int status = 0;
    for (const SignalInText& found : ReadSignalList(input)) {
        if (!found.signal) {
            Complain("line " + std::to_string(found.line) + " holds no signal irtool reads", 1);
            status = 1;
            continue;
        }
        std::cout << DecodedLine(found.signal->durations, found.signal->carrierHz) << '\n';
    }
    return status;
}

int RunReplay(const std::string& given, const std::string& format) {
    std::string text = given;
    if (text == "-") {
        const auto read = ReadCompactText(text);
        if (!read)
            return 1;
        text = *read;
    }
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
               text.end());
    const auto record = quorvel::ParseConvertedCode(text);
    if (!record)
        return Complain("not a stored record (IIIIII::FIRST:SECOND:::DATA): " + text);
    // What a key holding the record sends, rendered as the remote renders it.
    const auto signal = quorvel::RenderRecord(*record);
    if (!signal)
        return Complain("the record names no protocol or timing this converter knows", 1);
    if (format == "pronto")
        std::cout << quorvel::ProntoText(*signal) << '\n';
    else
        std::cout << quorvel::FormatMicroseconds(signal->durations) << '\n';
    return 0;
}

int RunConvert(const std::string& given) {
    std::string body = given;
    if (body == "-") {
        const auto read = ReadCompactText(body);
        if (!read)
            return 1;
        body = *read;
    }
    const std::string converted = ConvertCode(body.c_str(), QUORVEL_MODE);
    if (converted.empty())
        return Complain("the body cannot be converted", 1);
    std::cout << converted << '\n';
    return 0;
}

}  // namespace

CommandRun DefineRender(CLI::App& command) {
    auto args = std::make_shared<RenderArguments>();
    command.add_option("PROTOCOL", args->protocol, "one of: " + quorvel::ProtocolNames())
        ->required();
    command.add_option("NAME=VALUE", args->params,
                       "the protocol's parameters D, S, F, T (E, M, N for Kaseikyo) in decimal");
    command.add_option("--format", args->format, "us (default), raw (a capture) or pronto")
        ->check(CLI::IsMember({"us", "raw", "pronto"}));
    command
        .add_option("--repeats", args->repeats,
                    "repeat frames after the first (default: the protocol's own)")
        ->check(CLI::Range(0, quorvel::kMaxRequestedRepeats));
    return [args] { return RunRender(*args); };
}

CommandRun DefineDecode(CLI::App& command) {
    auto path = std::make_shared<std::string>("-");
    auto pulses = std::make_shared<bool>(false);
    command.add_option("FILE", *path,
                       "microseconds (as ir-ctl prints them), raw captures, bodies or Pronto, one "
                       "a line, or mode2's pulse/space lines, or a code collection's file (a "
                       "Flipper .ir file, a lircd.conf, a protocol CSV, names and Pronto codes: "
                       "each button with its decode) (default, or -: the standard input)");
    command.add_flag("--pulses", *pulses,
                     "read what a transmitter takes, as irtool send writes it into a FIFO");
    return [path, pulses] { return RunDecode(*path, *pulses); };
}

CommandRun DefineConvert(CLI::App& command) {
    auto body = std::make_shared<std::string>();
    command.add_option("BODY", *body, "a normalised body, or - to read it")->required();
    return [body] { return RunConvert(*body); };
}

CommandRun DefineReplay(CLI::App& command) {
    auto record = std::make_shared<std::string>();
    auto format = std::make_shared<std::string>("us");
    command.add_option("RECORD", *record, "a stored record, or - to read it")->required();
    command.add_option("--format", *format, "us (default) or pronto")
        ->check(CLI::IsMember({"us", "pronto"}));
    return [record, format] { return RunReplay(*record, *format); };
}
