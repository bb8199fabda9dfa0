#include "converter/pronto_list_reader.h"

#include "converter/hex_text.h"
#include "converter/signal_text.h"

namespace quorvel {
namespace {

constexpr std::uint32_t kLearned = 0x0000;
constexpr std::uint32_t kUnmodulated = 0x0100;
constexpr std::uint32_t kRc5 = 0x5000;
constexpr std::uint32_t kRc5x = 0x5001;
constexpr std::uint32_t kRc6 = 0x6000;
constexpr std::uint32_t kNec = 0x900A;

std::optional<std::vector<std::uint32_t>> HexWords(std::string_view text) {
    std::vector<std::uint32_t> words;
    for (const std::string_view word : Words(text)) {
        const auto value = word.size() == 4 ? ParseHexDigits(word) : std::nullopt;
        if (!value)
            return std::nullopt;
        words.push_back(*value);
    }
    return words;
}

bool KnownLead(std::uint32_t word) {
    return word == kLearned || word == kUnmodulated || word == kRc5 || word == kRc5x ||
           word == kRc6 || word == kNec;
}

Result<ButtonSignal> Protocol(const char* name,
                              std::initializer_list<std::pair<Param, std::uint32_t>> values) {
    const ProtocolDef* def = FindProtocol(name);
    ButtonSignal signal;
    signal.kind = ButtonSignal::Kind::kProtocol;
    signal.protocol = def;
    signal.fileProtocol = name;
    for (const auto& [param, value] : values) {
        if (value > def->MaxValue(param))
            return Failure(std::string(name) + "'s " +
                           kParamNames[static_cast<std::size_t>(param)] + " is at most " +
                           std::to_string(def->MaxValue(param)) + ", not " + std::to_string(value));
        signal.params[param] = value;
    }
    return signal;
}

// The name and the code of a line: split at its tab, or else at its first blank.
std::pair<std::string_view, std::string_view> NameAndCode(std::string_view line) {
    std::size_t split = line.find('\t');
    if (split == std::string_view::npos)
        split = line.find(' ');
    if (split == std::string_view::npos)
        return {line, {}};
    return {Trimmed(line.substr(0, split)), Trimmed(line.substr(split + 1))};
}

}  // namespace

Result<ButtonSignal> ParseProntoCode(std::string_view text) {
    const auto words = HexWords(text);
    if (!words || words->size() < 6 || (*words)[2] + (*words)[3] == 0)
        return Failure(
            std::string("a Pronto code is words of four hex digits: the form, the "
                        "carrier, the two pair counts, then the pairs"));
    const std::vector<std::uint32_t>& w = *words;
    const std::size_t pairs = w[2] + w[3];
    if (w.size() != 4 + 2 * pairs)
        return Failure("the Pronto code holds " + std::to_string(w.size() - 4) +
                       " words after its counts, which call for " + std::to_string(2 * pairs));
    switch (w[0]) {
        case kLearned:
        case kUnmodulated: {
            std::string learned(text);
            if (w[0] == kUnmodulated)
                learned = "0000" + std::string(Trimmed(text).substr(4));
            const std::optional<TextSignal> parsed = ParsePronto(learned);
            if (!parsed)
                return Failure(
                    std::string("a learned Pronto code has a carrier word and no "
                                "duration of 0"));
            ButtonSignal signal;
            signal.kind = ButtonSignal::Kind::kTimings;
            signal.durations = parsed->durations;
            // Pronto's unmodulated form keeps the clock word for its durations' unit only.
            signal.carrierHz = w[0] == kUnmodulated ? 0 : parsed->carrierHz;
            return signal;
        }
        case kRc5:
            if (w.size() != 6)
                return Failure(
                    std::string("Pronto's RC5 form is 5000, a carrier, 0000 0001, the "
                                "device and the function"));
            return Protocol("RC5", {{Param::kD, w[4]}, {Param::kF, w[5]}});
        case kRc5x:
            if (w.size() != 8)
                return Failure(
                    std::string("Pronto's RC5x form is 5001, a carrier, 0000 0002, the "
                                "device, the function, the data and 0000"));
            return Protocol("RC5x", {{Param::kD, w[4]}, {Param::kS, w[5]}, {Param::kF, w[6]}});
        case kRc6:
            if (w.size() != 6)
                return Failure(
                    std::string("Pronto's RC6 form is 6000, a carrier, 0000 0001, the "
                                "device and the function"));
            return Protocol("RC6", {{Param::kD, w[4]}, {Param::kF, w[5]}});
        case kNec: {
            if (w.size() != 6)
                return Failure(
                    std::string("Pronto's NEC form is 900A, a carrier, 0000 0001, the "
                                "device and sub-device, the function and its "
                                "complement"));
            const std::uint32_t function = w[5] >> 8;
            if ((w[5] & 0xFF) != (~function & 0xFF))
                return Failure(
                    std::string("Pronto's NEC form holds the function followed by its "
                                "complement"));
            return Protocol(
                "NEC1", {{Param::kD, w[4] >> 8}, {Param::kS, w[4] & 0xFF}, {Param::kF, function}});
        }
        default:
            break;
    }
    return Failure(
        std::string("not a Pronto form this reader knows (0000, 0100, 5000, 5001, "
                    "6000, 900A)"));
}

bool LooksLikeProntoLine(std::string_view line) {
    const auto [name, code] = NameAndCode(Trimmed(line));
    const auto words = HexWords(code);
    return !name.empty() && words && words->size() >= 6 && KnownLead((*words)[0]);
}

CollectionReading ReadProntoList(std::string_view text) {
    std::vector<CollectionButton> buttons;
    const std::vector<std::string_view> lines = TextLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        const std::string_view trimmed = Trimmed(lines[i]);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        const auto [name, code] = NameAndCode(trimmed);
        if (code.empty())
            return Failure(CollectionProblem{line, "a line is a name, a tab and a Pronto code"});
        Result<ButtonSignal> signal = ParseProntoCode(code);
        if (!signal)
            return Failure(CollectionProblem{line, signal.Problem()});
        buttons.push_back({std::string(name), {}, line, std::move(*signal)});
    }
    return buttons;
}

}  // namespace quorvel
