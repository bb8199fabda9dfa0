#pragma once
// Codes fired at a remote in tests and benchmarks, as the remote's receiver captures them: a
// protocol code as people name it, and a signal of no protocol, which is learned as raw timings.

#include <string>
#include <vector>

#include "converter/ir_render.h"
#include "converter/protocol_request.h"
#include "ircapture/ir_capture_text.h"

namespace fired_codes {

// The capture of a protocol code such as {"NEC1", "D=4", "F=8"}; empty for a request the
// converter does not know.
inline std::string ProtocolCapture(const std::vector<std::string>& request,
                                   const ir_capture::CaptureOptions& options = {}) {
    const auto parsed = quorvel::ParseProtocolRequest(request);
    if (!parsed)
        return {};
    const quorvel::Rendered signal = quorvel::Render(*parsed->def, parsed->params, 0);
    return ir_capture::CaptureText(signal.durations, signal.carrierHz, options).value_or("");
}

// The capture of a signal of no protocol the converter knows.
inline std::string RawCapture(const ir_capture::CaptureOptions& options = {}) {
    const quorvel::Durations odd = {3000, -1000, 500, -1500, 500,  -500, 1500, -500,
                                    500,  -1500, 500, -500,  1500, -500, 500,  -40000};
    return ir_capture::CaptureText(odd, 38000, options).value_or("");
}

}  // namespace fired_codes
