#include "converter/convert.h"

#include "converter/quorvel_record.h"

namespace quorvel {

std::string ConvertBody(std::string_view body) {
    const auto signal = ParseBody(body);
    if (!signal)
        return {};
    const auto record = ConvertSignal(*signal);
    return record ? FormatConvertedCode(*record) : std::string();
}

}  // namespace quorvel
