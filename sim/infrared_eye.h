#pragma once
// The simulated remote's infrared eye on a real receiver (remote-sim serve --receiver): a LIRC
// device, or a FIFO or file holding a recorded mode2 stream, read through lirc/'s stream
// reader on a thread of its own, so that a receiver that stays silent never holds up the
// server. Each whole signal goes to the remote as a capture text, through the same
// SimulatedRemote::QueueCapture that `remote-sim capture` and `send` reach: captured while the
// remote is in capture mode, dropped otherwise (the remote's receiver is off then).
//
// What a path stands for:
//   - a device: read for as long as it lasts; unplugged, the remote goes on without an eye;
//   - a FIFO: one writer after another, each a stream of its own (cat press.mode2 > FIFO);
//   - a regular file: a recorded key press that a person presses again each time the remote
//     enters capture mode (a file has no time of arrival, so read at once it would only ever
//     arrive before anybody listened).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "lirc/lirc_device.h"

class SimulatedRemote;

// What the remote made of one signal its eye received.
enum class EyeHearing {
    kCaptured,
    kNotListening,  // not in capture mode: dropped
    kUnplugged,     // the remote has no power: dropped
    kTooLong,       // its capture text would not fit the capture buffer: dropped
};

// The capture text of a received signal: as the receiver measured it (its mark stretch is in
// the durations already, so none is added), with the carrier it measured, or none.
std::optional<std::string> CaptureOfReceived(const lirc::ReceivedSignal& signal);

// Hands the signal to the remote's capture path.
EyeHearing HandToRemote(SimulatedRemote& remote, const lirc::ReceivedSignal& signal);

class InfraredEye {
  public:
    // One line for the person running remote-sim; called on the eye's thread.
    using Report = std::function<void(const std::string& line)>;

    // receiver: opened on path (lirc::OpenReceiver) by the caller, so that a refusal is told
    // before the server starts.
    InfraredEye(std::string path, std::unique_ptr<lirc::Receiver> receiver, SimulatedRemote& remote,
                Report report);
    // Stops and joins the thread.
    ~InfraredEye();
    InfraredEye(const InfraredEye&) = delete;
    InfraredEye& operator=(const InfraredEye&) = delete;

    // Starts reading on the eye's thread, which ignores SIGINT and SIGTERM (the server's
    // thread handles them). False when the thread or its stop pipe could not be made.
    bool Start();
    // Ends the reading, wherever it waits, and joins the thread. Safe to call twice.
    void Stop();

  private:
    void Watch();
    void WatchStream();
    void WatchRecording();
    // Reads the receiver until its stream ends; false when the eye is to stop.
    bool ReadUntilEnd();
    // Waits until the remote is in a capture mode entered since the one played (counted by
    // SimulatedRemote::CaptureModeEntries), and makes it the one played; false when stopped.
    bool WaitForNewCaptureMode(std::uint64_t& played);
    void Hear(const lirc::ReceivedSignal& signal);

    // Set before the thread starts; afterwards only the eye's thread touches them.
    const std::string path_;
    std::unique_ptr<lirc::Receiver> receiver_;
    const lirc::PathKind kind_;
    SimulatedRemote& remote_;
    const Report report_;
    // The stop pipe: Stop writes a byte, and every wait of the thread watches the read end.
    int stopRead_ = -1;
    int stopWrite_ = -1;
    std::thread thread_;
};
