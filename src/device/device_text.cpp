#include "device_text.h"

#include <cstdio>

std::size_t ReadBufferSize(int unitCount) {
    const std::size_t needed =
        kHexCharsPerUnit * static_cast<std::size_t>(unitCount < 0 ? 0 : unitCount) +
        kHexCharsPerUnit;
    for (const std::size_t size : {512u, 1024u, 2048u})
        if (needed <= size)
            return size;
    return needed;
}

std::string DeviceBufferText(bool succeeded, const char* buffer, std::size_t size) {
    if (!succeeded || buffer == nullptr)
        return {};
    return std::string(buffer, size);
}

std::string HexText(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

AddressTexts FormatAddress(MemoryAddress address) {
    const std::string four = HexText(address, 4);
    return {four.substr(0, 2), four.substr(2, 2)};
}

std::string HexBytesText(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * bytes.size());
    for (const std::uint8_t byte : bytes) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

std::string BankText(MemoryBank bank) {
    return HexText(static_cast<unsigned>(bank), 2);
}
