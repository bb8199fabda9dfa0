#include "converter/flipper_file.h"

#include <cstdlib>

#include "converter/collection_protocols.h"
#include "converter/hex_text.h"
#include "converter/ir_decode.h"

namespace quorvel {
namespace {

// Four bytes of two hex digits, the lowest first.
std::string LittleEndianBytes(std::uint32_t value) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            text += ' ';
        AppendHex(text, (value >> (8 * i)) & 0xFF, 2);
    }
    return text;
}

std::optional<FlipperNumbers> ParsedForm(const Rendered& signal) {
    const std::optional<Decoded> decoded = Decode(signal.durations, signal.carrierHz);
    if (!decoded)
        return std::nullopt;
    return FlipperFormOf(*decoded->def, decoded->params);
}

}  // namespace

std::string WriteFlipperFile(const std::vector<NamedSignal>& namedSignals, FlipperSignals form) {
    std::string text = "Filetype: IR signals file\nVersion: 1\n";
    for (const NamedSignal& named : namedSignals) {
        const Rendered& signal = named.signal;
        text += "#\nname: " + named.name + '\n';
        if (form == FlipperSignals::kParsedWhereFits) {
            if (const std::optional<FlipperNumbers> parsed = ParsedForm(signal)) {
                text += "type: parsed\nprotocol: " + std::string(parsed->protocol) +
                        "\naddress: " + LittleEndianBytes(parsed->address) +
                        "\ncommand: " + LittleEndianBytes(parsed->command) + '\n';
                continue;
            }
        }
        text += "type: raw\nfrequency: " +
                std::to_string(signal.carrierHz != 0 ? signal.carrierHz : kUsualCarrierHz) +
                "\nduty_cycle: 0.330000\ndata:";
        for (const std::int32_t duration : signal.durations)
            text += ' ' + std::to_string(std::abs(static_cast<long long>(duration)));
        text += '\n';
    }
    return text;
}

}  // namespace quorvel
