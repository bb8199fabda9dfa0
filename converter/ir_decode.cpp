// Matching a signal against a protocol definition, as real receivers deliver it: marks come out
// too long and spaces too short by tens of microseconds (up to about 200 µs on a weak signal),
// lead-ins are a few percent off, and every edge jitters. So durations are compared relatively
// with an absolute floor, marks may run longer and spaces shorter than that, pulse-coded bits
// are told apart by mark plus space (which the mark excess leaves unchanged), and a lead-out is
// only a minimum, since the last one is cut short by the end of the capture.
#include "converter/ir_decode.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace quorvel {
namespace {

constexpr double kRelativeTolerance = 0.3;
constexpr double kAbsoluteTolerance = 100;  // µs
// How much longer a mark, and shorter a space, may be than the tolerance allows.
constexpr double kMarkExcess = 150;  // µs
// How much shorter a mark, and longer a space: the normaliser takes a typical receiver's excess
// back, and a strong signal through a good receiver had less.
constexpr double kMarkShortfall = 100;  // µs
// A pulse-coded bit's period (mark plus space) keeps its length whatever the receiver does to
// the mark, so it is held to a closer tolerance, which keeps protocols of neighbouring periods
// apart.
constexpr double kPeriodTolerance = 0.2;
constexpr double kAbsolutePeriodTolerance = 150;  // µs
// Where a protocol's bits all have one mark, remotes run it long (RCA remotes send 650-700 µs
// for 460) and shorten the space to match; such a mark may fill this part of the shortest bit.
constexpr double kLongMarkShare = 0.75;
// A lead-in mark may be this much shorter than its nominal length: some NECx remotes send one
// well short, and the receiver's gain control is still settling on it.
constexpr double kShortLeadInMark = 0.6;
// A lead-out must last at least this part of what the protocol gives it.
constexpr double kGapMinimum = 0.6;
constexpr double kFrameGapUs = 10000;

double Tolerance(double expected) {
    return std::max(kRelativeTolerance * expected, kAbsoluteTolerance);
}

double PeriodTolerance(double expected) {
    return std::max(kPeriodTolerance * expected, kAbsolutePeriodTolerance);
}

bool Near(double actual, double expected, bool mark) {
    const double tolerance = Tolerance(expected);
    const double low = expected - tolerance - (mark ? kMarkShortfall : kMarkExcess);
    const double high = expected + tolerance + (mark ? kMarkExcess : kMarkShortfall);
    return actual >= low && actual <= high;
}

// A read position in the signal. The end of the signal reads as an endless space. A mark
// excess, when given, is taken from every mark and given to every space as they are read.
class Cursor {
  public:
    explicit Cursor(const Durations& signal, double markExcess = 0)
        : signal_(&signal), markExcess_(markExcess) {
        Load();
    }

    bool AtEnd() const { return index_ >= signal_->size(); }
    bool IsMark() const { return !AtEnd() && (*signal_)[index_] > 0; }
    double Remaining() const {
        return AtEnd() ? std::numeric_limits<double>::infinity() : remaining_;
    }
    // Whether nothing of the current duration has been taken yet.
    bool Fresh() const { return AtEnd() || remaining_ == Length(index_); }
    // Takes the rest of the current duration.
    double TakeAll() {
        const double taken = Remaining();
        ++index_;
        Load();
        return taken;
    }
    void TakePart(double us) { remaining_ -= us; }

  private:
    double Length(std::size_t i) const {
        const std::int32_t d = (*signal_)[i];
        return d > 0 ? std::max(1.0, d - markExcess_) : std::max(1.0, -d + markExcess_);
    }
    void Load() {
        if (!AtEnd())
            remaining_ = Length(index_);
    }
    const Durations* signal_;
    double markExcess_;
    std::size_t index_ = 0;
    double remaining_ = 0;
};

// Parameter bits as they are read, so that a bit sent twice (a field and its inverted echo, or a
// repeat frame) must agree.
struct Reading {
    Params params;
    std::array<std::uint32_t, kParamCount> known{};
    std::uint32_t check = 0;
    std::uint32_t checkKnown = 0;

