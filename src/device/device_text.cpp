#include "device/device_text.h"

#include "common/hex_digits.h"

std::size_t ReadBufferSize(int unitCount) {
    const std::size_t needed =
        kHexCharsPerUnit * static_cast<std::size_t>(unitCount < 0 ? 0 : unitCount) +
        kHexCharsPerUnit;
    for (const std::size_t size :
         {device_buffer::kSmallReadSize, device_buffer::kReadSize, device_buffer::kLargeReadSize})
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
    // At least `digits` digits: as many more as the value needs.
    int width = digits;
    while (width < 8 && (value >> (4 * width)) != 0)
        ++width;
    return hex::FormatDigits(value, width);
}

AddressTexts FormatAddress(MemoryAddress address) {
    const std::string four = HexText(address, 4);
    return {four.substr(0, 2), four.substr(2, 2)};
}

std::string HexBytesText(std::span<const std::uint8_t> bytes) {
    return hex::FormatBytes(bytes);
}

std::string BankText(MemoryBank bank) {
    return HexText(static_cast<unsigned>(bank), 2);
}
