#pragma once
// What the device layer asks of a LIRC device, decided from the features it reports: the
// requests for receiving raw timings of whole key presses, for sending pulses, and for the
// carrier of one transmission. Everything goes through DeviceControl, so the choices are the
// same for a real device and for a test's stand-in.

#include <cstdint>
#include <string>

#include "lirc/device_control.h"
#include "lirc/mode2_stream.h"

namespace lirc {

// Why a path cannot serve as asked.
enum class DeviceRefusal {
    kNone,
    kMissing,           // no such path
    kPermissionDenied,  // group names the device's group, when known
    kGone,              // ENODEV, ENXIO: the device was unplugged
    kUnusableFile,      // a folder, a socket, a block device: no stream to read or write
    kRegularFile,       // sending to a regular file, which would be written over
    kNotLircDevice,     // a character device that does not answer LIRC_GET_FEATURES
    kCannotReceiveRaw,  // lacks LIRC_CAN_REC_MODE2 (decodes in hardware, or only sends)
    kCannotSend,        // lacks LIRC_CAN_SEND_PULSE (a receiver only)
    kModeRefused,       // refused the mode2 receive mode or the pulse send mode
    kOpenFailed,        // opening failed otherwise
};

struct Refusal {
    DeviceRefusal reason = DeviceRefusal::kNone;
    int errorNumber = 0;  // the errno behind it, where there is one
    std::string group;    // kPermissionDenied: the device's group

    explicit operator bool() const { return reason != DeviceRefusal::kNone; }
};

struct ReceiveOptions {
    // Asked of the device as its receive timeout (within what it allows) and used by the
    // stream reader for long spaces: one key press, repeat frames and all, is one signal.
    std::uint32_t signalEndUs = kSignalEndUs;
    // The wide-band (learning) receiver, where the device has one: any carrier, more exact
    // timings, at the cost of range. Off switches it off where it was left on.
    bool learningReceiver = true;
    // Frequency reports, where the device can measure the carrier.
    bool measureCarrier = true;
};

// What a receiver was set to.
struct ReceiverSetup {
    std::uint32_t features = 0;
    std::uint32_t timeoutUs = 0;     // 0: the device's own (it cannot be set, or was refused)
    bool learningReceiver = false;   // the wide-band receiver is on
    bool measuresCarrier = false;    // frequency reports are on
    std::uint32_t resolutionUs = 0;  // 0: the device does not say

    bool operator==(const ReceiverSetup&) const = default;
};

struct ReceiverConfiguration {
    Refusal refusal;
    ReceiverSetup setup;
};

// Reads the features and sets the receive mode (refused: the configuration is refused), then
// the timeout, the wide-band receiver and carrier measurement where the device offers them
// (a refusal of these leaves the device as it was and is told in setup).
ReceiverConfiguration ConfigureReceiver(DeviceControl& control, const ReceiveOptions& options);

struct TransmitterConfiguration {
    Refusal refusal;
    std::uint32_t features = 0;
};

// Reads the features and makes sure the device sends pulses.
TransmitterConfiguration ConfigureTransmitter(DeviceControl& control);

// The carrier of one transmission. 0: leave the device's own.
struct CarrierSettings {
    std::uint32_t carrierHz = 0;
    std::uint32_t dutyCyclePercent = 0;  // 1-99
};

enum class CarrierOutcome {
    kApplied,           // set where the device offers it; a device without it keeps its own
    kCarrierRefused,    // the device cannot send this carrier
    kDutyCycleRefused,  // nor this duty cycle
};

struct CarrierSetup {
    CarrierOutcome outcome = CarrierOutcome::kApplied;
    int errorNumber = 0;
    bool carrierSet = false;
    bool dutyCycleSet = false;
};

CarrierSetup ApplyCarrier(DeviceControl& control, std::uint32_t features,
                          const CarrierSettings& settings);

}  // namespace lirc
