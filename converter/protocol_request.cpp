#include "converter/protocol_request.h"

#include <cctype>

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

std::optional<ProtocolRequest> ParseProtocolRequest(const std::vector<std::string>& args,
                                                    std::string& error) {
    if (args.empty()) {
        error = "a protocol is needed: " + ProtocolNames();
        return std::nullopt;
    }
    ProtocolRequest request;
    request.def = FindProtocol(args[0]);
    if (!request.def) {
        error = "unknown protocol " + args[0] + "; known: " + ProtocolNames();
        return std::nullopt;
    }
    request.repeats = request.def->defaultRepeats;
    std::array<bool, kParamCount> given{};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) == 0) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg != "--repeats") {
                request.options[arg] = value;
                continue;
            }
            const auto repeats = ParseDecimal(value);
            if (!repeats || *repeats > kMaxRequestedRepeats) {
                error = "--repeats takes 0 to " + std::to_string(kMaxRequestedRepeats);
                return std::nullopt;
            }
            request.repeats = static_cast<int>(*repeats);
            continue;
        }
        const std::size_t equals = arg.find('=');
        const auto param =
            equals == std::string::npos ? std::nullopt : ParamNamed(arg.substr(0, equals));
        const auto value =
            equals == std::string::npos ? std::nullopt : ParseDecimal(arg.substr(equals + 1));
        if (!param || !value) {
            error = "expected NAME=VALUE (D, S, F, T, E, M, N; decimal), not " + arg;
            return std::nullopt;
        }
        if (!request.def->HasParam(*param) || *value > request.def->MaxValue(*param)) {
            error = request.def->HasParam(*param)
                        ? request.def->name + " takes " + arg.substr(0, equals) + " from 0 to " +
                              std::to_string(request.def->MaxValue(*param))
                        : request.def->name + " has no parameter " + arg.substr(0, equals);
            return std::nullopt;
        }
        request.params[*param] = *value;
        given[static_cast<int>(*param)] = true;
    }
    ApplyDefaults(*request.def, request.params, given);
    return request;
}

}  // namespace quorvel