    bool Put(const Item& item, int position, int bit) {
        const int target = position + item.shift;
        if (item.flags & kInvert)
            bit ^= 1;
        if (item.source == Source::kConst)
            return ((item.constant >> position) & 1) == bit;
        if (target >= 32)
            return false;
        const std::uint32_t mask = 1u << target;
        std::uint32_t& value =
            item.source == Source::kCheck ? check : params.values[static_cast<int>(item.source)];
        std::uint32_t& seen =
            item.source == Source::kCheck ? checkKnown : known[static_cast<int>(item.source)];
        if (seen & mask)
            return ((value & mask) != 0) == (bit != 0);
        seen |= mask;
        if (bit)
            value |= mask;
        return true;
    }
};

class FrameMatcher {
  public:
    FrameMatcher(const ProtocolDef& def, Cursor& cursor, Reading& reading)
        : def_(def), unit_(def.UnitUs()), cursor_(cursor), reading_(reading) {
        if (!def.biphase && def.zero[0] == def.one[0] && def.zero[0] > 0) {
            const double shortest =
                std::min(def.zero[0] - def.zero[1], def.one[0] - def.one[1]) * unit_;
            longMarkLimit_ = kLongMarkShare * shortest;
            bitMark_ = def.zero[0] * unit_;
        }
    }

    // Lead-outs are held to their length, not only to a minimum: where nothing else marks where
    // a frame begins, a frame of another protocol with a longer pause must not pass.
    void HoldGapsToTheirLength() { gapsAsGiven_ = true; }

    bool Match(const std::vector<Item>& items) {
        elapsed_ = 0;
        inLeadIn_ = true;
        if (!cursor_.IsMark())
            return false;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
            const bool beforeGap = i + 1 == items.size() || items[i + 1].kind == ItemKind::kGap ||
                                   items[i + 1].kind == ItemKind::kGapTotal;
            if (!MatchItem(items, i, item, beforeGap))
                return false;
        }
        return true;
    }

  private:
    bool MatchItem(const std::vector<Item>& items, std::size_t i, const Item& item,
                   bool beforeGap) {
        switch (item.kind) {
            case ItemKind::kMark:
            case ItemKind::kSpace: {
                const bool mark = item.kind == ItemKind::kMark;
                const double expected = item.value * unit_;
                return def_.biphase && Mergeable(items, i) ? TakeHalf(mark, expected)
                                                           : TakeWhole(mark, expected);
            }
            case ItemKind::kGap:
                return TakeGap(item.value * unit_);
            case ItemKind::kGapTotal:
                return TakeGap(item.value * 10.0 - elapsed_);
            case ItemKind::kBits:
                inLeadIn_ = false;
                for (int bit = 0; bit < item.width; ++bit) {
                    const bool last = bit + 1 == item.width && beforeGap;
                    const int value = def_.biphase ? BiphaseBit(item) : PulseBit(last);
                    if (value < 0 || !reading_.Put(item, BitPosition(item, bit), value))
                        return false;
                }
                return true;
        }
        return false;
    }

    int BitPosition(const Item& item, int index) const {
        const bool highFirst = def_.msbFirst != ((item.flags & kReverse) != 0);
        return highFirst ? item.width - 1 - index : index;
    }

    // Whether a fixed duration of a bi-phase frame can run together with a neighbouring half-bit.
    bool Mergeable(const std::vector<Item>& items, std::size_t i) const {
        const bool neighbourBits = (i > 0 && items[i - 1].kind == ItemKind::kBits) ||
                                   (i + 1 < items.size() && items[i + 1].kind == ItemKind::kBits);
        if (!neighbourBits)
            return false;
        // A constant bit after it can only merge when its first half has the same level.
        if (i + 1 < items.size() && items[i + 1].kind == ItemKind::kBits &&
            items[i + 1].source == Source::kConst &&
            !(i > 0 && items[i - 1].kind == ItemKind::kBits)) {
            const Item& next = items[i + 1];
            const int bit = ((next.constant >> BitPosition(next, 0)) & 1) ^
                            ((next.flags & kInvert) != 0 ? 1 : 0);
            const BitPattern& pattern = bit ? def_.one : def_.zero;
            return (pattern[0] > 0) == (items[i].kind == ItemKind::kMark);
        }
        return true;
    }

