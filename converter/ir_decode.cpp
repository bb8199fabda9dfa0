// Naming the protocol of a signal: the protocols of the table tried in turn, each reading the
// signal frame by frame (frame_match.h), with what real remotes do to a press: a last copy cut
// off part-way, Dish Network's lead-in before every copy, a first lead-in mark the receiver
// lost.
#include "converter/ir_decode.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "converter/frame_match.h"

namespace quorvel {
namespace {

using matching::CheckMatches;
using matching::Cursor;
using matching::FrameFit;
using matching::FrameMatcher;
using matching::kMarkExcess;
using matching::kMarkShortfall;
using matching::kShortLeadInMark;
using matching::Reading;
using matching::Tolerance;

constexpr double kFrameGapUs = 10000;

double CarrierDistance(const ProtocolDef& def, std::uint32_t carrierHz) {
    return std::fabs(static_cast<double>(def.carrierHz) - carrierHz);
}

}  // namespace

Durations Tidy(const Durations& signal) {
    // Merged durations saturate: a signal from a file or a remote's memory may hold many long
    // ones of one level in a row, and their sum must not overflow.
    constexpr std::int64_t kLongest = std::numeric_limits<std::int32_t>::max();
    Durations out;
    out.reserve(signal.size());
    for (std::int32_t d : signal) {
        if (d == 0 || (out.empty() && d < 0))
            continue;
        const bool merge = !out.empty() && (out.back() > 0) == (d > 0);
        const std::int64_t sum = std::int64_t{d} + (merge ? out.back() : 0);
        const auto value = static_cast<std::int32_t>(std::clamp(sum, -kLongest, kLongest));
        if (merge)
            out.back() = value;
        else
            out.push_back(value);
    }
    return out;
}

// What the matcher reads: the tidy signal without the silence that ends it. That silence was
// cut off wherever the recording stopped, so it is no measured lead-out: a learned Pronto code
// often keeps only a few hundred microseconds of it, and a capture none at all.
static Durations Readable(const Durations& signal) {
    Durations tidy = Tidy(signal);
    if (!tidy.empty() && tidy.back() < 0)
        tidy.pop_back();
    return tidy;
}

// A bi-phase signal's durations are whole half-bits, so a receiver's excess shows as the part
// of a unit by which its marks are all too long and its spaces too short. Half-bits of RC6
// (444 µs) leave no room for an excess of 150 µs and edge jitter on top when each duration is
// judged alone, so the excess is measured over the signal's first durations (enough for a
// frame) and taken back as it is read: twice, since the first measure rounds to whole units
// what a large excess may have put past a half.
static double BiphaseExcess(const Durations& signal, double unit) {
    constexpr std::size_t kMeasured = 64;
    // Durations longer than this are lead-ins and lead-outs, measured less exactly.
    const double longest = 6.5 * unit;
    const std::size_t measured = std::min(signal.size(), kMeasured);
    double excess = 0;
    for (int pass = 0; pass < 2; ++pass) {
        double sum = 0;
        int count = 0;
        for (std::size_t i = 0; i < measured; ++i) {
            const std::int32_t d = signal[i];
            const double length = std::abs(d) + (d > 0 ? -excess : excess);
            if (length > longest)
                continue;
            const double units = std::max(1, static_cast<int>(length / unit + 0.5));
            sum += (length - units * unit) * (d > 0 ? 1 : -1);
            ++count;
        }
        if (count == 0)
            return 0;
        excess += sum / count;
    }
    return std::clamp(excess, -kMarkExcess, 2 * kMarkExcess);
}

// Whether the signal's first mark can open a frame of the protocol at all: a quick refusal
// before the work of measuring a bi-phase signal's excess. A bi-phase lead-in mark may have run
// together with the first half-bit.
static bool OpensLike(const ProtocolDef& def, const std::vector<Item>& opening,
                      const Durations& signal) {
    if (opening.empty() || opening.front().kind != ItemKind::kMark)
        return true;
    const double expected = opening.front().value * def.UnitUs();
    const double longest = expected + (def.biphase ? def.UnitUs() : 0);
    return signal.front() > 0 &&
           signal.front() <= longest + Tolerance(longest) + kMarkExcess + kMarkShortfall;
}

namespace {

// Whether the signal's first mark is too short for the lead-in of its first frame, and could
// be what is left of it after the receiver lost it.
bool LeadInMarkLost(const ProtocolDef& def, const std::vector<Item>& opening,
                    const Durations& signal) {
    if (def.biphase || opening.size() < 2 || opening[0].kind != ItemKind::kMark ||
        opening[1].kind != ItemKind::kSpace || opening[0].value != opening[1].value)
        return false;
    return signal.front() < kShortLeadInMark * opening[0].value * def.UnitUs();
}

// What one protocol makes of a signal.
struct Explanation {
    Decoded decoded;
    bool lastCopyCut = false;  // a last copy cut off part-way was left out
};

// The protocol chosen from those that explain a signal, offered in table order: the first,
// unless a protocol before it that differs from it only in its carrier lies nearer to the
// measured carrier.
class Choice {
  public:
    explicit Choice(std::uint32_t carrierHz) : carrierHz_(carrierHz) {}

