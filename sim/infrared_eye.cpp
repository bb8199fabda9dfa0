#include "sim/infrared_eye.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <utility>

#include "converter/protocol_text_file.h"
#include "ircapture/ir_capture_text.h"
#include "lirc/lirc_messages.h"
#include "sim/simulated_remote.h"

namespace {

// How often the eye looks at the remote's capture mode while it waits to play a recording.
constexpr int kCaptureModeLookMs = 20;

// "NEC1 D=4 S=251 F=8 (67 durations, carrier 38000 Hz)", "a signal of 67 durations".
std::string Described(const lirc::ReceivedSignal& signal) {
    const std::optional<quorvel::Decoded> decoded =
        quorvel::Decode(signal.durations, signal.carrierHz);
    std::string text = decoded ? quorvel::ProtocolText(*decoded) + " (" : "a signal of ";
    text += std::to_string(signal.durations.size()) + " durations";
    if (signal.carrierHz != 0)
        text += (decoded ? ", carrier " : " at ") + std::to_string(signal.carrierHz) + " Hz";
    return decoded ? text + ")" : text;
}

}  // namespace

std::optional<std::string> CaptureOfReceived(const lirc::ReceivedSignal& signal) {
    ir_capture::CaptureOptions options;
    options.markExcessUs = 0;
    return ir_capture::CaptureText(signal.durations, signal.carrierHz, options);
}

EyeHearing HandToRemote(SimulatedRemote& remote, const lirc::ReceivedSignal& signal) {
    const std::optional<std::string> text = CaptureOfReceived(signal);
    if (!text)
        return EyeHearing::kTooLong;
    if (remote.QueueCapture(*text))
        return EyeHearing::kCaptured;
    return remote.IsPlugged() ? EyeHearing::kNotListening : EyeHearing::kUnplugged;
}

InfraredEye::InfraredEye(std::string path, std::unique_ptr<lirc::Receiver> receiver,
                         SimulatedRemote& remote, Report report)
    : path_(std::move(path)),
      receiver_(std::move(receiver)),
      kind_(receiver_->kind()),
      remote_(remote),
      report_(std::move(report)) {}

InfraredEye::~InfraredEye() {
    Stop();
    if (stopRead_ >= 0)
        ::close(stopRead_);
    if (stopWrite_ >= 0)
        ::close(stopWrite_);
}

bool InfraredEye::Start() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    stopRead_ = ends[0];
    stopWrite_ = ends[1];
    // The thread starts with these signals blocked, so that they reach the server's thread.
    sigset_t blocked, previous;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    try {
        thread_ = std::thread([this] { Watch(); });
    } catch (const std::system_error&) {
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return thread_.joinable();
}

void InfraredEye::Stop() {
    if (!thread_.joinable())
        return;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(stopWrite_, &byte, 1);
    thread_.join();
}

void InfraredEye::Watch() {
    if (kind_ == lirc::PathKind::kFile)
        WatchRecording();
    else
        WatchStream();
}

void InfraredEye::WatchStream() {
    while (ReadUntilEnd()) {
        if (kind_ != lirc::PathKind::kFifo) {
            report_("remote-sim: " + path_ + " ended; the remote goes on without its infrared eye");
            return;
        }
        // The next writer's stream. The new end is opened before the old one closes, so that
        // a writer that comes meanwhile never finds the FIFO without a reader.
        lirc::ReceiverOpening next = lirc::OpenReceiver(path_);
        if (!next.receiver) {
            report_(
                "remote-sim: " + lirc::DescribeRefusal(path_, next.refusal, lirc::Use::kReceiving) +
                "; the remote's infrared eye is closed");
            return;
        }
        receiver_ = std::move(next.receiver);
    }
}

void InfraredEye::WatchRecording() {
    // The capture mode that was on when the eye opened counts as a new one: nobody has
    // pressed the key in it yet.
    std::uint64_t played = 0;
    for (bool first = true;; first = false) {
        if (!WaitForNewCaptureMode(played))
            return;
        if (!first) {
            lirc::ReceiverOpening again = lirc::OpenReceiver(path_);
            if (!again.receiver) {
                report_("remote-sim: " +
                        lirc::DescribeRefusal(path_, again.refusal, lirc::Use::kReceiving) +
                        "; the remote's infrared eye is closed");
                return;
            }
            receiver_ = std::move(again.receiver);
        }
        if (!ReadUntilEnd())
            return;
    }
}

bool InfraredEye::ReadUntilEnd() {
    for (;;) {
        const lirc::StreamReading reading = receiver_->Next({-1, stopRead_});
        switch (reading.event) {
            case lirc::StreamEvent::kSignal:
                Hear(reading.signal);
                continue;
            case lirc::StreamEvent::kOverflow:
            case lirc::StreamEvent::kSignalTooLong:
                report_("remote-sim: " + lirc::DescribeStreamEvent(path_, reading));
                continue;
            case lirc::StreamEvent::kWaitOver:
                continue;
            case lirc::StreamEvent::kStopped:
                return false;
            case lirc::StreamEvent::kEnd:
                return true;
            case lirc::StreamEvent::kCutOff:
            case lirc::StreamEvent::kNotMode2:
                // A writer's mistake: the next writer of a FIFO may do better.
                report_("remote-sim: " + lirc::DescribeStreamEvent(path_, reading));
                if (kind_ == lirc::PathKind::kFifo)
                    return true;
                report_("remote-sim: the remote's infrared eye is closed");
                return false;
            case lirc::StreamEvent::kDeviceGone:
            case lirc::StreamEvent::kReadFailed:
                report_("remote-sim: " + lirc::DescribeStreamEvent(path_, reading) +
                        "; the remote goes on without its infrared eye");
                return false;
        }
    }
}

bool InfraredEye::WaitForNewCaptureMode(std::uint64_t& played) {
    for (;;) {
        // The count first: a capture mode entered between the two looks is seen next time.
        const std::uint64_t entries = remote_.CaptureModeEntries();
        if (entries != played && remote_.InCaptureMode()) {
            played = entries;
            return true;
        }
        pollfd stop{stopRead_, POLLIN, 0};
        if (::poll(&stop, 1, kCaptureModeLookMs) > 0)
            return false;
    }
}

void InfraredEye::Hear(const lirc::ReceivedSignal& signal) {
    const std::string heard = "remote-sim: heard " + Described(signal) + " from " + path_;
    switch (HandToRemote(remote_, signal)) {
        case EyeHearing::kCaptured:
            report_(heard + ": captured");
            return;
        case EyeHearing::kNotListening:
            report_(heard + ": dropped, the remote is not in capture mode");
            return;
        case EyeHearing::kUnplugged:
            report_(heard + ": dropped, the remote is unplugged");
            return;
        case EyeHearing::kTooLong:
            report_(heard + ": dropped, it does not fit the remote's capture buffer");
            return;
    }
}
