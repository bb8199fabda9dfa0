// Conversions per second on one core: ConvertCode on the normalised body of one key press
// (the first frame and one repeat frame) of every protocol, and on raw signals that no
// protocol explains, which have to be tried against every protocol first. The slowest path is
// such a raw signal as a weak receiver delivers it: every length of it distinct, so that the
// raw record's table has the most to group.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "converter/body_text.h"
#include "converter/ir_render.h"
#include "converter/quorvel.h"

namespace {

void Convert(benchmark::State& state, const std::string& body) {
    for (auto _ : state) {
        const char* result = ConvertCode(body.c_str(), QUORVEL_MODE);
        benchmark::DoNotOptimize(result);
        if (result[0] == '\0')
            state.SkipWithError("the body did not convert");
    }
    state.SetItemsProcessed(state.iterations());
}

// A remote of no known protocol: 32 bits of 450/450 and 450/1350 after a 3500/1700 lead-in,
// three frames, each duration off by up to `jitter` µs.
std::string UnknownBody(int jitter) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> noise(-jitter, jitter);
    quorvel::Durations signal;
    for (int frame = 0; frame < 3; ++frame) {
        signal.push_back(3500 + noise(random));
        signal.push_back(-1700 - noise(random));
        for (int bit = 0; bit < 32; ++bit) {
            signal.push_back(450 + noise(random));
            signal.push_back(-((0x9A3C55E1u >> bit) & 1 ? 1350 : 450) - noise(random));
        }
        signal.push_back(450 + noise(random));
        signal.push_back(-40000);
    }
    return quorvel::FormatBody(signal);
}

// The same remote through a weak receiver: marks 150 µs long and spaces as much short, every
// edge off by up to 40 µs, five frames.
std::string ReceivedUnknownBody() {
    std::mt19937 random(12);
    std::uniform_int_distribution<int> edge(-40, 40);
    constexpr int kExcess = 150;
    quorvel::Durations signal;
    int late = 0;  // how late the last edge came
    auto add = [&](int us, bool mark) {
        const int next = edge(random);
        const int length = us + (mark ? kExcess : -kExcess) + next - late;
        late = next;
        signal.push_back(mark ? length : -length);
    };
    for (int frame = 0; frame < 5; ++frame) {
        add(3500, true);
        add(1700, false);
        for (int bit = 0; bit < 32; ++bit) {
            add(450, true);
            add((0x9A3C55E1u >> bit) & 1 ? 1350 : 450, false);
        }
        add(450, true);
        add(40000, false);
    }
    return quorvel::FormatBody(signal);
}

void RegisterAll() {
    for (const quorvel::ProtocolDef& def : quorvel::ProtocolTable()) {
        quorvel::Params params;
        params[quorvel::Param::kD] = 0x15 & def.MaxValue(quorvel::Param::kD);
        params[quorvel::Param::kS] = 0x2A & def.MaxValue(quorvel::Param::kS);
        params[quorvel::Param::kF] = 0x5C & def.MaxValue(quorvel::Param::kF);
        params[quorvel::Param::kM] = 0xAA & def.MaxValue(quorvel::Param::kM);
        params[quorvel::Param::kN] = 0x5A & def.MaxValue(quorvel::Param::kN);
        const std::string body = quorvel::FormatBody(quorvel::Render(def, params, 1).durations);
        benchmark::RegisterBenchmark(("ConvertCode/" + def.name).c_str(), Convert, body);
    }
    benchmark::RegisterBenchmark("ConvertCode/raw_clean", Convert, UnknownBody(0));
    benchmark::RegisterBenchmark("ConvertCode/raw_jitter", Convert, UnknownBody(40));
    benchmark::RegisterBenchmark("ConvertCode/raw_weak_receiver", Convert, ReceivedUnknownBody());
}

}  // namespace

int main(int argc, char** argv) {
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
