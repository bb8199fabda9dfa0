#pragma once
// The transmitter to send through when the user names none: the machine's one LIRC device
// (/dev/lirc0, /dev/lirc1, ...) that can send pulses. Two that can, or none, is the user's
// choice to make, with the devices that were looked at and why each one cannot serve.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lirc/device_setup.h"

namespace lirc {

// What a device reports of itself: its features, or why it could not be asked.
struct DeviceProbe {
    Refusal refusal;
    std::uint32_t features = 0;
};

// Opens the path without changing the device and reads LIRC_GET_FEATURES.
DeviceProbe ProbeDevice(const std::string& path);

enum class TransmitterSearchOutcome {
    kFound,    // path: the one device that can send
    kNone,     // no LIRC device at all, or none that can send (lookedAt says why)
    kSeveral,  // candidates: more than one can send
};

struct LookedAt {
    std::string path;
    Refusal refusal;  // why it cannot send: kCannotSend, kPermissionDenied, ...
};

struct TransmitterSearch {
    TransmitterSearchOutcome outcome = TransmitterSearchOutcome::kNone;
    std::string path;
    std::vector<std::string> candidates;
    std::vector<LookedAt> lookedAt;
};

// Looks at the entries lircN of the folder, in the order of N. probe: ProbeDevice, or a
// test's stand-in.
TransmitterSearch FindTransmitter(
    const std::string& folder = "/dev",
    const std::function<DeviceProbe(const std::string&)>& probe = ProbeDevice);

}  // namespace lirc
