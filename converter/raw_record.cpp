// Durations within a sixty-fourth of each other (jitter, for a receiver) share one table
// entry, so that a clean signal is kept exactly, a jittery one compactly, and the same signal
// learned twice gives the same record.
#include "converter/raw_record.h"

#include "converter/body_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace quorvel {
namespace {

constexpr std::uint8_t kMarker = 0x52;  // "R"
constexpr std::size_t kHeaderBytes = 5;
constexpr std::int32_t kLongestMicroseconds = 0x7FFF;
constexpr std::uint16_t kMilliseconds = 0x8000;
constexpr std::int64_t kDefaultLeadOutUs = 20000;

// The table value of a duration's length: µs when it fits, else whole ms.
std::uint16_t TableValue(std::int64_t us) {
    if (us <= kLongestMicroseconds)
        return static_cast<std::uint16_t>(us);
    const std::int64_t ms = std::min<std::int64_t>((us + 500) / 1000, kLongestMicroseconds);
    return static_cast<std::uint16_t>(kMilliseconds | ms);
}

std::int64_t Microseconds(std::uint16_t value) {
    return (value & kMilliseconds) ? std::int64_t{value & 0x7FFF} * 1000 : value;
}

struct Length {
    std::uint16_t value;  // a table value
    std::size_t count;    // how often the signal holds it
};

// The signal's lengths grouped into runs no wider than a `divisor`-th of the run's start; each
// run becomes one entry, the count-weighted mean of its lengths. entryOf gives each length's
// entry. Empty when more than 255 entries are needed.
struct Table {
    std::vector<std::uint16_t> values;
    std::vector<std::uint8_t> entryOf;  // parallel to the sorted lengths
};

Table Cluster(const std::vector<Length>& lengths, int divisor) {
    Table table;
    table.entryOf.resize(lengths.size());
    std::size_t i = 0;
    while (i < lengths.size()) {
        if (table.values.size() == 255)
            return {};
        const std::int64_t start = Microseconds(lengths[i].value);
        const bool ms = (lengths[i].value & kMilliseconds) != 0;
        const std::int64_t width = std::max<std::int64_t>(2, start / divisor);
        std::int64_t weighted = 0;
        std::int64_t total = 0;
        for (; i < lengths.size() && ((lengths[i].value & kMilliseconds) != 0) == ms &&
               Microseconds(lengths[i].value) - start <= width;
             ++i) {
            weighted +=
                Microseconds(lengths[i].value) * static_cast<std::int64_t>(lengths[i].count);
            total += static_cast<std::int64_t>(lengths[i].count);
            table.entryOf[i] = static_cast<std::uint8_t>(table.values.size());
        }
        const std::int64_t mean = (weighted + total / 2) / total;
        table.values.push_back(ms ? static_cast<std::uint16_t>(kMilliseconds | (mean / 1000))
                                  : static_cast<std::uint16_t>(mean));
    }
    return table;
}

}  // namespace

