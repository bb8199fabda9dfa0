#include "device/device_library.h"

#include <algorithm>
#include <vector>

#include "device/device_entry_points.h"
#include "device/device_text.h"
#include "device/hex_fields.h"

namespace {

// The text a call left in its buffer, up to the buffer's zero fill (or its end).
std::string TextUpToZeroFill(const std::vector<char>& buffer) {
    return std::string(buffer.begin(), std::find(buffer.begin(), buffer.end(), '\0'));
}

}  // namespace

bool DeviceLibrary::IsAttached() {
    return entryPoints_.link_state();
}

std::optional<std::string> DeviceLibrary::ReadVersion() {
    std::vector<char> buffer(kVersionBufferSize, '\0');
    if (!entryPoints_.ReadVersion(buffer.data()))
        return std::nullopt;
    return TextUpToZeroFill(buffer);
}

MemoryRead DeviceLibrary::ReadMemory(MemoryAddress address, int unitCount, MemoryBank bank) {
    if (unitCount < 1 || unitCount > kMaxReadUnits)
        return {ReadStatus::kNotAsked, {}};
    std::vector<char> buffer(ReadBufferSize(unitCount), '\0');
    const AddressTexts at = FormatAddress(address);
    if (!entryPoints_.readdatav20(buffer.data(), unitCount, at.high.c_str(), at.low.c_str(),
                                  BankText(bank).c_str()))
        return {ReadStatus::kRefused, {}};
    // The answer is the first 16 characters per unit; a zero, a space or any other character
    // there is memory this program cannot read, never a number made up from it.
    std::optional<MemoryBytes> bytes = DecodeHexBytes(
        std::string_view(buffer.data(), kHexCharsPerUnit * static_cast<std::size_t>(unitCount)));
    if (!bytes)
        return {ReadStatus::kNotHex, {}};
    return {ReadStatus::kRead, std::move(*bytes)};
}

bool DeviceLibrary::WriteMemory(MemoryAddress address, std::span<const std::uint8_t> bytes,
                                MemoryBank bank) {
    const AddressTexts at = FormatAddress(address);
    return entryPoints_.writedatav20(BankText(bank).c_str(), at.high.c_str(), at.low.c_str(),
                                     HexBytesText(bytes).c_str());
}

bool DeviceLibrary::EnterCaptureMode() {
    return entryPoints_.SetCodeCarrierWave();
}

std::optional<std::string> DeviceLibrary::CollectCapture() {
    std::vector<char> buffer(kCaptureBufferSize, '\0');
    if (!entryPoints_.RCollectCodeInfo(buffer.data()))
        return std::nullopt;
    return DeviceBufferText(true, buffer.data(), buffer.size());
}

std::optional<std::string> DeviceLibrary::Identity() {
    std::vector<char> buffer(kIdentityBufferSize, '\0');
    if (!entryPoints_.RBasicInfo(buffer.data()))
        return std::nullopt;
    return TextUpToZeroFill(buffer);
}

bool DeviceLibrary::WriteCodeTypeData(std::span<const std::uint8_t> bytes) {
    return entryPoints_.WCodeTypeData(HexBytesText(bytes).c_str());
}
