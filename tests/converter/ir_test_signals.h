#pragma once
// Signals for converter tests, made from the protocol table: a spread of parameters for each
// protocol, the protocol a signal must decode as, and the distortions of a real receiver.

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "converter/ir_protocol.h"
#include "converter/ir_render.h"

namespace quorvel::testing {

// Extremes and random values of every parameter the protocol has, `count` sets in all.
inline std::vector<Params> ParamSpread(const ProtocolDef& def, int count, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Params> spread;
    for (int i = 0; i < count; ++i) {
        Params params;
        for (int p = 0; p < kParamCount; ++p) {
            const std::uint32_t max = def.MaxValue(static_cast<Param>(p));
            if (max == 0)
                continue;
            params.values[p] = i == 0 ? 0
                               : i == 1
                                   ? max
                                   : std::uniform_int_distribution<std::uint32_t>(0, max)(random);
        }
        // Kaseikyo signals of the vendors that have their own protocol decode as that one.
        if (def.name == "Kaseikyo") {
            const std::uint32_t vendor = (params[Param::kM] << 8) | params[Param::kN];
            if (vendor == 0x0220 || vendor == 0x5432)
                params[Param::kN] ^= 1;
        }
        // A 16-bit function whose high byte inverts its low byte is NEC's 8-bit one.
        if (def.name.find("-f16") != std::string::npos &&
            ((params[Param::kF] >> 8) ^ (params[Param::kF] & 0xFF)) == 0xFF)
            params[Param::kF] ^= 0x100;
        spread.push_back(params);
    }
    return spread;
}

// The protocol a signal of def with `repeats` repeat frames decodes as without a carrier: a
// single frame of a protocol that repeats whole frames reads as the one that repeats dittos.
inline std::string ExpectedName(const ProtocolDef& def, int repeats, bool carrierKnown) {
    if (def.name == "Pioneer" && !carrierKnown)
        return repeats == 0 ? "NEC1" : "NEC2";
    if (repeats == 0) {
        if (def.name == "NEC2" || def.name == "Pioneer")
            return "NEC1";
        if (def.name == "NEC2-f16")
            return "NEC1-f16";
        if (def.name == "Samsung32")
            return "NECx1";
    }
    return def.name;
}

// What a receiver makes of a signal: marks longer and spaces shorter by an excess drawn once
// per signal from [excessLow, excessHigh], every duration off by up to +-jitter, the lead-in
// off by up to +-leadInError (a fraction).
struct Distortion {
    int excessLow = 30;
    int excessHigh = 150;
    int jitter = 60;
    double leadInError = 0.08;
};

inline Durations Distort(const Rendered& signal, const Distortion& how, std::mt19937& random) {
    const int excess = std::uniform_int_distribution<int>(how.excessLow, how.excessHigh)(random);
    const double leadIn =
        1 + std::uniform_real_distribution<double>(-how.leadInError, how.leadInError)(random);
    std::uniform_int_distribution<int> jitter(-how.jitter, how.jitter);
    Durations out;
    out.reserve(signal.durations.size());
    for (std::size_t i = 0; i < signal.durations.size(); ++i) {
        const std::int32_t d = signal.durations[i];
        double us = std::abs(d);
        if (signal.leadIn[i])
            us *= leadIn;
        us += (d > 0 ? excess : -excess) + jitter(random);
        out.push_back(static_cast<std::int32_t>(std::max(us, 20.0)) * (d > 0 ? 1 : -1));
    }
    return out;
}

}  // namespace quorvel::testing