    void Offer(const Decoded& decoded) {
        if (settled_)
            return;
        if (decoded.def->carrierDecides) {
            if (!byCarrier_)
                byCarrier_ = decoded;
            return;
        }
        settled_ = true;
        result_ = byCarrier_ && CarrierDistance(*byCarrier_->def, carrierHz_) <
                                    CarrierDistance(*decoded.def, carrierHz_)
                      ? byCarrier_
                      : decoded;
    }
    bool Settled() const { return settled_; }
    std::optional<Decoded> Result() const { return settled_ ? result_ : byCarrier_; }

  private:
    std::uint32_t carrierHz_;
    bool settled_ = false;
    std::optional<Decoded> byCarrier_;
    std::optional<Decoded> result_;
};

}  // namespace

// Whether the protocol sends a lead-in once and then copies of its repeat frame back to back,
// each copy's lead-out the lead-in of the next (Dish Network): its first frame is the repeat
// frame behind a lead-in, and the repeat frame opens with bits.
static bool LeadInOnce(const ProtocolDef& def) {
    return !def.repeat.empty() && def.repeat.front().kind == ItemKind::kBits &&
           def.first.size() > def.repeat.size() &&
           std::equal(def.repeat.rbegin(), def.repeat.rend(), def.first.rbegin());
}

// The signal as the opening frame followed by repeat frames, at least `leastRepeats` of them. A
// last copy that fits as far as the signal goes was cut off and is left out: the key was let go
// mid-frame, or the capture filled up; the complete copies before it still say what was sent.
static std::optional<Explanation> DecodeFrames(const ProtocolDef& def, const Durations& signal,
                                               const std::vector<Item>& opening, int leastRepeats) {
    if (signal.empty() || !OpensLike(def, opening, signal))
        return std::nullopt;
    Cursor cursor(signal, def.biphase ? BiphaseExcess(signal, def.UnitUs()) : 0);
    Reading reading;
    FrameMatcher matcher(def, cursor, reading);
    if (&opening != &def.first)
        matcher.HoldGapsToTheirLength();
    if (LeadInMarkLost(def, opening, signal)) {
        matcher.TakeLeadInMarkAsLost();
        leastRepeats = std::max(leastRepeats, 1);
    }
    if (matcher.Match(opening) != FrameFit::kWhole || !CheckMatches(def, reading))
        return std::nullopt;
    // Remotes of satellite receivers send every copy of such a protocol as a frame of its own,
    // lead-in and all, so that two lead-in-like pairs stand between copies.
    const bool copiesMayHaveLeadIns = LeadInOnce(def);
    Explanation explained{{&def, reading.params, 0}};
    while (!cursor.AtEnd()) {
        const Cursor copyStart = cursor;
        const Reading beforeCopy = reading;
        FrameFit fit = matcher.Match(def.repeat);
        if (fit != FrameFit::kWhole && copiesMayHaveLeadIns) {
            const FrameFit asRepeat = fit;
            cursor = copyStart;
            reading = beforeCopy;
            fit = matcher.Match(def.first);
            if (fit == FrameFit::kMismatch)
                fit = asRepeat;
        }
        if (fit == FrameFit::kCutOff) {
            reading = beforeCopy;
            explained.lastCopyCut = true;
            break;
        }
        if (fit != FrameFit::kWhole || !CheckMatches(def, reading))
            return std::nullopt;
        ++explained.decoded.repeats;
    }
    if (explained.decoded.repeats < leastRepeats)
        return std::nullopt;
    explained.decoded.params = reading.params;
    return explained;
}

static std::optional<Explanation> DecodeTidy(const ProtocolDef& def, const Durations& signal) {
    auto explained = DecodeFrames(def, signal, def.first, 0);
    // A capture of such a protocol often lacks the lone lead-in: the receiver's gain control
    // swallows a single short burst, or the capture starts after it. Two copies that agree
    // are still the protocol; the key then sends the lead-in and as many copies (the first
    // frame is the lead-in and the first copy).
    if ((!explained || explained->lastCopyCut) && LeadInOnce(def)) {
        auto withoutLeadIn = DecodeFrames(def, signal, def.repeat, 1);
        if (withoutLeadIn && (!explained || !withoutLeadIn->lastCopyCut))
            return withoutLeadIn;
    }
    return explained;
}

std::optional<Decoded> Decode(const Durations& signal, std::uint32_t carrierHz) {
    const Durations tidy = Readable(signal);
    if (tidy.empty())
        return std::nullopt;
    // A protocol that explains every copy wins over an earlier one that must leave a cut-off
    // last copy out.
    Choice whole(carrierHz);
    Choice cut(carrierHz);
    for (const ProtocolDef& def : ProtocolTable()) {
        if (whole.Settled())
            break;
        if (def.carrierDecides && carrierHz == 0)
            continue;
        if (auto explained = DecodeTidy(def, tidy))
            (explained->lastCopyCut ? cut : whole).Offer(explained->decoded);
    }
    if (auto decoded = whole.Result())
        return decoded;
    return cut.Result();
}

std::optional<Decoded> DecodeAs(const ProtocolDef& def, const Durations& signal) {
    auto explained = DecodeTidy(def, Readable(signal));
    if (!explained)
        return std::nullopt;
    return explained->decoded;
}

int CountFrames(const Durations& signal) {
    const Durations tidy = Tidy(signal);
    if (tidy.empty())
        return 0;
    int frames = 1;
    for (std::size_t i = 0; i + 1 < tidy.size(); ++i) {
        if (tidy[i] < 0 && -tidy[i] >= kFrameGapUs)
            ++frames;
    }
    return frames;
}

}  // namespace quorvel
