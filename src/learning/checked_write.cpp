#include "learning/checked_write.h"

#include <algorithm>

#include "device/device_library.h"

namespace {

constexpr long kAddressLimit = kHighestAddress + 1L;

}  // namespace

std::optional<MemoryBytes> ReadBytesAt(DeviceLibrary& device, MemoryAddress address,
                                       std::size_t length, MemoryBank bank) {
    if (length == 0)
        return MemoryBytes{};
    const long units = (static_cast<long>(length) + kUnitBytes - 1) / kUnitBytes;
    // Whole units past the end of memory cannot be read: a read that would run past it starts
    // early enough to end there.
    const long start = std::min<long>(address, kAddressLimit - units * kUnitBytes);
    if (start < 0 || address + static_cast<long>(length) > kAddressLimit)
        return std::nullopt;
    const MemoryRead read =
        device.ReadMemory(static_cast<MemoryAddress>(start), static_cast<int>(units), bank);
    const std::size_t skip = static_cast<std::size_t>(address - start);
    if (!read.Succeeded() || read.bytes.size() < skip + length)
        return std::nullopt;
    return MemoryBytes(read.bytes.begin() + static_cast<long>(skip),
                       read.bytes.begin() + static_cast<long>(skip + length));
}

CheckedWrite CheckLanded(DeviceLibrary& device, MemoryAddress address,
                         std::span<const std::uint8_t> bytes, MemoryBank bank) {
    std::optional<MemoryBytes> now = ReadBytesAt(device, address, bytes.size(), bank);
    if (!now)
        return {WriteLanding::kUnknown, {}};
    if (std::equal(now->begin(), now->end(), bytes.begin(), bytes.end()))
        return {WriteLanding::kLanded, {}};
    return {WriteLanding::kNotLanded, std::move(*now)};
}

CheckedWrite WriteChecked(DeviceLibrary& device, MemoryAddress address,
                          std::span<const std::uint8_t> bytes, MemoryBank bank) {
    if (device.WriteMemory(address, bytes, bank))
        return {WriteLanding::kLanded, {}};
    // An empty write stores nothing and says so: there is nothing to look for.
    if (bytes.empty())
        return {WriteLanding::kNotLanded, {}};
    return CheckLanded(device, address, bytes, bank);
}
