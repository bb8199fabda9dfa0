#include "device_text.h"

#include <cstdio>
#include <vector>

#include "device_library.h"

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

AddressTexts FormatAddress(int address) {
    const std::string four = HexText(static_cast<unsigned>(address) & 0xFFFFu, 4);
    return {four.substr(0, 2), four.substr(2, 2)};
}

std::string ReadUnitsText(DeviceLibrary& device, int address, int unitCount,
                          const std::string& memoryBank, std::size_t bufferSize) {
    if (address < 0 || address > 0xFFFF || unitCount < 1 ||
        static_cast<std::size_t>(unitCount) * kHexCharsPerUnit > bufferSize)
        return {};
    std::vector<char> buffer(bufferSize, '\0');
    const AddressTexts at = FormatAddress(address);
    const bool ok = device.readdatav20(buffer.data(), unitCount, at.high.c_str(), at.low.c_str(),
                                       memoryBank.c_str());
    return DeviceBufferText(ok, buffer.data(), buffer.size());
}

bool WriteHexText(DeviceLibrary& device, int address, const std::string& memoryBank,
                  const std::string& hexData) {
    if (address < 0 || address > 0xFFFF)
        return false;
    const AddressTexts at = FormatAddress(address);
    return device.writedatav20(memoryBank.c_str(), at.high.c_str(), at.low.c_str(),
                               hexData.c_str());
}
