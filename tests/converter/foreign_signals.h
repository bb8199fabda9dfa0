#pragma once
// Signals of protocols the converter does not know, written from their IRP definitions, with
// random parameters (extremes included): none may decode as a protocol of the table, however
// near its timing lies. Several are chosen for that nearness: Proton and G.I. Cable open like
// NEC and JVC, Mitsubishi and XMP pulse like Sharp, RECS80 like Thomson, Emerson and
// Panasonic_Old like NECx.

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "converter/ir_protocol.h"
#include "converter/ir_render.h"

namespace quorvel::testing {

// Collects durations in µs, merging neighbours of one level.
class SignalWriter {
  public:
    explicit SignalWriter(double unit = 1) : unit_(unit) {}
    SignalWriter& Units(double units) { return Us(units * unit_); }
    SignalWriter& Us(double us) {
        frame_ += std::fabs(us);
        const auto d = static_cast<std::int32_t>(std::lround(us));
        if (d == 0)
            return *this;
        if (!out_.empty() && (out_.back() > 0) == (d > 0))
            out_.back() += d;
        else
            out_.push_back(d);
        return *this;
    }
    // Bits of value, each written as the pattern (in units) of its bit.
    SignalWriter& Bits(std::uint32_t value, int width, bool msbFirst,
                       const std::vector<std::vector<double>>& patterns, int bitsPerSymbol = 1) {
        for (int i = 0; i < width; i += bitsPerSymbol) {
            const int shift = msbFirst ? width - i - bitsPerSymbol : i;
            const std::uint32_t symbol = (value >> shift) & ((1u << bitsPerSymbol) - 1);
            for (double half : patterns[symbol])
                Units(half);
        }
        return *this;
    }
    // A lead-out to `us` from the frame's start.
    SignalWriter& To(double us) {
        Us(-std::max(us - frame_, unit_));
        frame_ = 0;
        return *this;
    }
    SignalWriter& NewFrame() {
        frame_ = 0;
        return *this;
    }
    Durations Take() { return out_; }

