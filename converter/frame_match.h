#pragma once
// Matching one frame of a protocol definition against a signal, as real receivers deliver it:
// marks come out too long and spaces too short by tens of microseconds (up to about 200 µs on
// a weak signal), lead-ins are a few percent off, and every edge jitters. So durations are
// compared relatively with an absolute floor, marks may run longer and spaces shorter than
// that, pulse-coded bits are told apart by mark plus space (which the mark excess leaves
// unchanged), and a lead-out is only a minimum, since the last one is cut short by the end of
// the capture.
//
// Used by the decoder alone (ir_decode.cpp), which reads a signal frame by frame with it.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include "converter/ir_protocol.h"

namespace quorvel::matching {

inline constexpr double kRelativeTolerance = 0.3;
inline constexpr double kAbsoluteTolerance = 100;  // µs
// How much longer a mark, and shorter a space, may be than the tolerance allows.
inline constexpr double kMarkExcess = 150;  // µs
// How much shorter a mark, and longer a space: the normaliser takes a typical receiver's excess
// back, and a strong signal through a good receiver had less.
inline constexpr double kMarkShortfall = 100;  // µs
// A pulse-coded bit's period (mark plus space) keeps its length whatever the receiver does to
// the mark, so it is held to a closer tolerance, which keeps protocols of neighbouring periods
// apart.
inline constexpr double kPeriodTolerance = 0.2;
inline constexpr double kAbsolutePeriodTolerance = 150;  // µs
// Where a protocol's bits all have one mark, remotes run it long (RCA remotes send 650-700 µs
// for 460) and shorten the space to match; such a mark may fill this part of the shortest bit.
inline constexpr double kLongMarkShare = 0.75;
// A lead-in mark may be this much shorter than its nominal length: some NECx remotes send one
// well short, and the receiver's gain control is still settling on it.
inline constexpr double kShortLeadInMark = 0.6;
// What may be left of a first lead-in mark that the receiver lost: its gain control had not
// settled yet. Only a lead-in whose mark and space are equally long (NECx, Samsung32, RCA) is
// still told by its space, and only where a whole copy after it confirms the protocol.
inline constexpr double kLostLeadInRemnantUs = 150;
// A lead-out must last at least this part of what the protocol gives it.
inline constexpr double kGapMinimum = 0.6;

inline double Tolerance(double expected) {
    return std::max(kRelativeTolerance * expected, kAbsoluteTolerance);
}

inline double PeriodTolerance(double expected) {
    return std::max(kPeriodTolerance * expected, kAbsolutePeriodTolerance);
}

inline bool Near(double actual, double expected, bool mark) {
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
    // Whether the read position is in the signal's last duration or past it.
    bool AtLast() const { return index_ + 1 >= signal_->size(); }
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
    // The signal's last duration as read (a mark: the silence that ends a capture is not read).
    double Final() const { return signal_->empty() ? 0 : Length(signal_->size() - 1); }

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

// How a frame fits the signal at the read position: whole, not at all, or as far as the signal
// goes, which ended inside the frame (the key was let go mid-frame, or the capture filled up).
enum class FrameFit { kWhole, kMismatch, kCutOff };

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
    // The next frame's lead-in mark was lost but for a remnant.
    void TakeLeadInMarkAsLost() { leadInMarkLost_ = true; }

    FrameFit Match(const std::vector<Item>& items) {
        elapsed_ = 0;
        inLeadIn_ = true;
        bitMarks_ = {};
        const bool leadInMarkLost = std::exchange(leadInMarkLost_, false);
        if (!cursor_.IsMark())
            return FrameFit::kMismatch;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
            const bool beforeGap = i + 1 == items.size() || items[i + 1].kind == ItemKind::kGap ||
                                   items[i + 1].kind == ItemKind::kGapTotal;
            const bool fits = i == 0 && leadInMarkLost ? TakeLostLeadInMark(item)
                                                       : MatchItem(items, i, item, beforeGap);
            if (!fits)
                return Failure();
        }
        return FrameFit::kWhole;
    }

  private:
    // A frame that failed on the signal's last mark, or after it, was cut off, unless that mark
    // is longer than any of the protocol's: a cut can only have shortened it. What the last mark
    // was read as counts for nothing, since it may have been cut short.
    FrameFit Failure() const {
        return cursor_.AtLast() && cursor_.Final() <= LongestMark() ? FrameFit::kCutOff
                                                                    : FrameFit::kMismatch;
    }

    // The longest mark any frame of the protocol may show.
    double LongestMark() const {
        double fixed = 0;
        for (const auto* frame : {&def_.first, &def_.repeat}) {
            for (const Item& item : *frame) {
                if (item.kind == ItemKind::kMark)
                    fixed = std::max(fixed, item.value * unit_);
            }
        }
        const double bit = std::max({0, int{def_.zero[0]}, int{def_.one[0]}}) * unit_;
        // Bi-phase marks run together with their neighbours, a double-length half-bit included.
        const double longest =
            def_.biphase ? std::max(fixed + 2 * unit_, 4 * unit_) : std::max(fixed, bit);
        return std::max(longest + Tolerance(longest) + kMarkExcess, longMarkLimit_);
    }

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

    bool TakeLostLeadInMark(const Item& item) {
        if (item.kind != ItemKind::kMark || !cursor_.IsMark())
            return false;
        const double actual = cursor_.TakeAll();
        elapsed_ += actual;
        return actual >= kLostLeadInRemnantUs && actual <= item.value * unit_;
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
            const int bit = LastBitByItsMark(mark, zeroMark, oneMark);
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
        bitMarks_[bit].Add(mark);
        return bit;
    }

    // The bit of a mark whose space ran into the lead-out, where the bits differ in their
    // marks (Sony). Its mark is set against the marks this frame's other bits were read with,
    // not against nominal ones: a remote that runs its one-marks at 80 % of nominal and a
    // receiver that stretches every mark leave it nearer the wrong nominal length. A kind of
    // bit the frame did not show is placed the nominal difference away from the other.
    int LastBitByItsMark(double mark, double zeroMark, double oneMark) const {
        const MarkMean& zeros = bitMarks_[0];
        const MarkMean& ones = bitMarks_[1];
        double zero = zeroMark;
        double one = oneMark;
        if (zeros.count > 0 && ones.count > 0) {
            zero = zeros.Mean();
            one = ones.Mean();
        } else if (zeros.count > 0) {
            zero = zeros.Mean();
            one = zero + (oneMark - zeroMark);
        } else if (ones.count > 0) {
            one = ones.Mean();
            zero = one - (oneMark - zeroMark);
        }
        return std::fabs(mark - one) < std::fabs(mark - zero) ? 1 : 0;
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
    bool leadInMarkLost_ = false;

    struct MarkMean {
        double sum = 0;
        int count = 0;
        void Add(double mark) {
            sum += mark;
            ++count;
        }
        double Mean() const { return sum / count; }
    };
    std::array<MarkMean, 2> bitMarks_{};  // the marks of this frame's zero and one bits so far
};

inline bool CheckMatches(const ProtocolDef& def, const Reading& reading) {
    if (def.checksum == Checksum::kNone)
        return true;
    return (CheckValue(def.checksum, reading.params) & reading.checkKnown) == reading.check;
}

}  // namespace quorvel::matching
