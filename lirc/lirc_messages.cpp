#include "lirc/lirc_messages.h"

#include <string.h>

namespace lirc {
namespace {

std::string ErrorText(int errorNumber) {
    char buffer[256];
    // The GNU strerror_r: the text may or may not be in buffer.
    return ::strerror_r(errorNumber, buffer, sizeof buffer);
}

}  // namespace

std::string DescribeRefusal(const std::string& path, const Refusal& refusal, Use use) {
    switch (refusal.reason) {
        case DeviceRefusal::kNone:
            return path + " is usable";
        case DeviceRefusal::kMissing:
            return path + " does not exist" +
                   (path.rfind("/dev/", 0) == 0
                        ? " (is the receiver plugged in and its driver loaded? ls /dev/lirc*)"
                        : "");
        case DeviceRefusal::kPermissionDenied:
            if (!refusal.group.empty() && refusal.group != "root")
                return "no permission to use " + path + ": it belongs to the group " +
                       refusal.group + "; join it (sudo usermod -aG " + refusal.group +
                       " $USER) and log in again";
            return "no permission to use " + path +
                   ": give the device to a group of yours with a udev rule (see the README)";
        case DeviceRefusal::kGone:
            return path + " went away (the device was unplugged)";
        case DeviceRefusal::kUnusableFile:
            return use == Use::kReceiving ? path + " is no LIRC device, FIFO or recorded stream"
                                          : path + " is no LIRC device or FIFO";
        case DeviceRefusal::kRegularFile:
            return path + " is a regular file, not a LIRC device or FIFO; it is not written over";
        case DeviceRefusal::kNotLircDevice:
            return path + " is no LIRC device (it does not answer LIRC_GET_FEATURES)";
        case DeviceRefusal::kCannotReceiveRaw:
            return path +
                   " cannot receive raw timings (it lacks LIRC_CAN_REC_MODE2: it decodes in "
                   "hardware or only sends)";
        case DeviceRefusal::kCannotSend:
            return path + " cannot send pulses (it lacks LIRC_CAN_SEND_PULSE: a receiver only)";
        case DeviceRefusal::kModeRefused:
            return path + " refused the " +
                   (use == Use::kReceiving ? "mode2 receive mode" : "pulse send mode") + ": " +
                   ErrorText(refusal.errorNumber);
        case DeviceRefusal::kOpenFailed:
            return "cannot open " + path + ": " + ErrorText(refusal.errorNumber);
    }
    return "cannot use " + path;
}

std::string DescribeStreamEvent(const std::string& path, const StreamReading& reading) {
    switch (reading.event) {
        case StreamEvent::kOverflow:
            return "the receiver " + path + " overflowed: a signal was lost";
        case StreamEvent::kSignalTooLong:
            return "a signal of more than " + std::to_string(kMaxSignalDurations) +
                   " durations from " + path + " was dropped (a light or a broken sensor?)";
        case StreamEvent::kCutOff:
            return path + " ends inside a value: its last signal is cut off";
        case StreamEvent::kNotMode2:
            return path + " holds no mode2 stream (a recording such as cat /dev/lirc0 makes)";
        case StreamEvent::kDeviceGone:
            return path + " went away (the device was unplugged)";
        case StreamEvent::kReadFailed:
            return "cannot read " + path + ": " + ErrorText(reading.errorNumber);
        case StreamEvent::kEnd:
            return path + " ended";
        case StreamEvent::kSignal:
        case StreamEvent::kWaitOver:
        case StreamEvent::kStopped:
            break;
    }
    return "nothing to say of " + path;
}

std::string DescribeSendFailure(const std::string& path, const SendResult& result,
                                const CarrierSettings& carrier) {
    switch (result.outcome) {
        case SendOutcome::kSent:
            return "sent to " + path;
        case SendOutcome::kNotASignal:
            return "nothing to send: a signal alternates marks and spaces from a mark, none of "
                   "them zero";
        case SendOutcome::kFrameTooLong:
            return "the signal has a stretch without pauses longer than " + path +
                   " takes in one write (" + std::to_string(kDeviceWriteLimits.maxValues) +
                   " durations, " + std::to_string(kDeviceWriteLimits.maxUs / 1000) + " ms)";
        case SendOutcome::kCarrierRefused:
            return path + " cannot send a carrier of " + std::to_string(carrier.carrierHz) +
                   " Hz: " + ErrorText(result.errorNumber);
        case SendOutcome::kDutyCycleRefused:
            return path + " cannot send a duty cycle of " +
                   std::to_string(carrier.dutyCyclePercent) + "%: " + ErrorText(result.errorNumber);
        case SendOutcome::kDeviceGone:
            return path + " went away while sending (unplugged, or the FIFO's reader left)";
        case SendOutcome::kWriteFailed:
            return "cannot send to " + path + ": " + ErrorText(result.errorNumber);
    }
    return "cannot send to " + path;
}

std::string DescribeSetup(const Receiver& receiver) {
    if (receiver.kind() != PathKind::kDevice)
        return "a recorded stream";
    const ReceiverSetup& setup = receiver.setup();
    std::string text = setup.timeoutUs != 0 ? "timeout " + std::to_string(setup.timeoutUs) + " us"
                                            : std::string("the device's own timeout");
    if (setup.resolutionUs != 0)
        text += ", resolution " + std::to_string(setup.resolutionUs) + " us";
    if (setup.learningReceiver)
        text += ", wide-band receiver";
    if (setup.measuresCarrier)
        text += ", carrier measured";
    return text;
}

}  // namespace lirc