    bool TakeWhole(bool mark, double expected) {
        if (cursor_.AtEnd() || cursor_.IsMark() != mark)
            return false;
        const double actual = cursor_.TakeAll();
        elapsed_ += actual;
        return mark ? MarkFits(actual, expected) : Near(actual, expected, false);
    }

    bool MarkFits(double actual, double expected) const {
        if (Near(actual, expected, true))
            return true;
        if (inLeadIn_ && actual >= kShortLeadInMark * expected && actual <= expected)
            return true;
        // A bit's mark, or a stop mark as long, run long with its space shortened to match.
        return expected == bitMark_ && actual >= expected && actual <= longMarkLimit_;
    }

    // A half-bit, or a duration that may have run together with one: takes `expected` from the
    // current duration, all of it when less than half a unit would be left.
    bool TakeHalf(bool mark, double expected) {
        if (cursor_.AtEnd())
            return !mark;  // the last half-bit's space runs into the end of the signal
        if (cursor_.IsMark() != mark)
            return false;
        const double remaining = cursor_.Remaining();
        if (remaining < expected - std::max(unit_ / 2, kAbsoluteTolerance))
            return false;
        if (remaining <= expected + unit_ / 2) {
            elapsed_ += cursor_.TakeAll();
        } else {
            cursor_.TakePart(expected);
            elapsed_ += expected;
        }
        return true;
    }

    bool TakeGap(double expected) {
        if (cursor_.AtEnd())
            return true;
        if (cursor_.IsMark())
            return false;
        const double actual = cursor_.TakeAll();
        elapsed_ += actual;
        if (gapsAsGiven_ && !Near(actual, expected, false))
            return false;
        return actual >= kGapMinimum * expected;
    }

    int BiphaseBit(const Item& item) {
        if (cursor_.AtEnd())
            return -1;
        const double scale = (item.flags & kDouble) ? 2 * unit_ : unit_;
        const bool zeroStartsWithMark = def_.zero[0] > 0;
        const int bit = cursor_.IsMark() == zeroStartsWithMark ? 0 : 1;
        const BitPattern& pattern = bit ? def_.one : def_.zero;
        for (std::int8_t half : pattern) {
            if (!TakeHalf(half > 0, std::abs(half) * scale))
                return -1;
        }
        return bit;
    }

    // A pulse-coded bit: a mark and a space. The last bit before a lead-out is told by its mark
    // alone, since its space runs into the lead-out.
    int PulseBit(bool last) {
        if (!cursor_.IsMark() || !cursor_.Fresh())
            return -1;
        const double mark = cursor_.TakeAll();
        elapsed_ += mark;
        const double zeroMark = def_.zero[0] * unit_;
        const double oneMark = def_.one[0] * unit_;
        if (last && zeroMark != oneMark) {
            const int bit = std::fabs(mark - oneMark) < std::fabs(mark - zeroMark) ? 1 : 0;
            return MarkFits(mark, bit ? oneMark : zeroMark) ? bit : -1;
        }
        if (cursor_.AtEnd() || cursor_.IsMark())
            return -1;
        const double space = cursor_.TakeAll();
        elapsed_ += space;
        const double total = mark + space;
        const double zeroTotal = (def_.zero[0] - def_.zero[1]) * unit_;
        const double oneTotal = (def_.one[0] - def_.one[1]) * unit_;
        const int bit =
            std::fabs(total - oneTotal) / oneTotal < std::fabs(total - zeroTotal) / zeroTotal;
        const double expectedTotal = bit ? oneTotal : zeroTotal;
        const double expectedMark = bit ? oneMark : zeroMark;
        if (std::fabs(total - expectedTotal) > PeriodTolerance(expectedTotal) ||
            !MarkFits(mark, expectedMark))
            return -1;
        return bit;
    }

