#include "converter/lircd_reader.h"

#include <map>
#include <set>

#include "converter/hex_text.h"

namespace quorvel {
namespace {

using Problem = CollectionProblem;

enum class Encoding { kSpace, kShift, kRc6 };

struct Pair {
    std::uint32_t pulse = 0;
    std::uint32_t space = 0;
    bool Given() const { return pulse != 0 || space != 0; }
};

// A remote's description, as far as it shapes what its buttons send.
struct RemoteDescription {
    std::string name;
    int line = 0;
    Encoding encoding = Encoding::kSpace;
    bool constLength = false;
    bool reverse = false;
    bool repeatHeader = false;
    int bits = 0;
    Pair header, one, zero, pre, post, foot, repeat;
    std::uint32_t plead = 0, ptrail = 0, gap = 0;
    int preDataBits = 0, postDataBits = 0;
    std::uint64_t preData = 0, postData = 0;
    std::optional<std::uint64_t> rc6Mask;
    std::uint32_t frequency = 38000;
    int minRepeat = 0;
};

// The values that shape the signal.
const std::set<std::string_view> kRenderedParameters = {
    "bits",           "header",   "one",       "zero",     "pre",       "post",
    "foot",           "repeat",   "plead",     "ptrail",   "gap",       "pre_data_bits",
    "post_data_bits", "pre_data", "post_data", "rc6_mask", "frequency", "min_repeat"};

// Values that change nothing this reader renders.
const std::set<std::string_view> kIgnoredParameters = {
    "driver",          "eps",        "aeps",        "duty_cycle",  "repeat_gap",  "suppress_repeat",
    "toggle_bit_mask", "toggle_bit", "toggle_mask", "manual_sort", "ignore_mask", "min_code_repeat",
    "repeat_mask",     "serial_mode"};

std::optional<std::uint64_t> Number(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        if (text.empty() || text.size() > 16)
            return std::nullopt;
        std::uint64_t value = 0;
        for (const char c : text) {
            const auto digit = ParseHexDigits(std::string_view(&c, 1));
            if (!digit)
                return std::nullopt;
            value = value << 4 | *digit;
        }
        return value;
    }
    if (text.empty() || text.size() > 19)
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

// The words of a line up to a comment.
std::vector<std::string_view> LineWords(std::string_view line) {
    std::vector<std::string_view> words = Words(line);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i][0] == '#') {
            words.resize(i);
            break;
        }
    }
    return words;
}

std::optional<Problem> SetFlags(RemoteDescription& remote, std::string_view flags, int line) {
    std::size_t start = 0;
    while (start <= flags.size()) {
        std::size_t end = flags.find('|', start);
        if (end == std::string_view::npos)
            end = flags.size();
        const std::string_view flag = Trimmed(flags.substr(start, end - start));
        start = end + 1;
        const auto encoding = [&](Encoding e) { remote.encoding = e; };
        if (flag == "SPACE_ENC")
            encoding(Encoding::kSpace);
        else if (flag == "RC5" || flag == "SHIFT_ENC")
            encoding(Encoding::kShift);
        else if (flag == "RC6")
            encoding(Encoding::kRc6);
        else if (flag == "CONST_LENGTH")
            remote.constLength = true;
        else if (flag == "REVERSE")
            remote.reverse = true;
        else if (flag == "REPEAT_HEADER")
            remote.repeatHeader = true;
        else if (flag != "RAW_CODES" && flag != "NO_HEAD_REP" && flag != "NO_FOOT_REP")
            return Problem{line, "the flag " + std::string(flag.substr(0, 30)) +
                                     " is not one this reader renders (it renders SPACE_ENC, "
                                     "RC5, SHIFT_ENC, RC6, CONST_LENGTH, REVERSE)"};
    }
    return std::nullopt;
}

