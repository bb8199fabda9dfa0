#pragma once
// Recorded mode2 streams as real receivers deliver them: a rendered key press with every mark
// stretched and every space shortened by the receiver module, timings rounded to the
// receiver's resolution (50 µs for the common USB transceivers), then the values the kernel
// writes: pulses, spaces, a timeout after the last mark, frequency reports where measured.

#include <linux/lirc.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "converter/ir_protocol.h"
#include "converter/ir_render.h"
#include "lirc/mode2_stream.h"

namespace lirc::testing {

using Values = std::vector<std::uint32_t>;

struct ReceiverTraits {
    int markStretchUs = 60;
    int resolutionUs = 50;
};

inline std::int32_t Rounded(std::int32_t us, int resolution) {
    const int steps = static_cast<int>(std::lround(static_cast<double>(us) / resolution));
    return std::max(steps, 1) * resolution;
}

// The durations as the receiver measures them; the signal's lead-out space is dropped, as the
// timeout stands for it.
inline Durations AsReceived(const Durations& sent, const ReceiverTraits& traits = {}) {
    Durations out;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const std::int32_t d = sent[i];
        if (d < 0 && i + 1 == sent.size())
            break;
        const std::int32_t us = d > 0 ? d + traits.markStretchUs : -d - traits.markStretchUs;
        out.push_back(Rounded(us, traits.resolutionUs) * (d > 0 ? 1 : -1));
    }
    return out;
}

inline Durations PressOf(const char* protocol, quorvel::Params params, int repeats = -1) {
    const quorvel::ProtocolDef* def = quorvel::FindProtocol(protocol);
    return quorvel::Render(*def, params, repeats < 0 ? def->defaultRepeats : repeats).durations;
}

inline quorvel::Params Nec(std::uint32_t device, std::uint32_t function) {
    quorvel::Params params;
    params[quorvel::Param::kD] = device;
    params[quorvel::Param::kS] = 255 - device;
    params[quorvel::Param::kF] = function;
    return params;
}

// The stream values of received durations.
inline Values ValuesOf(const Durations& received) {
    Values values;
    for (const std::int32_t d : received)
        values.push_back(d > 0 ? LIRC_PULSE(static_cast<std::uint32_t>(d))
                               : LIRC_SPACE(static_cast<std::uint32_t>(-d)));
    return values;
}

// One key press as the kernel delivers it: the gap space since the last signal, the press, the
// timeout.
inline Values PressValues(const Durations& received, std::uint32_t gapBeforeUs = 2000000) {
    Values values{LIRC_SPACE(gapBeforeUs)};
    const Values press = ValuesOf(received);
    values.insert(values.end(), press.begin(), press.end());
    values.push_back(LIRC_TIMEOUT(kSignalEndUs));
    return values;
}

inline Values Joined(std::initializer_list<Values> parts) {
    Values all;
    for (const Values& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The bytes of a stream, as `cat /dev/lirc0 > press.mode2` saves them.
inline std::string BytesOf(const Values& values) {
    return std::string(reinterpret_cast<const char*>(values.data()),
                       values.size() * sizeof(std::uint32_t));
}

}  // namespace lirc::testing
