// Durations within a sixty-fourth of each other (jitter, for a receiver) share one table
// entry, so that a clean signal is kept exactly, a jittery one compactly, and the same signal
// learned twice gives the same record.
#include "raw_record.h"

#include "body_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

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

struct Table {
    std::vector<std::uint16_t> values;
    std::map<std::uint16_t, std::uint8_t> indexOf;  // table value of a length -> entry
};

// Groups the lengths (sorted, with their counts) into runs no wider than `divisor`-th of the
// run's start; each run becomes one entry, the count-weighted mean of its lengths.
Table Cluster(const std::map<std::uint16_t, std::size_t>& counts, int divisor) {
    Table table;
    auto it = counts.begin();
    while (it != counts.end() && table.values.size() < 256) {
        const std::int64_t start = Microseconds(it->first);
        const bool ms = (it->first & kMilliseconds) != 0;
        std::int64_t weighted = 0;
        std::size_t total = 0;
        std::vector<std::uint16_t> members;
        while (it != counts.end() && ((it->first & kMilliseconds) != 0) == ms &&
               Microseconds(it->first) - start <= std::max<std::int64_t>(2, start / divisor)) {
            weighted += Microseconds(it->first) * static_cast<std::int64_t>(it->second);
            total += it->second;
            members.push_back(it->first);
            ++it;
        }
        const std::int64_t mean =
            (weighted + static_cast<std::int64_t>(total) / 2) / static_cast<std::int64_t>(total);
        for (std::uint16_t m : members)
            table.indexOf[m] = static_cast<std::uint8_t>(table.values.size());
        table.values.push_back(ms ? static_cast<std::uint16_t>(kMilliseconds | (mean / 1000))
                                  : static_cast<std::uint16_t>(mean));
    }
    if (it != counts.end())
        table.values.clear();  // too many entries
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

    std::map<std::uint16_t, std::size_t> counts;
    for (std::uint16_t v : sequence)
        ++counts[v];
    Table table;
    for (int divisor = 64; table.values.empty() && divisor >= 1; divisor /= 2)
        table = Cluster(counts, divisor);
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
        const std::uint8_t index = table.indexOf.at(sequence[i]);
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
