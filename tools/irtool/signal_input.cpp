#include "tools/irtool/signal_input.h"

#include <linux/lirc.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string_view>

#include "converter/body_text.h"
#include "converter/hex_text.h"
#include "converter/protocol_text_file.h"
#include "converter/signal_text.h"
#include "learning/normalise.h"
#include "lirc/mode2_stream.h"
#include "lirc/mode2_text.h"

namespace {

using quorvel::Param;

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

std::optional<ReadSignal> ReadUncommented(const std::string& line) {
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

}  // namespace

std::string DecodedLine(const quorvel::Durations& signal, std::uint32_t carrierHz) {
    if (const auto decoded = quorvel::Decode(signal, carrierHz))
        return quorvel::ProtocolText(*decoded);
    return "unknown frames=" + std::to_string(quorvel::CountFrames(signal));
}

std::optional<ReadSignal> ReadSignalText(const std::string& line) {
    // No form irtool reads holds a '#': what follows one is a comment, as ir-ctl ends a line
    // with "# timeout 125000" or a carrier.
    const std::size_t hash = line.find('#');
    auto signal = ReadUncommented(line.substr(0, hash));
    if (signal && hash != std::string::npos && signal->carrierHz == 0) {
        const auto value = lirc::Mode2ValueOfComment(line.substr(hash));
        if (value && LIRC_IS_FREQUENCY(*value))
            signal->carrierHz = LIRC_VALUE(*value);
    }
    return signal;
}

std::vector<SignalInText> ReadSignalList(const std::string& text) {
    std::vector<SignalInText> signals;
    int number = 0;
    // The mode2 lines since the last line of another kind.
    lirc::Mode2Assembler stream;
    auto takeStreamSignals = [&] {
        while (stream.HasEvent()) {
            const lirc::StreamReading reading = stream.TakeEvent();
            if (reading.event == lirc::StreamEvent::kSignal)
                signals.push_back(
                    {number, ReadSignal{reading.signal.durations, reading.signal.carrierHz}});
        }
    };
    auto endStream = [&] {
        stream.Finish();
        takeStreamSignals();
        stream = lirc::Mode2Assembler();
    };

    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        ++number;
        // A raw capture's zero padding ends its line.
        line = line.substr(0, line.find('\0'));
        const lirc::TextLine mode2 = lirc::ReadMode2TextLine(line);
        if (mode2.kind == lirc::TextLineKind::kValue) {
            stream.FeedValue(mode2.value);
            takeStreamSignals();
            continue;
        }
        if (mode2.kind == lirc::TextLineKind::kBadValue) {
            signals.push_back({number, std::nullopt});
            continue;
        }
        const std::size_t content = line.find_first_not_of(" \t\r");
        if (content == std::string::npos)
            continue;
        endStream();
        // A line of nothing but a comment, such as ir-ctl's "# timeout 125000" after a signal.
        if (line[content] == '#')
            continue;
        signals.push_back({number, ReadSignalText(line)});
    }
    endStream();
    return signals;
}
