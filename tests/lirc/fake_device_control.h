#pragma once
// A LIRC device in a test's hands: the features it reports, the values it answers, the
// requests it refuses, and every value set on it, in order.

#include <errno.h>
#include <linux/lirc.h>

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "lirc/device_control.h"

namespace lirc::testing {

class FakeDeviceControl final : public DeviceControl {
  public:
    explicit FakeDeviceControl(std::uint32_t features) { answers[LIRC_GET_FEATURES] = features; }

    Answer Get(unsigned long request) override {
        if (const auto refused = refusals.find(request); refused != refusals.end())
            return {refused->second, 0};
        const auto answer = answers.find(request);
        // A driver without the request answers ENOTTY.
        return answer == answers.end() ? Answer{ENOTTY, 0} : Answer{0, answer->second};
    }

    int Set(unsigned long request, std::uint32_t value) override {
        if (const auto refused = refusals.find(request); refused != refusals.end())
            return refused->second;
        set.emplace_back(request, value);
        return 0;
    }

    // The value set last by a request, or nothing.
    std::optional<std::uint32_t> Last(unsigned long request) const {
        std::optional<std::uint32_t> value;
        for (const auto& [done, v] : set) {
            if (done == request)
                value = v;
        }
        return value;
    }

    std::map<unsigned long, std::uint32_t> answers;
    std::map<unsigned long, int> refusals;  // request: errno
    std::vector<std::pair<unsigned long, std::uint32_t>> set;
};

}  // namespace lirc::testing
