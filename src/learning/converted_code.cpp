#include "learning/converted_code.h"

#include "device/hex_fields.h"

namespace {

constexpr std::string_view kAfterId = "::";
constexpr std::string_view kBetweenFields = ":";
constexpr std::string_view kBeforeData = ":::";

// The text before the first `separator`, which is cut off the front of `rest` with it.
std::optional<std::string_view> TakeUntil(std::string_view& rest, std::string_view separator) {
    const std::size_t at = rest.find(separator);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view piece = rest.substr(0, at);
    rest.remove_prefix(at + separator.size());
    return piece;
}

}  // namespace

std::optional<ConvertedCode> ParseConvertedCode(std::string_view result) {
    std::string_view rest = result;
    const auto id = TakeUntil(rest, kAfterId);
    const auto first = id ? TakeUntil(rest, kBetweenFields) : std::nullopt;
    const auto second = first ? TakeUntil(rest, kBeforeData) : std::nullopt;
    if (!second || id->size() != 6)
        return std::nullopt;
    const auto idBytes = DecodeHexBytes(*id);
    const auto firstBytes = DecodeHexBytes(*first);
    const auto secondBytes = DecodeHexBytes(*second);
    if (!idBytes || !firstBytes || !secondBytes ||
        firstBytes->size() + secondBytes->size() > kKeyEntryFieldBytes)
        return std::nullopt;
    ConvertedCode code;
    code.codeId = CodeId{{(*idBytes)[0], (*idBytes)[1], (*idBytes)[2]}};
    code.fields = *firstBytes;
    code.fields.insert(code.fields.end(), secondBytes->begin(), secondBytes->end());
    code.codeData = rest;
    return code;
}

int CodeUnitsFor(std::size_t dataBytes) {
    return static_cast<int>((dataBytes + kUnitBytes - 1) / kUnitBytes);
}

std::optional<MemoryBytes> CodeDataBytes(std::string_view codeData) {
    // Measured before it is decoded: a runaway converter must not make the program decode it.
    if (codeData.empty() || codeData.size() > 2u * kUnitBytes * kMostCodeUnits)
        return std::nullopt;
    return DecodeHexBytes(codeData);
}
