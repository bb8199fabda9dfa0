#include "lirc/transmission.h"

#include <linux/lirc.h>

#include <cstring>

namespace lirc {
namespace {

// A stretch of the signal between two pauses it may be cut at.
struct Stretch {
    std::vector<std::uint32_t> values;
    std::uint64_t us = 0;
};

bool Fits(std::size_t values, std::uint64_t us, const WriteLimits& limits) {
    return (limits.maxValues == 0 || values <= limits.maxValues) &&
           (limits.maxUs == 0 || us <= limits.maxUs);
}

}  // namespace

TransmissionPlan PlanTransmissions(const Durations& signal, const WriteLimits& limits) {
    Durations sent = signal;
    if (!sent.empty() && sent.back() < 0)
        sent.pop_back();
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const bool markExpected = i % 2 == 0;
        if (sent[i] == 0 || (sent[i] > 0) != markExpected)
            return {PlanOutcome::kNotASignal, {}};
    }
    if (sent.empty())
        return {PlanOutcome::kNotASignal, {}};

    // The stretches and the pauses between them.
    std::vector<Stretch> stretches(1);
    std::vector<std::uint32_t> pauses;
    for (const std::int32_t d : sent) {
        const auto us = static_cast<std::uint32_t>(d > 0 ? d : -d);
        if (d < 0 && us >= kMinCutSpaceUs) {
            pauses.push_back(us);
            stretches.emplace_back();
            continue;
        }
        stretches.back().values.push_back(us);
        stretches.back().us += us;
    }

    TransmissionPlan plan;
    Stretch write;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const Stretch& stretch = stretches[i];
        if (!Fits(stretch.values.size(), stretch.us, limits))
            return {PlanOutcome::kFrameTooLong, {}};
        if (i > 0) {
            const std::uint32_t pause = pauses[i - 1];
            if (Fits(write.values.size() + 1 + stretch.values.size(), write.us + pause + stretch.us,
                     limits)) {
                write.values.push_back(pause);
                write.us += pause;
            } else {
                plan.transmissions.push_back({std::move(write.values), pause});
                write = {};
            }
        }
        write.values.insert(write.values.end(), stretch.values.begin(), stretch.values.end());
        write.us += stretch.us;
    }
    plan.transmissions.push_back({std::move(write.values), 0});
    return plan;
}

std::optional<Durations> ReadTransmitted(std::string_view bytes) {
    if (bytes.size() % sizeof(std::uint32_t) != 0)
        return std::nullopt;
    Durations durations;
    for (std::size_t at = 0; at < bytes.size(); at += sizeof(std::uint32_t)) {
        std::uint32_t value = 0;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        if (value == 0 || LIRC_MODE2(value) != 0)
            return std::nullopt;
        const auto us = static_cast<std::int32_t>(value);
        durations.push_back(durations.size() % 2 == 0 ? us : -us);
    }
    return durations;
}

}  // namespace lirc
