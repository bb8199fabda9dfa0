#pragma once
// "PROTOCOL NAME=VALUE... [--repeats N]": a protocol and its parameters as people type them,
// for irtool render and remote-sim send.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "converter/ir_protocol.h"

namespace quorvel {

struct ProtocolRequest {
    const ProtocolDef* def = nullptr;
    Params params;  // the protocol's defaults where none was given
    int repeats = 0;
    // Further "--NAME VALUE" options, for the caller to read.
    std::map<std::string, std::string> options;
};

inline constexpr int kMaxRequestedRepeats = 100;

// Nothing, with the reason in error, for an unknown protocol or parameter, a value past what the
// protocol carries, or a malformed argument.
std::optional<ProtocolRequest> ParseProtocolRequest(const std::vector<std::string>& args,
                                                    std::string& error);

// The table's protocol names, separated by blanks.
std::string ProtocolNames();

}  // namespace quorvel
