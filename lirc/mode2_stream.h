#pragma once
// Reading what a LIRC receiver delivers in mode2: 32-bit values, the type in the high byte
// (space, pulse, frequency, timeout, overflow) and microseconds or hertz in the low 24 bits.
// The reader turns them into whole signals: a timeout or a long space ends a signal, a frequency
// value gives the signal's carrier, an overflow loses the signal it falls into.
//
// The reader takes a file descriptor, so a regular file or FIFO holding a recorded stream (as
// `cat /dev/lirc0 > press.mode2` saves it) reads exactly like the device itself.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace lirc {

// Signed microseconds: positive a mark (carrier on), negative a space.
using Durations = std::vector<std::int32_t>;

// A space at least this long ends a signal: longer than the pause between the frames of any
// one key press (NEC's repeat frames leave about 96 ms), shorter than a person's pause between
// two presses. It is also the receive timeout asked of a device, and the kernel's own default.
inline constexpr std::uint32_t kSignalEndUs = 125000;

// More durations than any key press holds: a receiver that never falls silent (a lamp, a
// broken sensor) would otherwise grow one signal without end.
inline constexpr std::size_t kMaxSignalDurations = 4096;

struct ReceivedSignal {
    // Alternating, a mark first and a mark last: the space that ended the signal is no part of
    // it, so the signal can be sent again as it is.
    Durations durations;
    std::uint32_t carrierHz = 0;  // 0: the receiver did not measure it

    bool operator==(const ReceivedSignal&) const = default;
};

enum class StreamEvent {
    kSignal,         // signal holds one whole signal
    kOverflow,       // the receiver lost data of one signal; it is dropped, reading goes on
    kSignalTooLong,  // a signal of more than kMaxSignalDurations; dropped, reading goes on
    kWaitOver,       // the wait asked for ran out; a signal in progress is kept
    kStopped,        // the stop descriptor became readable
    // The stream is over; nothing follows these.
    kEnd,         // the end of a file, or a FIFO's writer gone
    kCutOff,      // the stream ended inside a value: the signal in progress is lost
    kNotMode2,    // a value of no mode2 type: the input is no mode2 stream
    kDeviceGone,  // the receiver was unplugged (ENODEV)
    kReadFailed,  // reading failed otherwise (errorNumber)
};

// Whether nothing follows the event.
bool EndsStream(StreamEvent event);

struct StreamReading {
    StreamEvent event = StreamEvent::kEnd;
    ReceivedSignal signal;  // kSignal
    int errorNumber = 0;    // kReadFailed
};

// The values of a stream to signals, however the bytes are cut into chunks: the same events
// come out of one read of the whole stream and of reads of one byte each.
class Mode2Assembler {
  public:
    explicit Mode2Assembler(std::uint32_t signalEndUs = kSignalEndUs);

    // Bytes of the stream, in host byte order as the kernel writes them; a value may be split
    // across calls.
    void Feed(const std::uint8_t* bytes, std::size_t count);
    void FeedValue(std::uint32_t value);
    // The end of the stream: a signal in progress ends with it, or, when the stream stopped
    // inside a value, is lost.
    void Finish();
    // Ends the stream with a reading error (kDeviceGone, kReadFailed).
    void Fail(StreamEvent event, int errorNumber = 0);

    // A signal that a timeout or a long space ended waits for a carrier report, which some
    // receivers send after the timeout: it is given out when the next signal begins, when a
    // frequency value comes, at the end of the stream, or when Release is called because no
    // more values are coming for now.
    bool Holding() const { return held_.has_value(); }
    void Release();
    // Whether the stream has reported a carrier at all.
    bool SawCarrier() const { return sawCarrier_; }

    // The next event complete so far, oldest first.
    bool HasEvent() const { return !events_.empty(); }
    StreamReading TakeEvent();
    // A terminal event was queued: whatever is fed afterwards is ignored.
    bool Ended() const { return ended_; }

  private:
    void AddPulse(std::uint32_t us);
    void AddSpace(std::uint32_t us);
    void EndSignal();
    void Emit(StreamReading reading);
    void End(StreamReading reading);

    std::uint32_t signalEndUs_;
    ReceivedSignal current_;
    std::optional<ReceivedSignal> held_;
    bool sawCarrier_ = false;
    // The carrier reported while no signal was in progress: it belongs to the next one.
    std::uint32_t pendingCarrierHz_ = 0;
    // The signal in progress is lost (overflow, too long): its values are dropped up to its end.
    bool discarding_ = false;
    std::uint8_t partial_[4] = {};
    std::size_t partialCount_ = 0;
    bool ended_ = false;
    std::deque<StreamReading> events_;
};

// How long Mode2Reader::Next may wait, and what may stop it early.
struct Wait {
    int timeoutMs = -1;  // -1: no limit
    int stopFd = -1;     // readable (a self-pipe, an eventfd): Next returns kStopped
};

// Reads a stream from a descriptor it does not own: a LIRC device, a FIFO, a pipe or a file.
// A descriptor opened without O_NONBLOCK works too: every read follows a poll.
class Mode2Reader {
  public:
    // expectCarrier: the receiver was asked to measure carriers, so a signal waits a moment
    // for its carrier report even before the stream has shown one.
    explicit Mode2Reader(int fd, std::uint32_t signalEndUs = kSignalEndUs,
                         bool expectCarrier = false);

    // Blocks until the next event. After an event that ends the stream, it returns that event
    // again.
    StreamReading Next(const Wait& wait = {});

  private:
    // Reads what is there; false when nothing came within waitMs.
    bool ReadAvailable(int waitMs);

    int fd_;
    bool expectCarrier_;
    Mode2Assembler assembler_;
    StreamReading last_;
    bool over_ = false;
};

}  // namespace lirc
