#include "converter/protocol_csv_reader.h"

#include <algorithm>
#include <cctype>

#include "converter/collection_protocols.h"
#include "converter/protocol_request.h"

namespace quorvel {
namespace {

using Problem = CollectionProblem;

constexpr std::string_view kColumns[] = {"functionname", "protocol", "device", "subdevice",
                                         "function"};

// The fields of one line; none when a quote is left open.
std::optional<std::vector<std::string>> Fields(std::string_view line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (quoted)
        return std::nullopt;
    for (std::string& field : fields)
        field = std::string(Trimmed(field));
    return fields;
}

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

Result<CollectionButton, Problem> Button(const std::vector<std::string>& fields, int line) {
    if (fields[0].empty())
        return Failure(Problem{line, "a button's name is empty"});
    CollectionButton button{fields[0], {}, line, {}};
    button.signal.fileProtocol = fields[1];
    const std::optional<std::uint32_t> device = DecimalNumber(fields[2]);
    const std::optional<std::uint32_t> function = DecimalNumber(fields[4]);
    const bool noSubdevice = fields[3] == "-1" || fields[3].empty();
    const std::optional<std::uint32_t> subdevice =
        noSubdevice ? std::optional<std::uint32_t>(0) : DecimalNumber(fields[3]);
    if (!device || !function || !subdevice)
        return Failure(Problem{line,
                               "device, subdevice and function are decimal numbers "
                               "(subdevice -1 for none)"});
    const CollectionProtocol* row =
        FindCollectionProtocol(CollectionFormat::kProtocolCsv, fields[1]);
    if (!row) {
        button.signal.unsendable =
            "the protocol " + fields[1].substr(0, 30) + " is not one the converter renders";
        return button;
    }
    const ProtocolDef& def = *FindProtocol(row->converterName);
    if (def.HasParam(Param::kM)) {
        button.signal.unsendable =
            def.name + " needs its vendor id, for which the CSV has no column";
        return button;
    }
    std::array<bool, kParamCount> given{};
    Params params;
    const auto set = [&](Param p, std::uint32_t value,
                         const char* column) -> std::optional<Problem> {
        if (value > def.MaxValue(p))
            return Problem{line, std::string(column) + " " + std::to_string(value) + " is past " +
                                     def.name + "'s most, " + std::to_string(def.MaxValue(p))};
        params[p] = value;
        given[static_cast<std::size_t>(p)] = true;
        return std::nullopt;
    };
    if (auto problem = set(Param::kD, *device, "device"))
        return Failure(*problem);
    if (auto problem = set(Param::kF, *function, "function"))
        return Failure(*problem);
    if (!noSubdevice && def.HasParam(Param::kS)) {
        if (auto problem = set(Param::kS, *subdevice, "subdevice"))
            return Failure(*problem);
    } else if (noSubdevice && ParameterRequired(def, Param::kS)) {
        return Failure(Problem{line, def.name + " needs a subdevice"});
    }
    ApplyDefaults(def, params, given);
    button.signal.kind = ButtonSignal::Kind::kProtocol;
    button.signal.protocol = &def;
    button.signal.params = params;
    return button;
}

}  // namespace

CollectionReading ReadProtocolCsv(std::string_view text) {
    std::vector<CollectionButton> buttons;
    const std::vector<std::string_view> lines = TextLines(text);
    bool header = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        if (Trimmed(lines[i]).empty())
            continue;
        const auto fields = Fields(lines[i]);
        if (!fields)
            return Failure(Problem{line, "a quote is left open"});
        if (fields->size() != std::size(kColumns))
            return Failure(Problem{line,
                                   "a line has five fields: functionname, protocol, "
                                   "device, subdevice, function"});
        if (!header) {
            for (std::size_t c = 0; c < std::size(kColumns); ++c) {
                if (!SameWord((*fields)[c], kColumns[c]))
                    return Failure(Problem{line,
                                           "the first line is the header "
                                           "functionname,protocol,device,subdevice,function"});
            }
            header = true;
            continue;
        }
        Result<CollectionButton, Problem> button = Button(*fields, line);
        if (!button)
            return Failure(button.Problem());
        buttons.push_back(std::move(*button));
    }
    if (!header)
        return Failure(Problem{0, "the file is empty"});
    return buttons;
}

}  // namespace quorvel
