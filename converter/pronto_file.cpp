#include "converter/pronto_file.h"

#include "converter/signal_text.h"

namespace quorvel {

std::string ProntoText(const Rendered& signal) {
    const std::size_t split =
        signal.frameStarts.size() > 1 ? signal.frameStarts[1] : signal.durations.size();
    const auto at = signal.durations.begin() + static_cast<long>(split);
    return FormatPronto(Durations(signal.durations.begin(), at),
                        Durations(at, signal.durations.end()),
                        signal.carrierHz != 0 ? signal.carrierHz : kUsualCarrierHz);
}

std::string WriteProntoFile(const std::vector<NamedSignal>& namedSignals) {
    std::string text;
    for (const NamedSignal& named : namedSignals)
        text += named.name + '\t' + ProntoText(named.signal) + '\n';
    return text;
}

}  // namespace quorvel