std::optional<Problem> SetParameter(RemoteDescription& remote,
                                    const std::vector<std::string_view>& words, int line) {
    const std::string_view key = words[0];
    if (key == "name") {
        if (words.size() < 2)
            return Problem{line, "a remote's name is missing"};
        remote.name = std::string(words[1]);
        return std::nullopt;
    }
    if (key == "flags") {
        std::string flags;
        for (std::size_t i = 1; i < words.size(); ++i)
            flags += words[i];
        return SetFlags(remote, flags, line);
    }
    if (kIgnoredParameters.count(key))
        return std::nullopt;
    if (!kRenderedParameters.count(key))
        return Problem{line, "unknown parameter " + std::string(key.substr(0, 30))};
    std::vector<std::uint64_t> values;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const auto value = Number(words[i]);
        if (!value)
            return Problem{line, "not a number: " + std::string(words[i].substr(0, 30))};
        values.push_back(*value);
    }
    const auto duration = [&](std::size_t i, std::uint32_t& into) -> std::optional<Problem> {
        if (i >= values.size())
            return Problem{line, std::string(key) + " needs " + std::to_string(i + 1) +
                                     (i == 0 ? " value" : " values")};
        if (values[i] > kLongestReadDurationUs)
            return Problem{line, "a duration is at most 10000000 microseconds"};
        into = static_cast<std::uint32_t>(values[i]);
        return std::nullopt;
    };
    const auto pair = [&](Pair& into) -> std::optional<Problem> {
        if (auto problem = duration(0, into.pulse))
            return problem;
        return duration(1, into.space);
    };
    const auto bitCount = [&](int& into) -> std::optional<Problem> {
        if (values.empty() || values[0] > 64)
            return Problem{line, std::string(key) + " is a number of bits from 0 to 64"};
        into = static_cast<int>(values[0]);
        return std::nullopt;
    };
    const auto data = [&](std::uint64_t& into) -> std::optional<Problem> {
        if (values.empty())
            return Problem{line, std::string(key) + " needs a value"};
        into = values[0];
        return std::nullopt;
    };
    if (key == "bits")
        return bitCount(remote.bits);
    if (key == "header")
        return pair(remote.header);
    if (key == "one")
        return pair(remote.one);
    if (key == "zero")
        return pair(remote.zero);
    if (key == "pre")
        return pair(remote.pre);
    if (key == "post")
        return pair(remote.post);
    if (key == "foot")
        return pair(remote.foot);
    if (key == "repeat")
        return pair(remote.repeat);
    if (key == "plead")
        return duration(0, remote.plead);
    if (key == "ptrail")
        return duration(0, remote.ptrail);
    if (key == "gap")
        return duration(0, remote.gap);
    if (key == "pre_data_bits")
        return bitCount(remote.preDataBits);
    if (key == "post_data_bits")
        return bitCount(remote.postDataBits);
    if (key == "pre_data")
        return data(remote.preData);
    if (key == "post_data")
        return data(remote.postData);
    if (key == "rc6_mask") {
        std::uint64_t mask = 0;
        auto problem = data(mask);
        remote.rc6Mask = mask;
        return problem;
    }
    if (key == "frequency") {
        if (values.empty() || values[0] > 1'000'000)
            return Problem{line, "a frequency is a number of hertz up to 1000000"};
        remote.frequency = static_cast<std::uint32_t>(values[0]);
        return std::nullopt;
    }
    if (key == "min_repeat") {
        if (values.empty() || values[0] > 20)
            return Problem{line, "min_repeat is a number from 0 to 20"};
        remote.minRepeat = static_cast<int>(values[0]);
        return std::nullopt;
    }
    return Problem{line, "unknown parameter " + std::string(key.substr(0, 30))};
}

// Durations as they are sent: neighbours of one level merged, zeros dropped.
void Append(Durations& signal, std::int64_t duration) {
    if (duration == 0)
        return;
    if (!signal.empty() && (signal.back() > 0) == (duration > 0)) {
        signal.back() = static_cast<std::int32_t>(signal.back() + duration);
        return;
    }
    signal.push_back(static_cast<std::int32_t>(duration));
}

void AppendPair(Durations& signal, const Pair& pair) {
    Append(signal, pair.pulse);
    Append(signal, -static_cast<std::int64_t>(pair.space));
}

std::int64_t Length(const Durations& signal, std::size_t from) {
    std::int64_t total = 0;
    for (std::size_t i = from; i < signal.size(); ++i)
        total += signal[i] > 0 ? signal[i] : -static_cast<std::int64_t>(signal[i]);
    return total;
}

