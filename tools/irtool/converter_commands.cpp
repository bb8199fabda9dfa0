// irtool render, decode, convert and replay: the converter's protocol knowledge on the command
// line.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "converter/body_text.h"
#include "converter/hex_text.h"
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
#include "learning/normalise.h"
#include "tools/irtool/commands.h"

namespace {

using quorvel::Durations;
using quorvel::Param;
using quorvel::Params;
using quorvel::ProtocolDef;

int Complain(const std::string& text, int status = 2) {
    std::cerr << "irtool: " << text << '\n';
    return status;
}

struct ReadSignal {
    Durations durations;
    std::uint32_t carrierHz = 0;
};

std::uint32_t CarrierOfField(const std::string& field) {
    const auto kHz = quorvel::ParseHexDigits(field.substr(0, 2));
    return field == "0000" || !kHz ? 0 : *kHz * 1000;
}

// A normalised body, or a whole normalised code (frame count, carrier field, body).
std::optional<ReadSignal> ReadNormalised(const std::string& text) {
    if (auto body = quorvel::ParseBody(text))
        return ReadSignal{*body, 0};
    for (std::size_t digits = 1; digits <= 4 && digits + 4 < text.size(); ++digits) {
        if (!std::all_of(text.begin(), text.begin() + static_cast<long>(digits),
                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            break;
        if (auto body = quorvel::ParseBody(std::string_view(text).substr(digits + 4)))
            return ReadSignal{*body, CarrierOfField(text.substr(digits, 4))};
    }
    return std::nullopt;
}

// One signal in any of the forms decode reads, told apart by their look.
std::optional<ReadSignal> ReadSignalText(const std::string& line) {
    if (auto pronto = quorvel::ParsePronto(line))
        return ReadSignal{pronto->durations, pronto->carrierHz};
    if (auto us = quorvel::ParseMicroseconds(line))
        return ReadSignal{us->durations, 0};
    std::string compact;
    for (char c : line) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            compact += c;
    }
    if (compact.find(kEndMarker) != std::string::npos) {
        const auto normalised = NormaliseRawCodeParts(CutAtEndMarker(compact));
        if (!normalised)
            return std::nullopt;
        auto body = quorvel::ParseBody(normalised->body);
        if (!body)
            return std::nullopt;
        return ReadSignal{*body, CarrierOfField(normalised->carrierField)};
    }
    return ReadNormalised(compact);
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
    std::vector<std::string> words{args.protocol};
    words.insert(words.end(), args.params.begin(), args.params.end());
    if (args.repeats >= 0)
        words.insert(words.end(), {"--repeats", std::to_string(args.repeats)});
    std::string error;
    auto request = quorvel::ParseProtocolRequest(words, error);
    if (!request)
        return Complain(error);
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

int RunDecode(const std::string& path) {
    std::string input;
    std::string error;
    if (!bounded_input::ReadInput(path, kMaxSignalListInput, bounded_input::Extent::kWhole, input,
                                  error))
        return Complain(error, 1);
    // One signal a line; a raw capture's zero padding ends its line.
    std::istringstream lines(input);
    std::string line;
    int status = 0;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        line = line.substr(0, line.find('\0'));
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        const auto signal = ReadSignalText(line);
        if (!signal) {
            Complain("line " + std::to_string(number) + " holds no signal irtool reads", 1);
            status = 1;
            continue;
        }
        if (const auto decoded = quorvel::Decode(signal->durations, signal->carrierHz))
            std::cout << quorvel::ProtocolText(*decoded) << '\n';
        else
            std::cout << "unknown frames=" << quorvel::CountFrames(signal->durations) << '\n';
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
    command.add_option("FILE", *path,
                       "microseconds, raw captures, bodies or Pronto, one a line (default, or -: "
                       "the standard input)");
    return [path] { return RunDecode(*path); };
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
