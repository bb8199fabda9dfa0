#pragma once
// A LIRC device opened to receive or to send, or what stands in for one: a regular file or
// FIFO holding a recorded mode2 stream to receive from, a FIFO to send into. What a receiver
// delivers are whole signals as durations (ReceivedSignal), ready for a capture path; what a
// transmitter takes are durations, as the converter renders a key's code.

#include <cstdint>
#include <memory>
#include <string>

#include "lirc/device_control.h"
#include "lirc/device_setup.h"
#include "lirc/mode2_stream.h"
#include "lirc/transmission.h"

namespace lirc {

enum class PathKind {
    kDevice,  // a character device answering the LIRC requests
    kFifo,
    kFile,  // a recorded stream (receiving only)
};

// An open descriptor, closed with its owner.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    int Release();

  private:
    int fd_;
};

// Why opening path failed with errorNumber (errno of open or stat).
Refusal OpenRefusal(const std::string& path, int errorNumber);

class Receiver {
  public:
    Receiver(FileDescriptor fd, PathKind kind, const ReceiverSetup& setup,
             std::uint32_t signalEndUs);

    // The next signal or event; see Mode2Reader.
    StreamReading Next(const Wait& wait = {}) { return reader_.Next(wait); }

    PathKind kind() const { return kind_; }
    // All zero for a recorded stream.
    const ReceiverSetup& setup() const { return setup_; }

  private:
    FileDescriptor fd_;
    PathKind kind_;
    ReceiverSetup setup_;
    Mode2Reader reader_;
};

struct ReceiverOpening {
    std::unique_ptr<Receiver> receiver;  // null when refused
    Refusal refusal;
};

// Opens a device (and configures it, see ConfigureReceiver), a FIFO (without waiting for its
// writer) or a regular file.
ReceiverOpening OpenReceiver(const std::string& path, const ReceiveOptions& options = {});

enum class SendOutcome {
    kSent,
    kNotASignal,    // see PlanOutcome
    kFrameTooLong,  // see PlanOutcome
    kCarrierRefused,
    kDutyCycleRefused,
    kDeviceGone,   // unplugged, or a FIFO's reader gone (EPIPE)
    kWriteFailed,  // errorNumber
};

struct SendResult {
    SendOutcome outcome = SendOutcome::kSent;
    int errorNumber = 0;
    std::size_t writes = 0;  // writes made
    bool carrierSet = false;
    bool dutyCycleSet = false;
};

class Transmitter {
  public:
    // control: the device's requests, or null for a FIFO, which sets no carrier.
    Transmitter(FileDescriptor fd, PathKind kind, std::unique_ptr<DeviceControl> control,
                std::uint32_t features);

    // Sends the signal (a mark first, durations in µs) with the carrier where the device can
    // set one; returns once the last write is taken, which a device does when it has sent it.
    SendResult Send(const Durations& signal, const CarrierSettings& carrier);

    PathKind kind() const { return kind_; }
    std::uint32_t features() const { return features_; }

  private:
    FileDescriptor fd_;
    PathKind kind_;
    std::unique_ptr<DeviceControl> control_;
    std::uint32_t features_;
};

struct TransmitterOpening {
    std::unique_ptr<Transmitter> transmitter;  // null when refused
    Refusal refusal;
};

// Opens a device that can send pulses, or a FIFO; opening a FIFO waits until it has a reader.
// A regular file is refused, so that a mistyped path never writes over a recording.
TransmitterOpening OpenTransmitter(const std::string& path);

}  // namespace lirc
