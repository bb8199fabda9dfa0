// libFuzzer target: any capture buffer cuts and normalises to a text or to nothing, and a
// normalised code always has a four-character carrier field and a body of whole groups.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "learning/normalise.h"

namespace {

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CheckCode(std::string_view input) {
    const auto code = NormaliseRawCodeParts(input);
    if (!code)
        return;
    Check(code->frameCount >= 1);
    Check(code->carrierField.size() == 4);
    Check(code->body.size() % 4 == 0);
    for (const char c : code->carrierField + code->body)
        Check(IsUpperHex(c));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const std::string cut = CutAtEndMarker(raw);
    Check(cut == kNoEndMarkerText || cut.find(kEndMarker) != std::string::npos);
    CheckCode(cut);
    CheckCode(raw);  // the walk also meets texts that were never cut
    return 0;
}