// The frame's data bits, the first sent first: pre_data, the code, post_data.
std::vector<bool> FrameBits(const RemoteDescription& remote, std::uint64_t code) {
    std::vector<bool> bits;
    const auto field = [&](std::uint64_t value, int width) {
        for (int i = 0; i < width; ++i) {
            const int bit = remote.reverse ? i : width - 1 - i;
            bits.push_back((value >> bit) & 1);
        }
    };
    field(remote.preData, remote.preDataBits);
    field(code, remote.bits);
    field(remote.postData, remote.postDataBits);
    return bits;
}

void AppendBit(Durations& signal, const RemoteDescription& remote, bool one, bool doubled) {
    const Pair& pattern = one ? remote.one : remote.zero;
    const std::int64_t factor = doubled ? 2 : 1;
    const std::int64_t pulse = pattern.pulse * factor;
    const std::int64_t space = pattern.space * factor;
    const bool spaceFirst =
        (remote.encoding == Encoding::kShift && one) || (remote.encoding == Encoding::kRc6 && !one);
    if (spaceFirst) {
        Append(signal, -space);
        Append(signal, pulse);
    } else {
        Append(signal, pulse);
        Append(signal, -space);
    }
}

// Ends a frame that began at `start` with its lead-out.
void AppendGap(Durations& signal, const RemoteDescription& remote, std::size_t start) {
    std::int64_t gap = remote.gap;
    if (remote.constLength)
        gap = std::max<std::int64_t>(gap - Length(signal, start), remote.gap / 10);
    Append(signal, -gap);
}

Durations RenderCode(const RemoteDescription& remote, std::uint64_t code) {
    Durations signal;
    const std::vector<bool> bits = FrameBits(remote, code);
    const int total = static_cast<int>(bits.size());
    const auto doubled = [&](int index) {
        if (remote.encoding != Encoding::kRc6)
            return false;
        if (remote.rc6Mask)
            return ((*remote.rc6Mask >> (total - 1 - index)) & 1) != 0;
        return index == 4;
    };
    const auto frame = [&] {
        const std::size_t start = signal.size();
        AppendPair(signal, remote.header);
        Append(signal, remote.plead);
        for (int i = 0; i < remote.preDataBits && i < total; ++i)
            AppendBit(signal, remote, bits[static_cast<std::size_t>(i)], doubled(i));
        AppendPair(signal, remote.pre);
        for (int i = remote.preDataBits; i < remote.preDataBits + remote.bits; ++i)
            AppendBit(signal, remote, bits[static_cast<std::size_t>(i)], doubled(i));
        AppendPair(signal, remote.post);
        for (int i = remote.preDataBits + remote.bits; i < total; ++i)
            AppendBit(signal, remote, bits[static_cast<std::size_t>(i)], doubled(i));
        AppendPair(signal, remote.foot);
        Append(signal, remote.ptrail);
        AppendGap(signal, remote, start);
    };
    frame();
    for (int r = 0; r < remote.minRepeat; ++r) {
        if (!remote.repeat.Given()) {
            frame();
            continue;
        }
        const std::size_t start = signal.size();
        if (remote.repeatHeader)
            AppendPair(signal, remote.header);
        AppendPair(signal, remote.repeat);
        Append(signal, remote.ptrail);
        AppendGap(signal, remote, start);
    }
    // A frame may start with a space (RC5's first one bit without plead): the signal starts
    // at its first pulse.
    if (!signal.empty() && signal.front() < 0)
        signal.erase(signal.begin());
    return signal;
}

CollectionButton TimingsButton(const RemoteDescription& remote, std::string name, int line,
                               Durations durations) {
    CollectionButton button{std::move(name), remote.name, line, {}};
    button.signal.kind = ButtonSignal::Kind::kTimings;
    button.signal.durations = std::move(durations);
    button.signal.carrierHz = remote.frequency;
    return button;
}

enum class Section { kOutside, kDescription, kCodes, kRawCodes };

}  // namespace