    const ProtocolDef& def_;
    const double unit_;
    Cursor& cursor_;
    Reading& reading_;
    double elapsed_ = 0;
    bool inLeadIn_ = true;  // no field of the frame read yet
    bool gapsAsGiven_ = false;
    double bitMark_ = -1;        // the one mark of all bits, when they share one
    double longMarkLimit_ = -1;  // how long such a mark may run
};

bool CheckMatches(const ProtocolDef& def, const Reading& reading) {
    if (def.checksum == Checksum::kNone)
        return true;
    return (CheckValue(def.checksum, reading.params) & reading.checkKnown) == reading.check;
}

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

// The signal as the opening frame followed by repeat frames, at least `leastRepeats` of them.
static std::optional<Decoded> DecodeFrames(const ProtocolDef& def, const Durations& signal,
                                           const std::vector<Item>& opening, int leastRepeats) {
    if (signal.empty() || !OpensLike(def, opening, signal))
        return std::nullopt;
    Cursor cursor(signal, def.biphase ? BiphaseExcess(signal, def.UnitUs()) : 0);
    Reading reading;
    FrameMatcher matcher(def, cursor, reading);
    if (&opening != &def.first)
        matcher.HoldGapsToTheirLength();
    if (!matcher.Match(opening) || !CheckMatches(def, reading))
        return std::nullopt;
    Decoded decoded{&def, reading.params, 0};
    while (!cursor.AtEnd()) {
        if (!matcher.Match(def.repeat) || !CheckMatches(def, reading))
            return std::nullopt;
        ++decoded.repeats;
    }
    if (decoded.repeats < leastRepeats)
        return std::nullopt;
    decoded.params = reading.params;
    return decoded;
}

// Whether the protocol sends a lead-in once and then copies of its repeat frame back to back,
// each copy's lead-out the lead-in of the next (Dish Network): its first frame is the repeat
// frame behind a lead-in, and the repeat frame opens with bits.
static bool LeadInOnce(const ProtocolDef& def) {
    return !def.repeat.empty() && def.repeat.front().kind == ItemKind::kBits &&
           def.first.size() > def.repeat.size() &&
           std::equal(def.repeat.rbegin(), def.repeat.rend(), def.first.rbegin());
}

static std::optional<Decoded> DecodeTidy(const ProtocolDef& def, const Durations& signal) {
    if (auto decoded = DecodeFrames(def, signal, def.first, 0))
        return decoded;
    // A capture of such a protocol often lacks the lone lead-in: the receiver's gain control
    // swallows a single short burst, or the capture starts after it. Two copies that agree
    // are still the protocol; the key then sends the lead-in and as many copies (the first
    // frame is the lead-in and the first copy).
    if (LeadInOnce(def)) {
        if (auto decoded = DecodeFrames(def, signal, def.repeat, 1))
            return decoded;
    }
    return std::nullopt;
}

std::optional<Decoded> Decode(const Durations& signal, std::uint32_t carrierHz) {
    const Durations tidy = Readable(signal);
    if (tidy.empty())
        return std::nullopt;
    // A protocol that differs from a later one only in its carrier is taken when the measured
    // carrier lies nearer to its own.
    std::optional<Decoded> byCarrier;
    for (const ProtocolDef& def : ProtocolTable()) {
        if (def.carrierDecides && (carrierHz == 0 || byCarrier))
            continue;
        auto decoded = DecodeTidy(def, tidy);
        if (!decoded)
            continue;
        if (def.carrierDecides) {
            byCarrier = decoded;
            continue;
        }
        if (byCarrier &&
            CarrierDistance(*byCarrier->def, carrierHz) < CarrierDistance(def, carrierHz))
            return byCarrier;
        return decoded;
    }
    return byCarrier;
}

std::optional<Decoded> DecodeAs(const ProtocolDef& def, const Durations& signal) {
    return DecodeTidy(def, Readable(signal));
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
