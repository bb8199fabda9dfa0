#pragma once
// "PROTOCOL NAME=VALUE... [--repeats N]": a protocol and its parameters as people type them,
// for irtool render, remote-sim send and remotectl program.

#include <map>
#include <string>
#include <vector>

#include "common/result.h"
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

enum class RequestRefusal {
    kNoProtocol,        // no words at all
    kUnknownProtocol,   // the first word names no protocol of the table
    kMalformed,         // a word that is not NAME=VALUE (decimal), or an option without value
    kNoSuchParameter,   // the protocol has no parameter of that name
    kOutOfRange,        // a value past what the protocol carries, or --repeats past its most
    kGivenTwice,        // a parameter or option given more than once
    kMissingParameter,  // a parameter the protocol cannot do without was left out
};

struct RequestProblem {
    RequestRefusal refusal = RequestRefusal::kMalformed;
    std::string text;  // the sentence for the command line, naming the word or parameter
};

// The request, or why it is refused. The device (D) and the function (F) must be given, and so
// must the sub-device (S) where the protocol has no rule of its own for it, and the vendor id
// (M, N) of the Kaseikyo family; the toggle (T) and the extra nibble (E) are 0 when left out.
Result<ProtocolRequest, RequestProblem> ParseProtocolRequest(const std::vector<std::string>& args);
// The same for a command line that took the protocol, its NAME=VALUE words and a repeat count
// (negative: the protocol's own) apart.
Result<ProtocolRequest, RequestProblem> ParseProtocolRequest(const std::string& protocol,
                                                             const std::vector<std::string>& params,
                                                             int repeats);

// Whether the protocol must be given parameter p (see ParseProtocolRequest).
bool ParameterRequired(const ProtocolDef& def, Param p);

// The table's protocol names, separated by blanks.
std::string ProtocolNames();

}  // namespace quorvel