  private:
    double unit_;
    double frame_ = 0;
    Durations out_;
};

struct ForeignSignal {
    std::string protocol;
    std::uint32_t carrierHz;
    Rendered rendered;  // lead-in flags all clear
};

// Frames start at the first mark and after every pause of 10 ms or more.
inline Rendered AsRendered(Durations durations, std::uint32_t carrierHz) {
    Rendered out;
    out.durations = std::move(durations);
    out.leadIn.assign(out.durations.size(), false);
    out.frameStarts = {0};
    for (std::size_t i = 0; i + 1 < out.durations.size(); ++i) {
        if (out.durations[i] <= -10000)
            out.frameStarts.push_back(i + 1);
    }
    out.carrierHz = carrierHz;
    return out;
}

// One signal of each foreign protocol for parameters drawn from `random`: the first call of a
// sequence with all parameters zero, the second with all ones, then random ones.
inline std::vector<ForeignSignal> ForeignSignals(std::mt19937& random, int variant) {
    auto draw = [&](int bits) -> std::uint32_t {
        const std::uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
        if (variant == 0)
            return 0;
        if (variant == 1)
            return max;
        return std::uniform_int_distribution<std::uint32_t>(0, max)(random);
    };
    const int frames = 1 + variant % 3;
    std::vector<ForeignSignal> out;
    auto add = [&](const char* name, std::uint32_t carrier, Durations d) {
        out.push_back({name, carrier, AsRendered(std::move(d), carrier)});
    };
    const std::vector<std::vector<double>> pulse11_13 = {{1, -1}, {1, -3}};

    {  // Proton {38k,500}<1,-1|1,-3>(16,-8,D:8,1,-8,F:8,1,^63m)*
        SignalWriter w(500);
        const auto d = draw(8), f = draw(8);
        for (int r = 0; r < frames; ++r)
            w.Units(16)
                .Units(-8)
                .Bits(d, 8, false, pulse11_13)
                .Units(1)
                .Units(-8)
                .Bits(f, 8, false, pulse11_13)
                .Units(1)
                .To(63000);
        add("Proton", 38000, w.Take());
    }
    {  // Mitsubishi {32.6k,300}<1,-3|1,-7>(D:8,F:8,1,-80)*
        SignalWriter w(300);
        const auto d = draw(8), f = draw(8);
        for (int r = 0; r < frames; ++r)
            w.Bits(d, 8, false, {{1, -3}, {1, -7}})
                .Bits(f, 8, false, {{1, -3}, {1, -7}})
                .Units(1)
                .Units(-80);
        add("Mitsubishi", 32600, w.Take());
    }
    {  // G.I. Cable {38.7k,490}<1,-4.5|1,-9>(18,-9,F:8,D:4,C:4,1,-84,(18,-4.5,1,-178)*)
        SignalWriter w(490);
        const auto f = draw(8), d = draw(4);
        const std::uint32_t c = ((d + (f & 15) + (f >> 4)) & 15);
        w.Units(18)
            .Units(-9)
            .Bits(f, 8, false, {{1, -4.5}, {1, -9}})
            .Bits(d, 4, false, {{1, -4.5}, {1, -9}});
        w.Bits(c, 4, false, {{1, -4.5}, {1, -9}}).Units(1).Units(-84);
        for (int r = 1; r < frames; ++r)
            w.Units(18).Units(-4.5).Units(1).Units(-178);
        add("G.I. Cable", 38700, w.Take());
    }
    {  // Emerson {36.7k,872}<1,-1|1,-3>(4,-4,D:6,F:6,~D:6,~F:6,1,-39)*
        SignalWriter w(872);
        const auto d = draw(6), f = draw(6);
        for (int r = 0; r < frames; ++r)
            w.Units(4)
                .Units(-4)
                .Bits(d, 6, false, pulse11_13)
                .Bits(f, 6, false, pulse11_13)
                .Bits(~d & 63, 6, false, pulse11_13)
                .Bits(~f & 63, 6, false, pulse11_13)
                .Units(1)
                .Units(-39);
        add("Emerson", 36700, w.Take());
    }
    {  // Panasonic_Old {57.6k,833}<1,-1|1,-3>(4,-4,D:5,F:6,~D:5,~F:6,1,-44m)*
        SignalWriter w(833);
        const auto d = draw(5), f = draw(6);
        for (int r = 0; r < frames; ++r)
            w.Units(4)
                .Units(-4)
                .Bits(d, 5, false, pulse11_13)
                .Bits(f, 6, false, pulse11_13)
                .Bits(~d & 31, 5, false, pulse11_13)
                .Bits(~f & 63, 6, false, pulse11_13)
                .Units(1)
                .Us(-44000);
        add("Panasonic_Old", 57600, w.Take());
    }
    {  // RECS80 {38k,158,msb}<1,-31|1,-47>(1:1,T:1,D:3,F:6,1,-45m)*
        SignalWriter w(158);
        const auto t = draw(1), d = draw(3), f = draw(6);
        for (int r = 0; r < frames; ++r)
            w.Bits((1u << 10) | (t << 9) | (d << 6) | f, 11, true, {{1, -31}, {1, -47}})
                .Units(1)
                .Us(-45000);
        add("RECS80", 38000, w.Take());
    }
    {  // XMP {38k,136,msb}<210u,-760u|...|210u,-2800u>: 8 nibbles, 210u,-13.8m, 8 nibbles
        std::vector<std::vector<double>> nibbles;
        for (int n = 0; n < 16; ++n)
            nibbles.push_back({210.0 / 136, -(760.0 + 136.0 * n) / 136});
        SignalWriter w(136);
        const auto first = draw(32), second = draw(32);
        for (int r = 0; r < frames; ++r)
            w.Bits(first, 32, true, nibbles, 4)
                .Us(210)
                .Us(-13800)
                .Bits(second, 32, true, nibbles, 4)
                .Us(210)
                .Us(-80400);
        add("XMP", 38000, w.Take());
    }
    {  // Nokia32
       // {36k,msb}<164,-276|164,-445|164,-614|164,-783>(412,-276,D:8,S:8,X:8,F:8,164,^100m)*
        const std::vector<std::vector<double>> symbols = {
            {164, -276}, {164, -445}, {164, -614}, {164, -783}};
        SignalWriter w(1);
        const auto data = draw(32);
        for (int r = 0; r < frames; ++r)
            w.Us(412).Us(-276).Bits(data, 32, true, symbols, 2).Us(164).To(100000);
        add("Nokia", 36000, w.Take());
    }
    {  // DirecTV {38k,600,msb}<1,-1|1,-2|2,-1|2,-2>(5,(5,-2,D:4,F:8,C:4,1,-50)+)
        const std::vector<std::vector<double>> symbols = {{1, -1}, {1, -2}, {2, -1}, {2, -2}};
        SignalWriter w(600);
        const auto d = draw(4), f = draw(8);
        const std::uint32_t c =
            (7 * (f >> 6) + 5 * ((f >> 4) & 3) + 3 * ((f >> 2) & 3) + (f & 3)) & 15;
        w.Units(5);
        for (int r = 0; r < frames; ++r)
            w.Units(5)
                .Units(-2)
                .Bits((d << 12) | (f << 4) | c, 16, true, symbols, 2)
                .Units(1)
                .Units(-50);
        add("DirecTV", 38000, w.Take());
    }
    {  // Blaupunkt {30.3k,528,msb}<-1,1|1,-1>(1,-5,1023:10,-44,(1,-5,1:1,F:6,D:2,-121)+)
        SignalWriter w(528);
        const auto f = draw(6), d = draw(2);
        w.Units(1).Units(-5).Bits(1023, 10, true, {{-1, 1}, {1, -1}}).Units(-44);
        for (int r = 0; r < frames; ++r)
            w.Units(1)
                .Units(-5)
                .Bits((1u << 8) | (f << 2) | d, 9, true, {{-1, 1}, {1, -1}})
                .Units(-121);
        add("Blaupunkt", 30300, w.Take());
    }
    {  // Grundig16 {35.7k,578,msb}<-4,2|-3,1,1,1|1,-1,-3,1|1,-1,-1,1,1,-1,1,-1>
       //           (806u,-2960u,1346u,T:1,F:8,D:7,-100)*
        const std::vector<std::vector<double>> symbols = {
            {-4, 2}, {-3, 1, 1, 1}, {1, -1, -3, 1}, {1, -1, -1, 1, 1, -1, 1, -1}};
        SignalWriter w(578);
        const auto data = draw(16);
        for (int r = 0; r < frames; ++r)
            w.Us(806).Us(-2960).Us(1346).Bits(data, 16, true, symbols, 2).Units(-100);
        add("Grundig16", 35700, w.Take());
    }
    {  // Sejin-1 {38.8k,310,msb}<-1|1>(<8:4|4:4|2:4|1:4>(3,3:2,Dx:8,Fx:8,Fy:8,E:4,C:4,-L)):
       // every two bits one mark of a unit in one of four places.
        const std::vector<std::vector<double>> symbols = {
            {1, -3}, {-1, 1, -2}, {-2, 1, -1}, {-3, 1}};
        SignalWriter w(310);
        const auto data = draw(32);
        for (int r = 0; r < frames; ++r)
            w.Units(3)
                .Units(-3)
                .Bits(3, 2, true, symbols, 2)
                .Bits(data, 32, true, symbols, 2)
                .Units(1)
                .Us(-30000);
        add("Sejin", 38800, w.Take());
    }
    {  // Random raw timings: a lead-in, then marks and spaces of a few random lengths.
        SignalWriter w(1);
        std::uniform_int_distribution<int> length(150, 3000);
        const int lengths[4] = {length(random), length(random), length(random), length(random)};
        std::uniform_int_distribution<int> pick(0, 3);
        const int count = std::uniform_int_distribution<int>(4, 60)(random);
        for (int r = 0; r < frames; ++r) {
            w.Us(length(random) * 3).Us(-length(random) * 2);
            for (int i = 0; i < count; ++i)
                w.Us(lengths[pick(random)]).Us(-lengths[pick(random)]);
            w.Us(lengths[0]).Us(-40000);
        }
        add("random raw", 38000, w.Take());
    }
    return out;
}

}  // namespace quorvel::testing
