#include "learning/normalise.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace {

constexpr std::size_t kGroupLength = 4;
constexpr std::string_view kPauseGroup = "7FFF";
constexpr unsigned kPauseCount = 0x7FFF;
constexpr unsigned kMarkBit = 0x8000;

// The marker and the two carrier groups after it.
constexpr std::size_t kCutTailLength = kEndMarker.size() + 2 * kGroupLength;
// With the marker past this position (counted from 1), the head before it is cut to an odd
// number of whole groups.
constexpr std::size_t kOddHeadFromPosition = 3000;

// Pause groups collected (in a row, or apart with only marks between) that end the signal.
constexpr std::size_t kEndRunLength = 20;

// Elements are thirds of a count shifted by this much: marks shorter, spaces longer.
constexpr unsigned kElementShift = 58;
constexpr unsigned kPauseUnit = 1000;
constexpr std::string_view kSeparatorOpen = "FEFE";
constexpr std::string_view kSeparatorClose = "EDED";
// Written once, with the first frame end, when no pause came before it.
constexpr std::string_view kFirstFrameEndValue = "0014";
static_assert(kSeparatorOpen.size() == 4 && kSeparatorClose.size() == 4 &&
              kFirstFrameEndValue.size() == 4);

constexpr std::string_view kNoCarrierField = "0000";
constexpr std::string_view kCarrierFieldSuffix = "12";
constexpr unsigned kLargestCarrierValue = 0xFF;

// ---- Reading and writing hex ----

// The value of each byte as an upper-case hex digit, or -1.
constexpr std::array<signed char, 256> kHexDigitValues = [] {
    std::array<signed char, 256> values{};
    values.fill(-1);
    for (int k = 0; k < 10; ++k)
        values['0' + k] = static_cast<signed char>(k);
    for (int k = 0; k < 6; ++k)
        values['A' + k] = static_cast<signed char>(10 + k);
    return values;
}();

int UpperHexDigit(char c) {
    return kHexDigitValues[static_cast<unsigned char>(c)];
}

// The `digits` upper-case hex digits at offset in text; none when text is too short or a
// character is not such a digit.
std::optional<unsigned> ReadHex(std::string_view text, std::size_t offset, std::size_t digits) {
    if (offset > text.size() || text.size() - offset < digits)
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t k = offset; k < offset + digits; ++k) {
        const int digit = UpperHexDigit(text[k]);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return value;
}

// A group's value: exactly four upper-case hex digits.
std::optional<unsigned> GroupValue(std::string_view group) {
    if (group.size() != kGroupLength)
        return std::nullopt;
    return ReadHex(group, 0, kGroupLength);
}

