// libFuzzer target: any bytes, cut into any chunks, read as a mode2 stream give whole signals
// (alternating from a mark to a mark, no zero, no longer than the most a signal may hold) and
// lost-signal events, then exactly one event that ends the stream; and the same events
// whatever the chunking.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lirc/mode2_stream.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool Same(const lirc::StreamReading& a, const lirc::StreamReading& b) {
    return a.event == b.event && a.signal == b.signal;
}

std::vector<lirc::StreamReading> Read(const std::uint8_t* data, std::size_t size, std::size_t chunk,
                                      std::uint32_t signalEndUs) {
    lirc::Mode2Assembler assembler(signalEndUs);
    std::vector<lirc::StreamReading> readings;
    for (std::size_t at = 0; at < size; at += chunk) {
        assembler.Feed(data + at, chunk < size - at ? chunk : size - at);
        while (assembler.HasEvent())
            readings.push_back(assembler.TakeEvent());
    }
    assembler.Finish();
    while (assembler.HasEvent())
        readings.push_back(assembler.TakeEvent());
    return readings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first byte chooses the chunk size, the second how long a space ends a signal.
    const std::size_t chunk = 1 + data[0] % 13;
    const std::uint32_t signalEndUs = 1000u + data[1] * 1000u;
    data += 2;
    size -= 2;

    const auto readings = Read(data, size, chunk, signalEndUs);
    Check(!readings.empty());
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const lirc::StreamReading& reading = readings[i];
        Check(lirc::EndsStream(reading.event) == (i + 1 == readings.size()));
        Check(reading.event != lirc::StreamEvent::kWaitOver &&
              reading.event != lirc::StreamEvent::kStopped);
        if (reading.event != lirc::StreamEvent::kSignal)
            continue;
        const lirc::Durations& durations = reading.signal.durations;
        Check(durations.size() % 2 == 1);
        Check(durations.size() <= lirc::kMaxSignalDurations);
        for (std::size_t d = 0; d < durations.size(); ++d) {
            Check(durations[d] != 0);
            Check((durations[d] > 0) == (d % 2 == 0));
            Check(durations[d] > 0 || static_cast<std::uint32_t>(-durations[d]) < signalEndUs);
        }
    }

    const auto whole = Read(data, size, size == 0 ? 1 : size, signalEndUs);
    Check(whole.size() == readings.size());
    for (std::size_t i = 0; i < whole.size(); ++i)
        Check(Same(whole[i], readings[i]));
    return 0;
}