std::optional<Bytes> EncodeRaw(const Durations& signal, std::size_t maxBytes) {
    if (signal.empty() || signal.front() <= 0)
        return std::nullopt;
    // Alternating from a mark; a duration of the wrong level gets an empty one in between.
    std::vector<std::uint16_t> sequence;
    sequence.reserve(signal.size() + 1);
    bool expectMark = true;
    for (std::int32_t d : signal) {
        if (d == 0)
            continue;
        if ((d > 0) != expectMark) {
            sequence.push_back(0);
            expectMark = !expectMark;
        }
        sequence.push_back(TableValue(std::llabs(static_cast<long long>(d))));
        expectMark = !expectMark;
    }
    if (sequence.size() % 2 == 1) {
        // A lead-out after the final mark: the signal's last pause, the repeat period of most
        // remotes, or 20 ms for a signal that never paused.
        std::int64_t leadOut = kDefaultLeadOutUs;
        for (auto it = signal.rbegin(); it != signal.rend(); ++it) {
            if (*it < -kLongestBodySpaceUs) {
                leadOut = -static_cast<std::int64_t>(*it);
                break;
            }
        }
        sequence.push_back(TableValue(leadOut));
    }
    if (sequence.size() > 0xFFFF)
        return std::nullopt;

    // Sorted with each duration's place in the sequence packed below its value, so that one
    // pass both counts the lengths and tells every duration its length.
    std::vector<std::uint32_t> sorted(sequence.size());
    for (std::size_t i = 0; i < sequence.size(); ++i)
        sorted[i] = (std::uint32_t{sequence[i]} << 16) | static_cast<std::uint32_t>(i);
    std::sort(sorted.begin(), sorted.end());
    std::vector<Length> lengths;
    std::vector<std::uint16_t> lengthOf(sequence.size());
    for (std::uint32_t key : sorted) {
        const auto v = static_cast<std::uint16_t>(key >> 16);
        if (!lengths.empty() && lengths.back().value == v)
            ++lengths.back().count;
        else
            lengths.push_back({v, 1});
        lengthOf[key & 0xFFFF] = static_cast<std::uint16_t>(lengths.size() - 1);
    }
    Table table;
    for (int divisor = 64; table.values.empty() && divisor >= 1; divisor /= 2)
        table = Cluster(lengths, divisor);
    if (table.values.empty())
        return std::nullopt;

    const int indexBits = table.values.size() <= 16 ? 4 : 8;
    Bytes out;
    out.push_back(kMarker);
    out.push_back(static_cast<std::uint8_t>(indexBits));
    out.push_back(static_cast<std::uint8_t>(table.values.size()));
    out.push_back(static_cast<std::uint8_t>(sequence.size() & 0xFF));
    out.push_back(static_cast<std::uint8_t>(sequence.size() >> 8));
    for (std::uint16_t v : table.values) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    const std::size_t indexBytes = indexBits == 4 ? (sequence.size() + 1) / 2 : sequence.size();
    if (out.size() + indexBytes > maxBytes)
        return std::nullopt;
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const std::uint8_t index = table.entryOf[lengthOf[i]];
        if (indexBits == 8)
            out.push_back(index);
        else if (i % 2 == 0)
            out.push_back(static_cast<std::uint8_t>(index << 4));
        else
            out.back() |= index;
    }
    out.resize((out.size() + 7) / 8 * 8, 0);
    if (out.size() > maxBytes)
        return std::nullopt;
    return out;
}

std::optional<Durations> DecodeRaw(const Bytes& data) {
    if (data.size() < kHeaderBytes || data[0] != kMarker || (data[1] != 4 && data[1] != 8))
        return std::nullopt;
    const int indexBits = data[1];
    const std::size_t entries = data[2];
    const std::size_t length = data[3] | (data[4] << 8);
    const std::size_t indexBytes = indexBits == 4 ? (length + 1) / 2 : length;
    if (entries == 0 || length == 0 || data.size() < kHeaderBytes + 2 * entries + indexBytes)
        return std::nullopt;
    std::vector<std::int64_t> table(entries);
    for (std::size_t e = 0; e < entries; ++e)
        table[e] = Microseconds(static_cast<std::uint16_t>(data[kHeaderBytes + 2 * e] |
                                                           (data[kHeaderBytes + 2 * e + 1] << 8)));
    const std::size_t indices = kHeaderBytes + 2 * entries;
    Durations signal;
    signal.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t byte = data[indices + (indexBits == 4 ? i / 2 : i)];
        const std::size_t index = indexBits == 8 ? byte : (i % 2 == 0 ? byte >> 4 : byte & 0x0F);
        if (index >= entries)
            return std::nullopt;
        const auto us = static_cast<std::int32_t>(table[index]);
        signal.push_back(i % 2 == 0 ? us : -us);
    }
    return signal;
}

}  // namespace quorvel