CollectionReading ReadLircdFile(std::string_view text) {
    const std::vector<std::string_view> lines = TextLines(text);
    std::vector<CollectionButton> buttons;
    Section section = Section::kOutside;
    RemoteDescription remote;
    std::set<std::string> names;  // of the present remote's buttons
    bool anyRemote = false;
    // The raw button being read: its name, line and durations so far.
    std::optional<CollectionButton> raw;
    bool rawPulse = true;
    const auto finishRaw = [&]() -> std::optional<Problem> {
        if (!raw)
            return std::nullopt;
        if (raw->signal.durations.empty())
            return Problem{raw->line, "the raw button " + raw->name + " has no durations"};
        AppendGap(raw->signal.durations, remote, 0);
        buttons.push_back(std::move(*raw));
        raw.reset();
        return std::nullopt;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const std::vector<std::string_view> words = LineWords(lines[i]);
        if (words.empty())
            continue;
        const bool begin = words[0] == "begin" && words.size() >= 2;
        const bool end = words[0] == "end" && words.size() >= 2;
        switch (section) {
            case Section::kOutside:
                if (!begin || words[1] != "remote")
                    return Failure(Problem{line, "a remote block starts with \"begin remote\""});
                section = Section::kDescription;
                remote = RemoteDescription{};
                remote.line = line;
                names.clear();
                anyRemote = true;
                break;
            case Section::kDescription:
                if (begin && (words[1] == "codes" || words[1] == "raw_codes")) {
                    if (words[1] == "codes" && remote.bits == 0)
                        return Failure(Problem{line, "a remote with codes states its bits"});
                    section = words[1] == "codes" ? Section::kCodes : Section::kRawCodes;
                } else if (end && words[1] == "remote") {
                    section = Section::kOutside;
                } else if (begin || end) {
                    return Failure(Problem{line, "unexpected " + std::string(words[0]) + " " +
                                                     std::string(words[1].substr(0, 20))});
                } else if (auto problem = SetParameter(remote, words, line)) {
                    return Failure(*problem);
                }
                break;
            case Section::kCodes: {
                if (end && words[1] == "codes") {
                    section = Section::kDescription;
                    break;
                }
                if (words.size() < 2)
                    return Failure(Problem{line, "a button is its name and its code"});
                const auto code = Number(words[1]);
                if (!code)
                    return Failure(
                        Problem{line, "not a code: " + std::string(words[1].substr(0, 30))});
                if (remote.bits < 64 && (*code >> remote.bits) != 0)
                    return Failure(Problem{line, "the code " + std::string(words[1]) +
                                                     " is wider than the remote's " +
                                                     std::to_string(remote.bits) + " bits"});
                if (!names.insert(std::string(words[0])).second)
                    return Failure(Problem{line, "the button " + std::string(words[0]) +
                                                     " is named twice in the remote"});
                buttons.push_back(
                    TimingsButton(remote, std::string(words[0]), line, RenderCode(remote, *code)));
                break;
            }
            case Section::kRawCodes: {
                if (end && words[1] == "raw_codes") {
                    if (auto problem = finishRaw())
                        return Failure(*problem);
                    section = Section::kDescription;
                    break;
                }
                if (words[0] == "name") {
                    if (auto problem = finishRaw())
                        return Failure(*problem);
                    if (words.size() < 2)
                        return Failure(Problem{line, "a raw button's name is missing"});
                    if (!names.insert(std::string(words[1])).second)
                        return Failure(Problem{line, "the button " + std::string(words[1]) +
                                                         " is named twice in the remote"});
                    raw = TimingsButton(remote, std::string(words[1]), line, {});
                    rawPulse = true;
                    break;
                }
                if (!raw)
                    return Failure(Problem{line, "a raw button starts with \"name\""});
                for (const std::string_view word : words) {
                    const auto us = DecimalNumber(word);
                    if (!us || *us == 0 || *us > kLongestReadDurationUs)
                        return Failure(Problem{line,
                                               "a duration is a number of microseconds "
                                               "from 1 to 10000000, not " +
                                                   std::string(word.substr(0, 20))});
                    raw->signal.durations.push_back(rawPulse ? static_cast<std::int32_t>(*us)
                                                             : -static_cast<std::int32_t>(*us));
                    rawPulse = !rawPulse;
                }
                break;
            }
        }
    }
    if (section != Section::kOutside)
        return Failure(Problem{
            static_cast<int>(lines.size()),
            "the file ends inside the remote that begins at line " + std::to_string(remote.line)});
    if (!anyRemote)
        return Failure(Problem{0, "the file holds no remote"});
    return buttons;
}

}  // namespace quorvel
