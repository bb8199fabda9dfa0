#include "converter/protocol_text_file.h"

#include "converter/signal_text.h"

namespace quorvel {

std::string ProtocolText(const Decoded& decoded) {
    std::string text = decoded.def->name;
    for (int p = 0; p < kParamCount; ++p) {
        if (decoded.def->HasParam(static_cast<Param>(p)))
            text += std::string(" ") + kParamNames[static_cast<std::size_t>(p)] + "=" +
                    std::to_string(decoded.params.values[static_cast<std::size_t>(p)]);
    }
    return text;
}

std::string SignalProtocolText(const Rendered& signal) {
    if (const std::optional<Decoded> decoded = Decode(signal.durations, signal.carrierHz))
        return ProtocolText(*decoded);
    return "raw " + FormatMicroseconds(signal.durations);
}

std::string WriteProtocolTextFile(const std::vector<NamedSignal>& namedSignals) {
    std::string text;
    for (const NamedSignal& named : namedSignals)
        text += named.name + '\t' + SignalProtocolText(named.signal) + '\n';
    return text;
}

}  // namespace quorvel
