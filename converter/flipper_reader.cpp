#include "converter/flipper_reader.h"

#include <cstdlib>
#include <set>

#include "converter/collection_protocols.h"
#include "converter/hex_text.h"

namespace quorvel {
namespace {

using Problem = CollectionProblem;

struct Field {
    std::string_view value;
    int line = 0;
};

// One signal's fields as they were read, before they are checked together.
struct SignalFields {
    std::string name;
    int line = 0;
    Field type, protocol, address, command, frequency, dutyCycle;
    std::vector<Field> data;
};

// Four bytes of two hex digits each, the first the lowest.
std::optional<std::uint32_t> LittleEndianBytes(std::string_view text) {
    const std::vector<std::string_view> bytes = Words(text);
    if (bytes.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto byte = bytes[i].size() == 2 ? ParseHexDigits(bytes[i]) : std::nullopt;
        if (!byte)
            return std::nullopt;
        value |= *byte << (8 * i);
    }
    return value;
}

bool IsDutyCycle(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    return !copy.empty() && end == copy.c_str() + copy.size() && value > 0 && value <= 1;
}

Result<CollectionButton, Problem> ParsedButton(const SignalFields& fields) {
    for (const auto& [field, what] :
         {std::pair{&fields.protocol, "protocol"}, std::pair{&fields.address, "address"},
          std::pair{&fields.command, "command"}}) {
        if (field->line == 0)
            return Failure(
                Problem{fields.line, "the parsed signal " + fields.name + " has no " + what});
    }
    CollectionButton button{fields.name, {}, fields.line, {}};
    const auto address = LittleEndianBytes(fields.address.value);
    if (!address)
        return Failure(Problem{fields.address.line,
                               "an address is four bytes of two hex digits (\"04 00 00 00\")"});
    const auto command = LittleEndianBytes(fields.command.value);
    if (!command)
        return Failure(Problem{fields.command.line,
                               "a command is four bytes of two hex digits (\"08 00 00 00\")"});
    const CollectionProtocol* row =
        FindCollectionProtocol(CollectionFormat::kFlipper, fields.protocol.value);
    if (!row) {
        button.signal.fileProtocol = std::string(fields.protocol.value);
        button.signal.unsendable =
            "the protocol " + button.signal.fileProtocol + " is not one the converter renders";
        return button;
    }
    Result<ButtonSignal> signal = FlipperSignal(*row, *address, *command);
    if (!signal)
        return Failure(Problem{fields.address.line, signal.Problem()});
    button.signal = std::move(*signal);
    return button;
}

Result<CollectionButton, Problem> RawButton(const SignalFields& fields) {
    if (fields.frequency.line == 0 || fields.data.empty())
        return Failure(Problem{fields.line,
                               "the raw signal " + fields.name + " needs its frequency and data"});
    if (fields.dutyCycle.line != 0 && !IsDutyCycle(fields.dutyCycle.value))
        return Failure(Problem{fields.dutyCycle.line,
                               "a duty cycle is a number above 0 and at most 1 (\"0.33\")"});
    const auto frequency = DecimalNumber(fields.frequency.value);
    if (!frequency)
        return Failure(Problem{fields.frequency.line, "a frequency is a number of hertz"});
    CollectionButton button{fields.name, {}, fields.line, {}};
    button.signal.kind = ButtonSignal::Kind::kTimings;
    button.signal.carrierHz = *frequency;
    bool mark = true;
    for (const Field& data : fields.data) {
        const std::vector<std::string_view> values = Words(data.value);
        if (values.empty())
            return Failure(Problem{data.line, "a data line holds no duration"});
        for (const std::string_view value : values) {
            const auto us = DecimalNumber(value);
            if (!us || *us == 0 || *us > kLongestReadDurationUs)
                return Failure(Problem{data.line,
                                       "a duration is a number of microseconds from 1 "
                                       "to 10000000, not " +
                                           std::string(value.substr(0, 20))});
            button.signal.durations.push_back(mark ? static_cast<std::int32_t>(*us)
                                                   : -static_cast<std::int32_t>(*us));
            mark = !mark;
        }
    }
    return button;
}

Result<CollectionButton, Problem> Button(const SignalFields& fields) {
    if (fields.type.line == 0)
        return Failure(Problem{fields.line, "the signal " + fields.name + " has no type"});
    if (fields.type.value == "parsed")
        return ParsedButton(fields);
    if (fields.type.value == "raw")
        return RawButton(fields);
    return Failure(Problem{fields.type.line, "a type is parsed or raw, not " +
                                                 std::string(fields.type.value.substr(0, 20))});
}

bool PrintableName(std::string_view name) {
    for (const char c : name) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return !name.empty();
}

}  // namespace

CollectionReading ReadFlipperFile(std::string_view text) {
    const std::vector<std::string_view> lines = TextLines(text);
    std::vector<CollectionButton> buttons;
    std::optional<SignalFields> current;
    int headerLines = 0;  // Filetype, then Version
    const auto finish = [&]() -> std::optional<Problem> {
        if (!current)
            return std::nullopt;
        Result<CollectionButton, Problem> button = Button(*current);
        current.reset();
        if (!button)
            return button.Problem();
        buttons.push_back(std::move(*button));
        return std::nullopt;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        const std::string_view line = Trimmed(lines[i]);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return Failure(Problem{lineNumber, "a line is \"key: value\""});
        const std::string_view key = Trimmed(line.substr(0, colon));
        const std::string_view value = Trimmed(line.substr(colon + 1));
        if (headerLines == 0) {
            if (key != "Filetype" || (value != "IR signals file" && value != "IR library file"))
                return Failure(Problem{lineNumber,
                                       "not a Flipper infrared file (its first line "
                                       "is \"Filetype: IR signals file\")"});
            ++headerLines;
            continue;
        }
        if (headerLines == 1) {
            if (key != "Version")
                return Failure(Problem{lineNumber, "the Filetype line is followed by Version"});
            if (value != "1")
                return Failure(Problem{lineNumber, "version " + std::string(value.substr(0, 20)) +
                                                       " of the file is not one this reader "
                                                       "knows (it reads version 1)"});
            ++headerLines;
            continue;
        }
        if (key == "name") {
            if (const auto problem = finish())
                return Failure(*problem);
            if (!PrintableName(value))
                return Failure(Problem{lineNumber, "a name is printable ASCII, and not empty"});
            current = SignalFields{std::string(value), lineNumber, {}, {}, {}, {}, {}, {}, {}};
            continue;
        }
        if (!current)
            return Failure(Problem{lineNumber, "a signal starts with its name"});
        Field* field = key == "type"         ? &current->type
                       : key == "protocol"   ? &current->protocol
                       : key == "address"    ? &current->address
                       : key == "command"    ? &current->command
                       : key == "frequency"  ? &current->frequency
                       : key == "duty_cycle" ? &current->dutyCycle
                                             : nullptr;
        if (key == "data") {
            current->data.push_back({value, lineNumber});
            continue;
        }
        if (!field)
            return Failure(Problem{lineNumber, "unknown key " + std::string(key.substr(0, 20))});
        if (field->line != 0)
            return Failure(
                Problem{lineNumber, std::string(key) + " given twice for " + current->name});
        *field = {value, lineNumber};
    }
    if (const auto problem = finish())
        return Failure(*problem);
    if (headerLines < 2)
        return Failure(Problem{0, "the file is empty or stops before its Version line"});
    return buttons;
}

}  // namespace quorvel
