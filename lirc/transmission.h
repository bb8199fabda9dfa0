#pragma once
// A signal as a transmitter takes it: plain 32-bit durations in µs, no type bits, an odd count
// that starts and ends with a pulse, written at once. A kernel takes at most so many values
// and so much time in one write, so a longer signal is cut at the pauses between its frames
// into writes sent one after another, the pause waited out between them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "lirc/mode2_stream.h"

namespace lirc {

struct WriteLimits {
    std::size_t maxValues = 0;  // 0: no limit
    std::uint64_t maxUs = 0;    // the durations of one write together; 0: no limit
};

// What the kernel's LIRC devices take in one write (its buffer of 1024 values, its longest
// transmission of 500 ms).
inline constexpr WriteLimits kDeviceWriteLimits = {1023, 500000};
// A FIFO or a pipe takes the whole signal as one write: it has no time to wait out.
inline constexpr WriteLimits kStreamWriteLimits = {};

// Only spaces at least this long are cut at: the pause between two frames, which a receiver
// does not time to the microsecond, unlike the spaces within a frame.
inline constexpr std::uint32_t kMinCutSpaceUs = 10000;

// The pause between two presses of a key: longer than the space that ends a signal at the
// receiver, so that each press arrives as a signal of its own.
inline constexpr std::uint32_t kPauseBetweenPressesUs = kSignalEndUs + 75000;

struct Transmission {
    std::vector<std::uint32_t> values;  // odd count, a pulse first and last
    std::uint32_t pauseAfterUs = 0;     // the space to wait out before the next write
};

enum class PlanOutcome {
    kPlanned,
    kNotASignal,    // empty, a space first, a zero duration, or two marks or spaces in a row
    kFrameTooLong,  // a stretch without a pause to cut at exceeds what one write takes
};

struct TransmissionPlan {
    PlanOutcome outcome = PlanOutcome::kPlanned;
    std::vector<Transmission> transmissions;
};

// The writes that send the signal (a mark first; a space at its end, the lead-out after the
// last frame, is no part of what is sent).
TransmissionPlan PlanTransmissions(const Durations& signal, const WriteLimits& limits);

// What a transmitter was given, read back (a FIFO's contents): the durations, alternately a
// mark and a space from a mark. Nothing when the bytes are no whole number of values, or a
// value is zero or has type bits.
std::optional<Durations> ReadTransmitted(std::string_view bytes);

}  // namespace lirc
