#include "converter/quorvel.h"

#include <cstring>
#include <string>

#include "converter/convert.h"

extern "C" QUORVEL_API const char* QUORVEL_CALL ConvertCode(const char* input, int32_t mode) {
    // Each thread owns its result, so concurrent callers never see each other's text.
    thread_local std::string result;
    result.clear();
    if (input == nullptr || mode != QUORVEL_MODE)
        return result.c_str();
    // A body longer than any capture is refused before it is even measured in full.
    const std::size_t length = strnlen(input, quorvel::kMaxBodyLength + 1);
    try {
        result = quorvel::ConvertBody(std::string_view(input, length));
    } catch (...) {
        // Only allocation can fail in there; the caller gets the plain "cannot convert".
        result.clear();
    }
    return result.c_str();
}
