#include "converter/protocol_request.h"

#include <array>
#include <cctype>
#include <optional>
#include <utility>

namespace quorvel {
namespace {

std::optional<std::uint32_t> ParseDecimal(const std::string& text) {
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0xFFFFFFFFu)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<Param> ParamNamed(const std::string& name) {
    if (name.size() != 1)
        return std::nullopt;
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    for (int p = 0; p < kParamCount; ++p) {
        if (kParamNames[p] == upper)
            return static_cast<Param>(p);
    }
    return std::nullopt;
}

}  // namespace

std::string ProtocolNames() {
    std::string names;
    for (const ProtocolDef& def : ProtocolTable())
        names += (names.empty() ? "" : " ") + def.name;
    return names;
}

bool ParameterRequired(const ProtocolDef& def, Param p) {
    if (!def.HasParam(p))
        return false;
    switch (p) {
        case Param::kD:
        case Param::kF:
        case Param::kM:
        case Param::kN:
            return true;
        case Param::kS:
            // The NEC family takes 255 - D, MCE its own default; elsewhere S says which device.
            return !def.subDeviceIsNotDevice && def.defaultSubDevice == 0;
        case Param::kT:
        case Param::kE:
            return false;
    }
    return false;
}

Result<ProtocolRequest, RequestProblem> ParseProtocolRequest(const std::vector<std::string>& args) {
    const auto refuse = [](RequestRefusal refusal, std::string text) {
        return Failure(RequestProblem{refusal, std::move(text)});
    };
    if (args.empty())
        return refuse(RequestRefusal::kNoProtocol, "a protocol is needed: " + ProtocolNames());
    ProtocolRequest request;
    request.def = FindProtocol(args[0]);
    if (!request.def)
        return refuse(RequestRefusal::kUnknownProtocol,
                      "unknown protocol " + args[0] + "; known: " + ProtocolNames());
    const ProtocolDef& def = *request.def;
    request.repeats = def.defaultRepeats;
    std::array<bool, kParamCount> given{};
    bool repeatsGiven = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= args.size())
                return refuse(RequestRefusal::kMalformed, arg + " needs a value");
            const std::string& value = args[++i];
            if ((arg == "--repeats" && repeatsGiven) || request.options.count(arg) > 0)
                return refuse(RequestRefusal::kGivenTwice, arg + " is given twice");
            if (arg != "--repeats") {
                request.options[arg] = value;
                continue;
            }
            const auto repeats = ParseDecimal(value);
            if (!repeats || *repeats > kMaxRequestedRepeats)
                return refuse(RequestRefusal::kOutOfRange,
                              "--repeats takes 0 to " + std::to_string(kMaxRequestedRepeats));
            request.repeats = static_cast<int>(*repeats);
            repeatsGiven = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const auto param =
            equals == std::string::npos ? std::nullopt : ParamNamed(arg.substr(0, equals));
        const auto value =
            equals == std::string::npos ? std::nullopt : ParseDecimal(arg.substr(equals + 1));
        if (!param || !value)
            return refuse(RequestRefusal::kMalformed,
                          "expected NAME=VALUE (D, S, F, T, E, M, N; decimal), not " + arg);
        const std::string name(1, kParamNames[static_cast<int>(*param)]);
        if (!def.HasParam(*param))
            return refuse(RequestRefusal::kNoSuchParameter, def.name + " has no parameter " + name);
        if (*value > def.MaxValue(*param))
            return refuse(RequestRefusal::kOutOfRange, def.name + " takes " + name + " from 0 to " +
                                                           std::to_string(def.MaxValue(*param)));
        // A second value is a typing slip more often than a change of mind: neither is taken.
        if (given[static_cast<int>(*param)])
            return refuse(RequestRefusal::kGivenTwice, name + " is given twice");
        request.params[*param] = *value;
        given[static_cast<int>(*param)] = true;
    }
    std::string missing;
    std::string needed;
    for (int p = 0; p < kParamCount; ++p) {
        if (!ParameterRequired(def, static_cast<Param>(p)))
            continue;
        const std::string name(1, kParamNames[p]);
        needed += (needed.empty() ? "" : " ") + name + "=...";
        if (!given[p])
            missing += (missing.empty() ? "" : ", ") + name;
    }
    if (!missing.empty())
        return refuse(RequestRefusal::kMissingParameter,
                      def.name + " needs " + needed + "; missing: " + missing);
    ApplyDefaults(def, request.params, given);
    return request;
}

Result<ProtocolRequest, RequestProblem> ParseProtocolRequest(const std::string& protocol,
                                                             const std::vector<std::string>& params,
                                                             int repeats) {
    std::vector<std::string> words{protocol};
    words.insert(words.end(), params.begin(), params.end());
    if (repeats >= 0)
        words.insert(words.end(), {"--repeats", std::to_string(repeats)});
    return ParseProtocolRequest(words);
}

}  // namespace quorvel
