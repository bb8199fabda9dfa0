// Cutting and normalising a capture buffer of 10240 characters, as the learning pipeline does
// once per learned key.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "learning/normalise.h"

namespace {

constexpr std::size_t kBufferSize = 10240;
constexpr unsigned kCountsPerMicrosecond = 3;

std::string Group(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

std::string Mark(unsigned microseconds) {
    return Group(0x8000u | (microseconds * kCountsPerMicrosecond));
}

std::string Space(unsigned microseconds) {
    return Group(microseconds * kCountsPerMicrosecond);
}

// A long pause as the remote records it: "7FFF" groups and the remainder.
std::string Pause(unsigned microseconds) {
    std::string text;
    unsigned counts = microseconds * kCountsPerMicrosecond;
    for (; counts > 0x7FFF; counts -= 0x7FFF)
        text += "7FFF";
    return text + Group(counts);
}

// One NEC frame: leader, 32 bits, stop mark.
std::string NecFrame(unsigned code) {
    std::string text = Mark(9000) + Space(4500);
    for (int bit = 0; bit < 32; ++bit)
        text += Mark(560) + Space((code >> bit) & 1u ? 1690 : 560);
    return text + Mark(560);
}

std::string Buffer(const std::string& signal) {
    std::string text = signal;
    for (int k = 0; k < 20; ++k)
        text += "7FFF";
    text += "4F4F4F00";
    return text + std::string(kBufferSize - text.size(), '\0');
}

// A key held briefly: three frames with their pauses.
std::string TypicalCapture() {
    std::string signal = NecFrame(0xF708FB04);
    for (int k = 0; k < 2; ++k)
        signal += Pause(40000) + NecFrame(0xF708FB04);
    return Buffer(signal);
}

// Frames until the buffer is full, the end marker at its very end.
std::string FullCapture() {
    std::string signal = NecFrame(0xF708FB04);
    const std::string next = Pause(40000) + NecFrame(0xF708FB04);
    while (signal.size() + next.size() + 88 <= kBufferSize)
        signal += next;
    return Buffer(signal);
}

void Run(benchmark::State& state, const std::string& raw, bool normalises) {
    if (NormaliseRawCode(CutAtEndMarker(raw)).empty() == normalises)
        state.SkipWithError("the capture does not give the expected outcome");
    for (auto _ : state) {
        std::string cut = CutAtEndMarker(raw);
        std::string normalised = NormaliseRawCode(cut);
        benchmark::DoNotOptimize(normalised);
    }
}

void BM_NormaliseTypicalCapture(benchmark::State& state) {
    Run(state, TypicalCapture(), true);
}
void BM_NormaliseFullCapture(benchmark::State& state) {
    Run(state, FullCapture(), true);
}
// A buffer of zero characters: the whole buffer is searched for the marker.
void BM_NormaliseEmptyBuffer(benchmark::State& state) {
    Run(state, std::string(kBufferSize, '\0'), false);
}

BENCHMARK(BM_NormaliseTypicalCapture);
BENCHMARK(BM_NormaliseFullCapture);
BENCHMARK(BM_NormaliseEmptyBuffer);

}  // namespace

BENCHMARK_MAIN();
