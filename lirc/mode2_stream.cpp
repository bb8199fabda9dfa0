#include "lirc/mode2_stream.h"

#include <errno.h>
#include <linux/lirc.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>

namespace lirc {
namespace {

// How long a signal waits for the carrier report of a receiver that sends it after the
// timeout: the report comes in the same or the next USB transfer, a few milliseconds later.
constexpr int kCarrierSettleMs = 30;

// The kernel takes reads of whole values only; a page of them at a time.
constexpr std::size_t kReadBytes = 4096;

std::int32_t Saturated(std::int64_t us) {
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(us, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

bool EndsStream(StreamEvent event) {
    switch (event) {
        case StreamEvent::kSignal:
        case StreamEvent::kOverflow:
        case StreamEvent::kSignalTooLong:
        case StreamEvent::kWaitOver:
        case StreamEvent::kStopped:
            return false;
        case StreamEvent::kEnd:
        case StreamEvent::kCutOff:
        case StreamEvent::kNotMode2:
        case StreamEvent::kDeviceGone:
        case StreamEvent::kReadFailed:
            return true;
    }
    return true;
}

Mode2Assembler::Mode2Assembler(std::uint32_t signalEndUs) : signalEndUs_(signalEndUs) {}

void Mode2Assembler::Feed(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count && !ended_; ++i) {
        partial_[partialCount_++] = bytes[i];
        if (partialCount_ == sizeof partial_) {
            std::uint32_t value = 0;
            std::memcpy(&value, partial_, sizeof value);
            partialCount_ = 0;
            FeedValue(value);
        }
    }
}

void Mode2Assembler::FeedValue(std::uint32_t value) {
    if (ended_)
        return;
    const std::uint32_t us = LIRC_VALUE(value);
    switch (LIRC_MODE2(value)) {
        case LIRC_MODE2_PULSE:
            AddPulse(us);
            return;
        case LIRC_MODE2_SPACE:
            AddSpace(us);
            return;
        case LIRC_MODE2_TIMEOUT:
            EndSignal();
            return;
        case LIRC_MODE2_FREQUENCY:
            sawCarrier_ = true;
            if (discarding_ || us == 0)
                return;
            if (!current_.durations.empty()) {
                current_.carrierHz = us;
            } else if (held_) {
                held_->carrierHz = us;
                Release();
            } else {
                pendingCarrierHz_ = us;
            }
            return;
        case LIRC_MODE2_OVERFLOW:
            Release();
            Emit({StreamEvent::kOverflow, {}, 0});
            current_ = {};
            pendingCarrierHz_ = 0;
            // What follows up to the signal's end is the rest of a signal with a hole in it.
            discarding_ = true;
            return;
        default:
            Release();
            End({StreamEvent::kNotMode2, {}, 0});
            return;
    }
}

void Mode2Assembler::AddPulse(std::uint32_t us) {
    Release();
    if (discarding_ || us == 0)
        return;
    Durations& durations = current_.durations;
    if (durations.empty()) {
        current_.carrierHz = pendingCarrierHz_;
        pendingCarrierHz_ = 0;
    }
    if (!durations.empty() && durations.back() > 0)
        durations.back() = Saturated(std::int64_t{durations.back()} + us);
    else
        durations.push_back(static_cast<std::int32_t>(us));
    if (durations.size() > kMaxSignalDurations) {
        Emit({StreamEvent::kSignalTooLong, {}, 0});
        current_ = {};
        discarding_ = true;
    }
}

void Mode2Assembler::AddSpace(std::uint32_t us) {
    if (us >= signalEndUs_) {
        EndSignal();
        return;
    }
    Durations& durations = current_.durations;
    // A space before a signal's first mark belongs to the silence before it.
    if (discarding_ || us == 0 || durations.empty())
        return;
    if (durations.back() < 0) {
        const std::int64_t merged = std::int64_t{-durations.back()} + us;
        if (merged >= signalEndUs_) {
            EndSignal();
            return;
        }
        durations.back() = -static_cast<std::int32_t>(merged);
    } else {
        durations.push_back(-static_cast<std::int32_t>(us));
    }
}

void Mode2Assembler::EndSignal() {
    discarding_ = false;
    Durations& durations = current_.durations;
    if (!durations.empty() && durations.back() < 0)
        durations.pop_back();
    if (durations.empty())
        return;
    Release();
    held_ = std::move(current_);
    current_ = {};
}

void Mode2Assembler::Release() {
    if (!held_)
        return;
    Emit({StreamEvent::kSignal, std::move(*held_), 0});
    held_.reset();
}

void Mode2Assembler::Finish() {
    if (ended_)
        return;
    if (partialCount_ != 0) {
        // The last value is unknown, so the signal it belonged to is not whole.
        Release();
        End({StreamEvent::kCutOff, {}, 0});
        return;
    }
    EndSignal();
    Release();
    End({StreamEvent::kEnd, {}, 0});
}

void Mode2Assembler::Fail(StreamEvent event, int errorNumber) {
    if (ended_)
        return;
    Release();
    End({event, {}, errorNumber});
}

StreamReading Mode2Assembler::TakeEvent() {
    StreamReading reading = std::move(events_.front());
    events_.pop_front();
    return reading;
}

void Mode2Assembler::Emit(StreamReading reading) {
    events_.push_back(std::move(reading));
}

void Mode2Assembler::End(StreamReading reading) {
    current_ = {};
    discarding_ = false;
    ended_ = true;
    Emit(std::move(reading));
}

Mode2Reader::Mode2Reader(int fd, std::uint32_t signalEndUs, bool expectCarrier)
    : fd_(fd), expectCarrier_(expectCarrier), assembler_(signalEndUs) {}

bool Mode2Reader::ReadAvailable(int waitMs) {
    pollfd watched{fd_, POLLIN, 0};
    const int ready = ::poll(&watched, 1, waitMs);
    if (ready <= 0)
        return false;
    std::uint8_t buffer[kReadBytes];
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got > 0)
        assembler_.Feed(buffer, static_cast<std::size_t>(got));
    else if (got == 0)
        assembler_.Finish();
    else if (errno == ENODEV)
        assembler_.Fail(StreamEvent::kDeviceGone);
    else if (errno != EAGAIN && errno != EINTR)
        assembler_.Fail(StreamEvent::kReadFailed, errno);
    return true;
}

StreamReading Mode2Reader::Next(const Wait& wait) {
    if (over_)
        return last_;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(wait.timeoutMs);
    for (;;) {
        if (assembler_.HasEvent()) {
            StreamReading reading = assembler_.TakeEvent();
            if (EndsStream(reading.event)) {
                over_ = true;
                last_ = reading;
            }
            return reading;
        }
        if (assembler_.Holding()) {
            // Values already there, or a carrier report that follows at once, still belong to
            // the signal; otherwise it is whole.
            const bool carrier = expectCarrier_ || assembler_.SawCarrier();
            if (!ReadAvailable(carrier ? kCarrierSettleMs : 0))
                assembler_.Release();
            continue;
        }
        int waitMs = -1;
        if (wait.timeoutMs >= 0) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return {StreamEvent::kWaitOver, {}, 0};
            waitMs = static_cast<int>(left);
        }
        pollfd watched[2] = {{fd_, POLLIN, 0}, {wait.stopFd, POLLIN, 0}};
        const int ready = ::poll(watched, wait.stopFd >= 0 ? 2 : 1, waitMs);
        if (ready < 0 && errno != EINTR) {
            assembler_.Fail(StreamEvent::kReadFailed, errno);
            continue;
        }
        if (wait.stopFd >= 0 && watched[1].revents != 0)
            return {StreamEvent::kStopped, {}, 0};
        if (ready > 0 && watched[0].revents != 0)
            ReadAvailable(0);
    }
}

}  // namespace lirc
