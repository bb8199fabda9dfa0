#include "converter/code_collection.h"

#include <algorithm>
#include <cctype>

#include "converter/flipper_reader.h"
#include "converter/lircd_reader.h"
#include "converter/pronto_list_reader.h"
#include "converter/protocol_csv_reader.h"

namespace quorvel {
namespace {

bool Blank(char c) {
    return c == ' ' || c == '\t';
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

// The first line that holds more than blanks or a comment.
std::string_view FirstMeaningfulLine(std::string_view text) {
    for (const std::string_view line : TextLines(text)) {
        const std::string_view trimmed = Trimmed(line);
        if (!trimmed.empty() && trimmed[0] != '#')
            return trimmed;
    }
    return {};
}

}  // namespace

std::string ProblemText(const CollectionProblem& problem) {
    if (problem.line <= 0)
        return problem.text;
    return "line " + std::to_string(problem.line) + ": " + problem.text;
}

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && Blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && Blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && Blank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !Blank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

std::optional<std::uint32_t> DecimalNumber(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

std::optional<CollectionFormat> DetectCollectionFormat(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    const std::string_view first = FirstMeaningfulLine(text);
    if (first.empty())
        return std::nullopt;
    if (StartsWithIgnoringCase(first, "Filetype:"))
        return CollectionFormat::kFlipper;
    if (StartsWithIgnoringCase(first, "begin remote"))
        return CollectionFormat::kLircd;
    if (StartsWithIgnoringCase(first, "functionname,"))
        return CollectionFormat::kProtocolCsv;
    if (LooksLikeProntoLine(first))
        return CollectionFormat::kProntoList;
    return std::nullopt;
}

std::optional<CollectionFormat> CollectionFormatNamed(std::string_view name) {
    for (const CollectionFormat format :
         {CollectionFormat::kFlipper, CollectionFormat::kLircd, CollectionFormat::kProtocolCsv,
          CollectionFormat::kProntoList}) {
        if (name == CollectionFormatName(format))
            return format;
    }
    return std::nullopt;
}

const char* CollectionFormatName(CollectionFormat format) {
    switch (format) {
        case CollectionFormat::kFlipper:
            return "flipper";
        case CollectionFormat::kLircd:
            return "lirc";
        case CollectionFormat::kProtocolCsv:
            return "csv";
        case CollectionFormat::kProntoList:
            return "pronto";
    }
    return "";
}

CollectionReading ReadCollection(std::string_view text, CollectionFormat format) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    switch (format) {
        case CollectionFormat::kFlipper:
            return ReadFlipperFile(text);
        case CollectionFormat::kLircd:
            return ReadLircdFile(text);
        case CollectionFormat::kProtocolCsv:
            return ReadProtocolCsv(text);
        case CollectionFormat::kProntoList:
            return ReadProntoList(text);
    }
    return Failure(CollectionProblem{0, "unknown format"});
}

std::optional<Rendered> RenderButton(const ButtonSignal& signal) {
    switch (signal.kind) {
        case ButtonSignal::Kind::kProtocol:
            // The protocol's own repeat count, as remotectl program renders it: a button gives
            // a key the record programming its protocol gives.
            return Render(*signal.protocol, signal.params, signal.protocol->defaultRepeats);
        case ButtonSignal::Kind::kTimings: {
            Rendered rendered;
            rendered.durations = signal.durations;
            rendered.leadIn.assign(signal.durations.size(), false);
            rendered.frameStarts = {0};
            rendered.carrierHz = signal.carrierHz;
            return rendered;
        }
        case ButtonSignal::Kind::kUnsendable:
            break;
    }
    return std::nullopt;
}

}  // namespace quorvel
