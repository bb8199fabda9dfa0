#pragma once
// What a key of a remote sends, read from the remote's memory the way its firmware reads it:
// the key's entry names a code directly (a protocol the remote knows, with the parameters in
// the entry) or points at a code entry whose code data lies in the code area.

#include <optional>
#include <string>

#include "converter/ir_render.h"
#include "sim/remote_image.h"

namespace ir_capture {

struct KeyReplay {
    int slot = -1;
    std::string state;     // "empty", "downloaded", "learned"
    std::string form;      // "direct" or "code entry NN"
    std::string codeId;    // six hex digits
    std::string protocol;  // "NEC1 D=4 S=251 F=8", or "raw" for a timing record
    std::optional<quorvel::Rendered> signal;
    std::string problem;  // why nothing can be sent, when signal is empty
};

// Nothing when the remote has no key of that code or its memory map cannot be read.
std::optional<KeyReplay> ReplayKey(const RemoteImage& image, int keyCode);

// Several lines for a person: the key, its code and what it sends, in microseconds.
std::string DescribeReplay(int keyCode, const KeyReplay& replay);

}  // namespace ir_capture
