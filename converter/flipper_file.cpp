#include "converter/flipper_file.h"

#include <cstdlib>

namespace quorvel {

std::string WriteFlipperFile(const std::vector<NamedSignal>& namedSignals) {
    std::string text = "Filetype: IR signals file\nVersion: 1\n";
    for (const NamedSignal& named : namedSignals) {
        const Rendered& signal = named.signal;
        text += "#\nname: " + named.name + "\ntype: raw\nfrequency: " +
                std::to_string(signal.carrierHz != 0 ? signal.carrierHz : kUsualCarrierHz) +
                "\nduty_cycle: 0.330000\ndata:";
        for (const std::int32_t duration : signal.durations)
            text += ' ' + std::to_string(std::abs(static_cast<long long>(duration)));
        text += '\n';
    }
    return text;
}

}  // namespace quorvel
