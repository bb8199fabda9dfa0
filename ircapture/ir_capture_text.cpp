#include "ircapture/ir_capture_text.h"

#include <algorithm>
#include <cmath>

#include "common/device_buffer_sizes.h"
#include "common/hex_digits.h"
#include "converter/ir_decode.h"

namespace ir_capture {
namespace {

constexpr std::uint32_t kLongGroup = 0x7FFF;
constexpr std::uint32_t kMarkBit = 0x8000;
constexpr int kEndMarkerGroups = 20;
constexpr std::int64_t kLongestPauseGroups = kEndMarkerGroups - 1;

// The groups of a capture, written into its text or, to learn its length alone, only counted.
class Groups {
  public:
    explicit Groups(std::string* text) : text_(text) {}

    void Add(std::uint32_t value) {
        ++count_;
        if (text_ != nullptr)
            hex::AppendDigits(*text_, value, 4);
    }
    std::size_t Count() const { return count_; }

  private:
    std::string* text_;
    std::size_t count_ = 0;
};

void Mark(Groups& out, std::int64_t counts) {
    counts = std::clamp<std::int64_t>(counts, 0, 2 * kLongGroup);
    if (counts > kLongGroup) {
        out.Add(kLongGroup);  // read as lengthening the mark after it
        counts -= kLongGroup;
    }
    out.Add(kMarkBit | static_cast<std::uint32_t>(counts));
}

void Space(Groups& out, std::int64_t counts) {
    counts = std::max<std::int64_t>(counts, 0);
    if (counts < kLongGroup) {
        out.Add(static_cast<std::uint32_t>(counts));
        return;
    }
    // Always a rest group after the "7FFF" run, even of 0: without one the pause is lost.
    std::int64_t groups = counts / kLongGroup;
    std::int64_t rest = counts % kLongGroup;
    if (groups > kLongestPauseGroups) {
        groups = kLongestPauseGroups;
        rest = kLongGroup - 1;
    }
    for (std::int64_t g = 0; g < groups; ++g)
        out.Add(kLongGroup);
    out.Add(static_cast<std::uint32_t>(rest));
}

void WriteCapture(Groups& out, const quorvel::Durations& signal, std::uint32_t carrierHz,
                  const CaptureOptions& options) {
    quorvel::Durations tidy = quorvel::Tidy(signal);
    if (!tidy.empty() && tidy.back() < 0)
        tidy.pop_back();  // the end marker stands for the final silence
    for (std::int32_t d : tidy) {
        const std::int64_t us = std::abs(static_cast<std::int64_t>(d));
        if (d > 0)
            Mark(out, 3 * (us + options.markExcessUs));
        else
            Space(out, 3 * (us - options.markExcessUs));
    }
    for (int g = 0; g < kEndMarkerGroups; ++g)
        out.Add(kLongGroup);
    const CarrierBytes carrier = CarrierMeasurement(carrierHz);
    out.Add((carrier.a << 8) | carrier.b);
    out.Add(carrier.c << 8);
}

}  // namespace

CarrierBytes CarrierMeasurement(std::uint32_t carrierHz) {
    CarrierBytes bytes;
    const long kHz = std::lround(carrierHz / 1000.0);
    if (kHz <= 0)
        return bytes;
    // The largest sum whose reading is still kHz: Trunc(9000 / sum) == kHz.
    const long sum = std::clamp(9000L / kHz, 3L, 3 * 255L);
    bytes.a = static_cast<std::uint8_t>(sum / 3);
    bytes.b = static_cast<std::uint8_t>(sum / 3);
    bytes.c = static_cast<std::uint8_t>(sum - 2 * (sum / 3));
    return bytes;
}

std::optional<std::string> CaptureText(const quorvel::Durations& signal, std::uint32_t carrierHz,
                                       const CaptureOptions& options) {
    std::string text;
    text.reserve(4 * (signal.size() + kEndMarkerGroups + 2));
    Groups groups(&text);
    WriteCapture(groups, signal, carrierHz, options);
    if (text.size() > device_buffer::kCaptureSize)
        return std::nullopt;
    if (options.padToBuffer)
        text.resize(device_buffer::kCaptureSize, '\0');
    return text;
}

bool FitsCaptureBuffer(const quorvel::Durations& signal, const CaptureOptions& options) {
    Groups groups(nullptr);
    WriteCapture(groups, signal, 0, options);
    return 4 * groups.Count() <= device_buffer::kCaptureSize;
}

}  // namespace ir_capture
