#pragma once
// Signals as they reach the converter from real remotes through real receivers: how remotes
// depart from a protocol's nominal timing, and what an infrared receiver module does to every
// edge on the way.

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "converter/ir_protocol.h"
#include "converter/ir_render.h"

namespace quorvel::testing {

// A receiver module: every mark comes out longer and every space shorter by an excess drawn
// once per signal, every edge is off by up to +-edgeJitter on its own, and the lead-in (which
// the module's gain control is still settling on) is off by up to +-leadInError of itself.
struct ReceiverModel {
    const char* name;
    int excessLow = 0;
    int excessHigh = 0;
    int edgeJitter = 0;
    double leadInError = 0;
};

inline const std::vector<ReceiverModel>& ReceiverModels() {
    static const std::vector<ReceiverModel> models = {
        {"exact", 0, 0, 0, 0},
        {"strong signal", 0, 60, 20, 0.02},
        {"weak signal", 0, 150, 40, 0},
        {"weak signal, lead-in off", 80, 150, 40, 0.08},
    };
    return models;
}

// The signal as the receiver delivers it. Edges, not durations, are disturbed, so that one
// late edge makes a duration longer and its neighbour shorter, as on a real module.
inline Durations Receive(const Rendered& signal, const ReceiverModel& model, std::mt19937& random) {
    const int excess =
        std::uniform_int_distribution<int>(model.excessLow, model.excessHigh)(random);
    const double leadIn =
        1 + std::uniform_real_distribution<double>(-model.leadInError, model.leadInError)(random);
    std::uniform_int_distribution<int> jitter(-model.edgeJitter, model.edgeJitter);
    Durations out;
    out.reserve(signal.durations.size());
    double edge = 0;       // where the current duration starts, as sent
    double shiftedAt = 0;  // where it starts, as received
    for (std::size_t i = 0; i < signal.durations.size(); ++i) {
        const std::int32_t d = signal.durations[i];
        double us = std::abs(d);
        if (i < signal.leadIn.size() && signal.leadIn[i])
            us *= leadIn;
        edge += us;
        // A mark ends late by the excess; the space after it starts as late.
        const double end = edge + (d > 0 ? excess : 0) + jitter(random);
        const double length = std::max(end - shiftedAt, 20.0);
        out.push_back(static_cast<std::int32_t>(length) * (d > 0 ? 1 : -1));
        shiftedAt += length;
    }
    return out;
}

// How a real remote of the protocol sends a key press, departing from the nominal timing as
// remotes in the field do: a clock a few percent off, and per protocol what such remotes are
// known for.
inline Rendered SendLikeARemote(const ProtocolDef& def, const Params& params, int repeats,
                                std::mt19937& random) {
    Rendered out = Render(def, params, repeats);
    const double clock = std::uniform_real_distribution<double>(0.97, 1.03)(random);
    for (std::int32_t& d : out.durations)
        d = static_cast<std::int32_t>(d * clock);
    if (def.name == "RCA") {
        // Marks of 650-700 µs instead of 460, the period kept.
        const int mark = std::uniform_int_distribution<int>(650, 700)(random);
        for (std::size_t i = 0; i + 1 < out.durations.size(); ++i) {
            if (out.durations[i] > 0 && out.durations[i] < 1000) {
                const std::int32_t extra = mark - out.durations[i];
                out.durations[i] += extra;
                out.durations[i + 1] += extra;  // a space: negative
            }
        }
    }
    if (def.name == "NECx1" || def.name == "Samsung32") {
        // An unusually short lead-in mark, its space as it was.
        const double shorter = std::uniform_real_distribution<double>(0.7, 0.85)(random);
        for (std::size_t start : out.frameStarts) {
            if (out.leadIn[start])
                out.durations[start] = static_cast<std::int32_t>(out.durations[start] * shorter);
        }
    }
    if (def.name == "Dish_Network" && repeats > 0 && random() % 2 == 0) {
        // Copies back to back without the lone lead-in before the first: the receiver's gain
        // control swallowed it, or the capture started after it.
        out.durations.erase(out.durations.begin(), out.durations.begin() + 2);
        out.leadIn.erase(out.leadIn.begin(), out.leadIn.begin() + 2);
        for (std::size_t& start : out.frameStarts)
            start = start < 2 ? 0 : start - 2;
    }
    return out;
}

}  // namespace quorvel::testing
