#pragma once
// Signals as they reach the converter from real remotes through real receivers: how remotes
// depart from a protocol's nominal timing, and what an infrared receiver module does to every
// edge on the way.

#include <algorithm>
#include <cmath>
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
// A receiver that samples its module's output sees every edge at the nearest tick of its
// clock, so that every duration is a whole number of ticks.
struct ReceiverModel {
    const char* name;
    int excessLow = 0;
    int excessHigh = 0;
    int edgeJitter = 0;
    double leadInError = 0;
    int tickUs = 0;  // 0: edges as they come
};

// The weakest receiver stays last: tests that need the worst case take it from there.
inline const std::vector<ReceiverModel>& ReceiverModels() {
    static const std::vector<ReceiverModel> models = {
        {"exact", 0, 0, 0, 0},
        {"strong signal", 0, 60, 20, 0.02},
        {"weak signal", 0, 150, 40, 0},
        {"USB receiver, 50 us ticks", 0, 100, 20, 0.03, 50},
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
        double end = edge + (d > 0 ? excess : 0) + jitter(random);
        if (model.tickUs > 0)
            end = std::round(end / model.tickUs) * model.tickUs;
        const double length = std::max(end - shiftedAt, model.tickUs > 0 ? model.tickUs : 20.0);
        out.push_back(static_cast<std::int32_t>(length) * (d > 0 ? 1 : -1));
        shiftedAt += length;
    }
    return out;
}

// Dish Network as the remotes of satellite receivers send it: every copy a frame of its own, a
// lead-in of a short mark and about 6 ms, the bits with marks stretched about 15 % over
// nominal, a longer trailing mark and a little over 6 ms; so two lead-in-like pairs stand
// between copies. Timings are drawn once per press: a remote keeps its own.
inline Rendered SendLikeASatelliteRemote(const Rendered& nominal, std::mt19937& random) {
    auto draw = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int leadInMark = draw(370, 400);
    const int leadInSpace = draw(5900, 6100);
    const int bitMark = draw(440, 480);
    const int zeroSpace = draw(2700, 2800);
    const int oneSpace = draw(1600, 1700);
    const int trailingMark = draw(470, 490);
    const int trailingSpace = draw(6100, 6300);
    Rendered out;
    out.carrierHz = 56000;
    auto add = [&](std::int32_t d, bool leadIn) {
        out.durations.push_back(d);
        out.leadIn.push_back(leadIn);
    };
    for (std::size_t frame = 0; frame < nominal.frameStarts.size(); ++frame) {
        std::size_t i = nominal.frameStarts[frame];
        const std::size_t end = frame + 1 < nominal.frameStarts.size()
                                    ? nominal.frameStarts[frame + 1]
                                    : nominal.durations.size();
        while (i < end && nominal.leadIn[i])
            ++i;
        out.frameStarts.push_back(out.durations.size());
        add(leadInMark, true);
        add(-leadInSpace, true);
        // The bits, then the trailing mark and its space.
        for (; i + 3 < end; i += 2) {
            add(bitMark, false);
            add(nominal.durations[i + 1] < -2200 ? -zeroSpace : -oneSpace, false);
        }
        add(trailingMark, false);
        add(-trailingSpace, false);
    }
    return out;
}

// How a real remote of the protocol sends a key press, departing from the nominal timing as
// remotes in the field do: a clock a few percent off, and per protocol what such remotes are
// known for.
inline Rendered SendLikeARemote(const ProtocolDef& def, const Params& params, int repeats,
                                std::mt19937& random) {
    Rendered out = Render(def, params, repeats);
    if (def.name == "Dish_Network" && random() % 3 == 0)
        out = SendLikeASatelliteRemote(out, random);
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
    if (def.name == "Sony12" && random() % 2 == 0) {
        // One-bit marks of about 80 % of nominal, the spaces as they were.
        const int mark = std::uniform_int_distribution<int>(940, 980)(random);
        for (std::int32_t& d : out.durations) {
            if (d > 900 && d < 1500)
                d = mark;
        }
    }
    if (def.name == "NECx1" || def.name == "Samsung32") {
        // An unusually short lead-in mark, its space as it was.
        const double shorter = std::uniform_real_distribution<double>(0.7, 0.85)(random);
        for (std::size_t start : out.frameStarts) {
            if (out.leadIn[start])
                out.durations[start] = static_cast<std::int32_t>(out.durations[start] * shorter);
        }
        if (repeats > 0 && random() % 3 == 0) {
            // The receiver lost the first lead-in mark but for a few hundred microseconds, and
            // its space came out long.
            out.durations[0] = std::uniform_int_distribution<int>(250, 330)(random);
            out.durations[1] = -std::uniform_int_distribution<int>(4600, 5100)(random);
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

// The press cut off part-way through its last frame: the key let go mid-frame, or the capture
// filled up. The signal ends on a mark in the middle half of that frame, or on its first mark
// where the frame is short, never on its last (which would leave the frame whole); the cut may
// have shortened that mark too.
inline Rendered CutOffInTheLastFrame(Rendered signal, std::mt19937& random) {
    const std::size_t start = signal.frameStarts.back();
    const std::size_t length = signal.durations.size() - start;
    // The durations end with the frame's last mark and its lead-out.
    const std::size_t latest = std::max(start, signal.durations.size() - 4);
    std::size_t last = std::uniform_int_distribution<std::size_t>(
        std::min(start + length / 4, latest), std::min(start + length * 3 / 4, latest))(random);
    if (signal.durations[last] < 0)
        --last;
    signal.durations.resize(last + 1);
    signal.leadIn.resize(last + 1);
    if (random() % 2 == 0) {
        const double kept = std::uniform_real_distribution<double>(0.3, 1)(random);
        signal.durations[last] =
            std::max(150, static_cast<std::int32_t>(signal.durations[last] * kept));
    }
    return signal;
}

}  // namespace quorvel::testing