bool IsMarkValue(unsigned value) {
    return (value & kMarkBit) != 0;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex2(std::string& out, unsigned value) {
    const char text[2] = {kHexDigits[(value >> 4) & 0xFu], kHexDigits[value & 0xFu]};
    out.append(text, sizeof text);
}

// The body, four characters at a time. Appending through std::string costs more than the
// walk itself, so the text is sized once and filled in place.
class BodyText {
  public:
    // A pause turns two groups into three and nothing else grows, so a body rarely needs more
    // than one and a half times the input; Room() grows it if it ever does.
    explicit BodyText(std::size_t inputSize) : text_(inputSize / 2 * 3 + 16, '\0') {}

    void Append(std::string_view four) { std::memcpy(Room(), four.data(), 4); }

    // Every element fits four digits: the longest mark, a "7FFF" and a mark of 7FFF after it,
    // is (7FFF + 7FFF) / 3 - 58 = 551A; the longest space 7FFF / 3 + 58 = 2AE4; the longest
    // pause, nineteen "7FFF" and a remainder of 7FFF, is DA.
    void AppendHex4(unsigned value) {
        char* out = Room();
        out[0] = kHexDigits[(value >> 12) & 0xFu];
        out[1] = kHexDigits[(value >> 8) & 0xFu];
        out[2] = kHexDigits[(value >> 4) & 0xFu];
        out[3] = kHexDigits[value & 0xFu];
    }

    std::string Take() {
        text_.resize(size_);
        return std::move(text_);
    }

  private:
    char* Room() {
        if (text_.size() - size_ < 4) [[unlikely]]
            Grow();
        char* room = text_.data() + size_;
        size_ += 4;
        return room;
    }

    // Kept out of line, so that appending stays a few instructions inside the walk.
    [[gnu::noinline]] void Grow() { text_.resize(text_.size() * 2 + 16); }

    std::string text_;
    std::size_t size_ = 0;
};

// ---- Elements ----

// A mark shorter than 174 counts would come out negative; it is written as 0000 so that every
// element stays four digits and the converter can still split the body.
unsigned MarkElement(unsigned count) {
    const unsigned third = count / 3;
    return third > kElementShift ? third - kElementShift : 0;
}

unsigned SpaceElement(unsigned count) {
    return count / 3 + kElementShift;
}

// A pause of pauseGroups "7FFF" groups and a remainder, in thousands of the space element.
unsigned PauseElement(std::size_t pauseGroups, unsigned remainder) {
    const unsigned count = static_cast<unsigned>(pauseGroups) * kPauseCount + remainder;
    return SpaceElement(count) / kPauseUnit;
}

// The carrier field from the two groups after the marker: bytes a and b of the first, c the
// first byte of the second. The carrier value Trunc(1000 / ((a + b + c) / 9)) is computed as
// 9000 / (a + b + c) in integers: the same value exactly, where double arithmetic would round
// some sums down by one (a sum of 75 gives 119.99... instead of 120). A value above FF (a sum
// below 36) is written as FF so that the field keeps its four characters.
std::optional<std::string> CarrierField(std::string_view first, std::string_view second) {
    const auto a = ReadHex(first, 0, 2);
    const auto b = ReadHex(first, 2, 2);
    const auto c = ReadHex(second, 0, 2);
    if (!a || !b || !c)
        return std::nullopt;
    const unsigned sum = *a + *b + *c;
    if (sum == 0)
        return std::string(kNoCarrierField);
    std::string field;
    AppendHex2(field, std::min(9000 / sum, kLargestCarrierValue));
    field += kCarrierFieldSuffix;
    return field;
}

// ---- Cutting ----

// The text before the marker at offset markerAt. Far into the text the head is cut to an odd
// number of whole groups, so that it ends where a mark is expected.
std::string_view HeadBeforeMarker(std::string_view raw, std::size_t markerAt) {
    const std::size_t markerPosition = markerAt + 1;  // counted from 1
    if (markerPosition <= kOddHeadFromPosition)
        return raw.substr(0, markerAt);
    std::size_t groups = markerAt / kGroupLength;
    if (groups % 2 == 0)
        --groups;
    return raw.substr(0, groups * kGroupLength);
}

// The head without its last group when that group is a space: the pause before the marker.
// A space is told by its first digit (0 to 7) alone, so the group goes even when a later
// character of it is damaged; the walk never sees it.
std::string_view WithoutTrailingSpace(std::string_view head) {
    if (head.size() < kGroupLength)
        return head;
    const int firstDigit = UpperHexDigit(head[head.size() - kGroupLength]);
    if (firstDigit >= 0 && firstDigit < 8)
        head.remove_suffix(kGroupLength);
    return head;
}

// ---- The walk ----

// Of the run list the walk reads back only its length and its first two texts.
class RunList {
  public:
    void Add(std::string_view text) {
        if (count_ == 0)
            first_ = text;
        else if (count_ == 1)
            second_ = text;
        ++count_;
    }
    void Clear() { count_ = 0; }
    std::size_t Count() const { return count_; }
    std::string_view First() const { return first_; }
    std::string_view Second() const { return second_; }

  private:
    std::size_t count_ = 0;
    std::string_view first_;
    std::string_view second_;
};

// One pass over a cut text. Groups are views into the text, never copies.
//
// The group counter g tells where a mark is expected (g odd). A run of "7FFF" groups, with
// the space that may end it, counts as one group, and so does a "7FFF" that lengthens the mark
// after it; the steps keep g in line by taking one back.
class RawCodeWalk {
  public:
    explicit RawCodeWalk(std::string_view text) : text_(text), body_(text.size()) {}

    std::optional<NormalisedCode> Run() {
        while (pos_ < text_.size()) {
            const Flow flow = Step();
            if (flow == Flow::kFinished)
                return NormalisedCode{frameCount_, std::move(carrierField_), body_.Take()};
            if (flow == Flow::kFailed)
                return std::nullopt;
        }
        return std::nullopt;  // the text ended before the carrier measurement
    }

  private:
    // kOn: go on with the next step of this group. kNextGroup: the group is done and the walk
    // has moved on.
    enum class Flow { kOn, kNextGroup, kFinished, kFailed };

    Flow Step() {
        if (const Flow f = TakeGroup(); f != Flow::kOn)
            return f;
        if (const Flow f = PauseWhereMarkExpected(); f != Flow::kOn)
            return f;
        if (const Flow f = CollectPauseRun(); f != Flow::kOn)
            return f;
        if (const Flow f = FinishWithCarrier(); f != Flow::kOn)
            return f;
        if (const Flow f = EndOfSignal(); f != Flow::kOn)
            return f;
        if (const Flow f = PauseOrElement(); f != Flow::kOn)
            return f;
        MoveOn();
        return Flow::kNextGroup;
    }

    // Without a next group the walk can only be reading the carrier measurement, whose last
    // group may be cut short; before the end that is a failure. A next group exists as soon as
    // one character of it does, so a group followed by a cut-short one still counts.
    Flow TakeGroup() {
        hasNext_ = text_.size() > pos_ + kGroupLength;
        if (!hasNext_) {
            if (!tail_)
                return Flow::kFailed;
            group_ = text_.substr(pos_);
            groupIsPause_ = group_ == kPauseGroup;
            next_ = {};
            return Flow::kOn;
        }
        group_ = text_.substr(pos_, kGroupLength);
        groupIsPause_ = group_ == kPauseGroup;
        next_ = text_.substr(pos_ + kGroupLength, kGroupLength);
        ++groupCounter_;
        return Flow::kOn;
    }

    // A "7FFF" where a mark is expected. Before a mark it lengthens that mark; before
    // anything else it is a mark of its own. The previous group stays as it was.
    Flow PauseWhereMarkExpected() {
        if (!groupIsPause_ || groupCounter_ % 2 == 0 || !hasNext_)
            return Flow::kOn;
        // Whether the next group is a mark must be read from it; one that is not four hex
        // digits (damaged, or cut short by the end of the text) fails the walk.
        const auto next = GroupValue(next_);
        if (!next)
            return Flow::kFailed;
        if (IsMarkValue(*next)) {
            --groupCounter_;
            merge_ = true;
            Advance();
            return Flow::kNextGroup;
        }
        if (!tail_) {
            AppendElement(MarkElement(kPauseCount));
            Advance();
            return Flow::kNextGroup;
        }
        return Flow::kOn;
    }

    // Pause groups, and every group after the end, join the run list; inside a run, each
    // further "7FFF" takes its count back, so the run counts as one group.
    Flow CollectPauseRun() {
        if (groupIsPause_ || tail_)
            runList_.Add(group_);
        if (!groupIsPause_ || !hasNext_)
            return Flow::kOn;
        if (next_ == kPauseGroup)
            --groupCounter_;
        previousIsPause_ = true;
        Advance();
        return Flow::kNextGroup;
    }

    // The two groups after the end are the carrier measurement.
    Flow FinishWithCarrier() {
        if (!tail_ || runList_.Count() != 2)
            return Flow::kOn;
        auto field = CarrierField(runList_.First(), runList_.Second());
        if (!field)
            return Flow::kFailed;
        carrierField_ = std::move(*field);
        return Flow::kFinished;
    }

    // The group after a run of twenty or more "7FFF" groups is the first carrier group.
    Flow EndOfSignal() {
        if (!previousIsPause_ || runList_.Count() < kEndRunLength || groupIsPause_)
            return Flow::kOn;
        runList_.Clear();
        runList_.Add(group_);
        ++frameCount_;
        if (frameCount_ == 1) {
            body_.Append(kSeparatorOpen);
            body_.Append(kFirstFrameEndValue);
        }
        body_.Append(kSeparatorClose);
        tail_ = true;
        MoveOn();
        return Flow::kNextGroup;
    }

    // A space right after a shorter run ends a pause inside the signal (and counts with the
    // run as one group); any other group before the end is a mark or a space.
    Flow PauseOrElement() {
        if (tail_)
            return Flow::kOn;
        // Before the end every group has a next one, so CollectPauseRun took any "7FFF".
        const auto value = GroupValue(group_);
        if (!value)
            return Flow::kFailed;
        const bool isMark = IsMarkValue(*value);
        const std::size_t run = runList_.Count();
        if (previousIsPause_ && run >= 1 && run < kEndRunLength && !isMark) {
            body_.Append(kSeparatorOpen);
            AppendElement(PauseElement(run, *value));
            body_.Append(kSeparatorClose);
            ++frameCount_;
            runList_.Clear();
            previousIsPause_ = groupIsPause_;
            --groupCounter_;
            Advance();
            return Flow::kNextGroup;
        }
        if (isMark)
            AppendElement(MarkElement(GroupDuration(static_cast<std::uint16_t>(*value)) +
                                      (merge_ ? kPauseCount : 0)));
        else
            AppendElement(SpaceElement(*value));
        return Flow::kOn;
    }

    // Done with this group.
    void MoveOn() {
        previousIsPause_ = groupIsPause_;
        Advance();
        merge_ = false;
    }

    void Advance() { pos_ += kGroupLength; }
    void AppendElement(unsigned value) { body_.AppendHex4(value); }

    std::string_view text_;
    std::size_t pos_ = 0;  // offset of the current group
    std::string_view group_;
    bool groupIsPause_ = false;  // group_ is "7FFF"
    std::string_view next_;      // up to four characters; meaningful when hasNext_
    bool hasNext_ = false;
    int groupCounter_ = 0;
    int frameCount_ = 0;
    BodyText body_;
    std::string carrierField_;
    bool tail_ = false;             // the end of the signal has been found
    bool previousIsPause_ = false;  // the walk only ever asks whether the previous group was "7FFF"
    RunList runList_;
    bool merge_ = false;  // the mark in hand is lengthened by a "7FFF" before it
};

}  // namespace

std::string NormalisedCode::Text() const {
    std::string text = std::to_string(frameCount);
    text.reserve(text.size() + carrierField.size() + body.size());
    text += carrierField;
    text += body;
    return text;
}

std::string CutAtEndMarker(std::string_view rawText) {
    const std::size_t markerAt = rawText.find(kEndMarker);
    if (markerAt == std::string_view::npos)
        return std::string(kNoEndMarkerText);
    const std::string_view head = WithoutTrailingSpace(HeadBeforeMarker(rawText, markerAt));
    const std::string_view tail = rawText.substr(markerAt, kCutTailLength);
    std::string cut;
    cut.reserve(head.size() + tail.size());
    cut += head;
    cut += tail;
    return cut;
}

std::optional<NormalisedCode> NormaliseRawCodeParts(std::string_view cutText) {
    return RawCodeWalk(cutText).Run();
}

std::string NormaliseRawCode(std::string_view cutText, const NormaliseFailureSink& onFailure) {
    if (auto code = NormaliseRawCodeParts(cutText))
        return code->Text();
    if (onFailure)
        onFailure(cutText);
    return {};
}

bool IsMarkGroup(std::string_view group) {
    const auto value = GroupValue(group);
    return value && IsMarkValue(*value);
}
