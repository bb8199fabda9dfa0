#include "lirc/device_setup.h"

#include <errno.h>
#include <linux/lirc.h>

#include <algorithm>

namespace lirc {
namespace {

bool Has(std::uint32_t features, std::uint32_t feature) {
    return (features & feature) == feature;
}

// ENODEV is an unplugged device whatever was asked; anything else a refusal of the request.
Refusal RefusalOf(int errorNumber, DeviceRefusal otherwise) {
    if (errorNumber == ENODEV || errorNumber == ENXIO)
        return {DeviceRefusal::kGone, errorNumber, {}};
    return {otherwise, errorNumber, {}};
}

struct FeaturesRead {
    Refusal refusal;
    std::uint32_t features = 0;
};

// The features, or why the device is no LIRC device: one that returns an error for
// LIRC_GET_FEATURES is none.
FeaturesRead ReadFeatures(DeviceControl& control) {
    const DeviceControl::Answer answer = control.Get(LIRC_GET_FEATURES);
    if (answer.errorNumber != 0)
        return {RefusalOf(answer.errorNumber, DeviceRefusal::kNotLircDevice), 0};
    return {{}, answer.value};
}

// The timeout asked for, within the device's limits where it states them.
std::uint32_t TimeoutWithinLimits(DeviceControl& control, std::uint32_t wanted) {
    const DeviceControl::Answer least = control.Get(LIRC_GET_MIN_TIMEOUT);
    const DeviceControl::Answer most = control.Get(LIRC_GET_MAX_TIMEOUT);
    if (most.errorNumber == 0 && most.value != 0)
        wanted = std::min(wanted, most.value);
    if (least.errorNumber == 0)
        wanted = std::max(wanted, least.value);
    return wanted;
}

}  // namespace

ReceiverConfiguration ConfigureReceiver(DeviceControl& control, const ReceiveOptions& options) {
    ReceiverConfiguration result;
    const FeaturesRead features = ReadFeatures(control);
    result.refusal = features.refusal;
    if (result.refusal)
        return result;
    ReceiverSetup& setup = result.setup;
    setup.features = features.features;
    if (!Has(setup.features, LIRC_CAN_REC_MODE2)) {
        result.refusal = {DeviceRefusal::kCannotReceiveRaw, 0, {}};
        return result;
    }
    if (const int refused = control.Set(LIRC_SET_REC_MODE, LIRC_MODE_MODE2); refused != 0) {
        result.refusal = RefusalOf(refused, DeviceRefusal::kModeRefused);
        return result;
    }

    if (Has(setup.features, LIRC_CAN_SET_REC_TIMEOUT)) {
        const std::uint32_t timeout = TimeoutWithinLimits(control, options.signalEndUs);
        if (control.Set(LIRC_SET_REC_TIMEOUT, timeout) == 0) {
            // A device that cannot take the exact value takes the next greater one.
            const DeviceControl::Answer taken = control.Get(LIRC_GET_REC_TIMEOUT);
            setup.timeoutUs = taken.errorNumber == 0 && taken.value != 0 ? taken.value : timeout;
        }
    }
    // Kernels before 4.16 send no timeout values unless asked; later ones ignore the request.
    control.Set(LIRC_SET_REC_TIMEOUT_REPORTS, 1);

    if (Has(setup.features, LIRC_CAN_USE_WIDEBAND_RECEIVER)) {
        const bool on = options.learningReceiver;
        setup.learningReceiver = control.Set(LIRC_SET_WIDEBAND_RECEIVER, on ? 1 : 0) == 0 && on;
    }
    if (Has(setup.features, LIRC_CAN_MEASURE_CARRIER)) {
        const bool on = options.measureCarrier;
        setup.measuresCarrier = control.Set(LIRC_SET_MEASURE_CARRIER_MODE, on ? 1 : 0) == 0 && on;
    }
    if (Has(setup.features, LIRC_CAN_GET_REC_RESOLUTION)) {
        const DeviceControl::Answer resolution = control.Get(LIRC_GET_REC_RESOLUTION);
        if (resolution.errorNumber == 0)
            setup.resolutionUs = resolution.value;
    }
    return result;
}

TransmitterConfiguration ConfigureTransmitter(DeviceControl& control) {
    const FeaturesRead features = ReadFeatures(control);
    TransmitterConfiguration result{features.refusal, features.features};
    if (result.refusal)
        return result;
    if (!Has(result.features, LIRC_CAN_SEND_PULSE)) {
        result.refusal = {DeviceRefusal::kCannotSend, 0, {}};
        return result;
    }
    // Kernels before 4.16 know no send mode request: pulses are then their only mode.
    const DeviceControl::Answer mode = control.Get(LIRC_GET_SEND_MODE);
    if (mode.errorNumber == 0 && mode.value != LIRC_MODE_PULSE) {
        if (const int refused = control.Set(LIRC_SET_SEND_MODE, LIRC_MODE_PULSE); refused != 0)
            result.refusal = RefusalOf(refused, DeviceRefusal::kModeRefused);
    }
    return result;
}

CarrierSetup ApplyCarrier(DeviceControl& control, std::uint32_t features,
                          const CarrierSettings& settings) {
    CarrierSetup result;
    if (settings.carrierHz != 0 && Has(features, LIRC_CAN_SET_SEND_CARRIER)) {
        if (const int refused = control.Set(LIRC_SET_SEND_CARRIER, settings.carrierHz)) {
            result.outcome = CarrierOutcome::kCarrierRefused;
            result.errorNumber = refused;
            return result;
        }
        result.carrierSet = true;
    }
    if (settings.dutyCyclePercent != 0 && Has(features, LIRC_CAN_SET_SEND_DUTY_CYCLE)) {
        if (const int refused = control.Set(LIRC_SET_SEND_DUTY_CYCLE, settings.dutyCyclePercent)) {
            result.outcome = CarrierOutcome::kDutyCycleRefused;
            result.errorNumber = refused;
            return result;
        }
        result.dutyCycleSet = true;
    }
    return result;
}

}  // namespace lirc
