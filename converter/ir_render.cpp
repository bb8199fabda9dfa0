#include "converter/ir_render.h"

#include <algorithm>
#include <cmath>

namespace quorvel {
namespace {

// Collects durations in floating point, merging neighbours of the same level, so that a
// bi-phase half-bit and the space or mark next to it become one duration as on the air.
class Builder {
  public:
    void Add(double us, bool leadIn) {
        if (us == 0)
            return;
        if (!levels_.empty() && (levels_.back() > 0) == (us > 0)) {
            levels_.back() += us;
            leadIn_.back() = leadIn_.back() && leadIn;
        } else {
            levels_.push_back(us);
            leadIn_.push_back(leadIn);
        }
        frameElapsed_ += std::fabs(us);
    }
    void StartFrame(std::vector<std::size_t>& frameStarts) {
        frameStarts.push_back(levels_.size());
        frameElapsed_ = 0;
    }
    double FrameElapsed() const { return frameElapsed_; }
    void Finish(Rendered& out) const {
        out.durations.reserve(levels_.size());
        // A definition from a remote's code area may ask for absurd lengths; they end at
        // what a duration can hold.
        constexpr double kLongest = 2e9;
        for (double level : levels_)
            out.durations.push_back(
                static_cast<std::int32_t>(std::lround(std::clamp(level, -kLongest, kLongest))));
        out.leadIn = leadIn_;
    }

  private:
    std::vector<double> levels_;
    std::vector<bool> leadIn_;
    double frameElapsed_ = 0;
};

std::uint32_t FieldValue(const ProtocolDef& def, const Item& item, const Params& params) {
    std::uint32_t value = 0;
    switch (item.source) {
        case Source::kConst:
            value = item.constant;
            break;
        case Source::kCheck:
            value = CheckValue(def.checksum, params) >> item.shift;
            break;
        default:
            value = params.values[static_cast<int>(item.source)] >> item.shift;
            break;
    }
    if (item.flags & kInvert)
        value = ~value;
    return value;
}

void RenderFrame(const ProtocolDef& def, const std::vector<Item>& items, const Params& params,
                 Builder& builder) {
    const double unit = def.UnitUs();
    bool leadIn = !items.empty() && items.front().kind != ItemKind::kBits;
    for (const Item& item : items) {
        switch (item.kind) {
            case ItemKind::kMark:
                builder.Add(item.value * unit, leadIn);
                break;
            case ItemKind::kSpace:
                builder.Add(-item.value * unit, leadIn);
                break;
            case ItemKind::kGap:
                builder.Add(-item.value * unit, false);
                break;
            case ItemKind::kGapTotal: {
                // A frame longer than its period still gets a lead-out of one unit.
                const double gap = std::max(item.value * 10.0 - builder.FrameElapsed(), unit);
                builder.Add(-gap, false);
                break;
            }
            case ItemKind::kBits: {
                leadIn = false;
                const double scale = (item.flags & kDouble) ? 2 * unit : unit;
                for (int i = 0; i < item.width; ++i) {
                    const BitPattern& pattern = FieldBit(def, item, params, i) ? def.one : def.zero;
                    builder.Add(pattern[0] * scale, false);
                    builder.Add(pattern[1] * scale, false);
                }
                break;
            }
        }
    }
}

}  // namespace

int FieldBit(const ProtocolDef& def, const Item& item, const Params& params, int index) {
    const bool highFirst = def.msbFirst != ((item.flags & kReverse) != 0);
    const int position = highFirst ? item.width - 1 - index : index;
    return static_cast<int>((FieldValue(def, item, params) >> position) & 1);
}

Rendered Render(const ProtocolDef& def, const Params& params, int repeats) {
    Rendered out;
    out.carrierHz = def.carrierHz;
    Builder builder;
    builder.StartFrame(out.frameStarts);
    RenderFrame(def, def.first, params, builder);
    for (int r = 0; r < repeats; ++r) {
        builder.StartFrame(out.frameStarts);
        RenderFrame(def, def.repeat, params, builder);
    }
    builder.Finish(out);
    return out;
}

}  // namespace quorvel
