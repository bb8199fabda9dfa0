#include "learning/remote_backup.h"

#include <algorithm>
#include <span>

#include "device/device_library.h"
#include "device/remote_map.h"
#include "learning/checked_write.h"

namespace {

int UnitsFor(std::size_t bytes) {
    return static_cast<int>((bytes + kUnitBytes - 1) / kUnitBytes);
}

std::optional<MemoryBytes> ReadRegion(const MemoryRegion& region, MemoryBank bank,
                                      DeviceLibrary& device) {
    if (region.bytes.empty())
        return MemoryBytes{};
    const MemoryRead read = device.ReadMemory(region.address, UnitsFor(region.bytes.size()), bank);
    if (!read.Succeeded() || read.bytes.size() < region.bytes.size())
        return std::nullopt;
    return MemoryBytes(read.bytes.begin(),
                       read.bytes.begin() + static_cast<long>(region.bytes.size()));
}

// The key table with every key that points into the code table holding no code.
MemoryBytes KeysLetGoOfCodeTable(MemoryBytes keyTable) {
    for (std::size_t at = 0; at + kKeyEntryBytes <= keyTable.size(); at += kKeyEntryBytes) {
        const auto entry = std::span(keyTable).subspan(at).first<kKeyEntryBytes>();
        if (KeyEntryFromBytes(entry).HoldsTableCode())
            entry[0] = kNoCodeStatus;  // the status byte
    }
    return keyTable;
}

}  // namespace

const MemoryRegion* ManagedRegions::Find(const std::string& name) const {
    const auto it = std::find_if(regions.begin(), regions.end(),
                                 [&name](const MemoryRegion& r) { return r.name == name; });
    return it == regions.end() ? nullptr : &*it;
}

ManagedRegions ManagedRegionLayout(const RemoteMap& map) {
    const auto length = [](int bytes) {
        return MemoryBytes(static_cast<std::size_t>(std::max(bytes, 0)), 0);
    };
    const int bitmapBytes = CodeAreaBitmap::ByteCount(map.codeAreaUnits);
    ManagedRegions layout;
    layout.bank = map.memoryBank;
    layout.regions = {
        {kKeyTableRegion, map.keyTableAddress,
         length(static_cast<int>(kKeyEntryBytes) * map.keyEntryCount)},
        {kCodeTableRegion, map.codeTableAddress,
         length(bitmapBytes + static_cast<int>(kCodeEntryBytes) * map.codeTableCount)},
        {kCodeAreaRegion, map.codeAreaAddress, length(kUnitBytes * map.codeAreaUnits)},
    };
    return layout;
}

bool SameLayout(const ManagedRegions& a, const ManagedRegions& b) {
    if (a.bank != b.bank || a.regions.size() != b.regions.size())
        return false;
    for (std::size_t i = 0; i < a.regions.size(); ++i) {
        const MemoryRegion& x = a.regions[i];
        const MemoryRegion& y = b.regions[i];
        if (x.name != y.name || x.address != y.address || x.bytes.size() != y.bytes.size())
            return false;
    }
    return true;
}

std::optional<ManagedRegions> ReadManagedRegions(const RemoteMap& map, DeviceLibrary& device) {
    ManagedRegions regions = ManagedRegionLayout(map);
    for (MemoryRegion& region : regions.regions) {
        std::optional<MemoryBytes> bytes = ReadRegion(region, regions.bank, device);
        if (!bytes)
            return std::nullopt;
        region.bytes = std::move(*bytes);
    }
    return regions;
}

RestoreResult RestoreManagedRegions(const RemoteMap& map, DeviceLibrary& device,
                                    const ManagedRegions& target) {
    RestoreResult result;
    if (!SameLayout(ManagedRegionLayout(map), target)) {
        result.outcome = RestoreOutcome::kOtherLayout;
        return result;
    }
    const std::optional<ManagedRegions> current = ReadManagedRegions(map, device);
    if (!current) {
        result.outcome = RestoreOutcome::kNotRead;
        return result;
    }
    if (*current == target) {
        result.outcome = RestoreOutcome::kUnchanged;
        return result;
    }
    const MemoryRegion& keys = *target.Find(kKeyTableRegion);
    const MemoryRegion& table = *target.Find(kCodeTableRegion);
    const MemoryRegion& area = *target.Find(kCodeAreaRegion);
    MemoryBytes keysNow = current->Find(kKeyTableRegion)->bytes;

    // Writes a region's bytes unless the remote holds them already; false when refused. A
    // write the remote does not confirm is read back: one that landed is as good as confirmed,
    // and the next step is never taken on a guess.
    const auto write = [&](const MemoryRegion& region, const MemoryBytes& bytes,
                           const MemoryBytes& now) {
        if (bytes == now || bytes.empty())
            return true;
        switch (WriteChecked(device, region.address, bytes, target.bank).landing) {
            case WriteLanding::kLanded:
                ++result.writes;
                return true;
            case WriteLanding::kNotLanded:
                result.outcome = RestoreOutcome::kWriteRefused;
                break;
            case WriteLanding::kUnknown:
                result.outcome = RestoreOutcome::kReadBackDiffers;
                break;
        }
        result.failedRegion = region.name;
        return false;
    };

    // While the code area and table change under them, no key may point into the table: a
    // stop in between leaves keys without their codes, never a key at a free entry or at data
    // that is not its own. Running the restore again puts them back.
    const bool tablesChange = current->Find(kCodeTableRegion)->bytes != table.bytes ||
                              current->Find(kCodeAreaRegion)->bytes != area.bytes;
    if (tablesChange) {
        const MemoryBytes detached = KeysLetGoOfCodeTable(keysNow);
        if (!write(keys, detached, keysNow))
            return result;
        keysNow = detached;
    }
    if (!write(area, area.bytes, current->Find(kCodeAreaRegion)->bytes) ||
        !write(table, table.bytes, current->Find(kCodeTableRegion)->bytes) ||
        !write(keys, keys.bytes, keysNow))
        return result;

    const std::optional<ManagedRegions> after = ReadManagedRegions(map, device);
    if (!after) {
        result.outcome = RestoreOutcome::kReadBackDiffers;
        return result;
    }
    for (std::size_t i = 0; i < target.regions.size(); ++i) {
        if (after->regions[i] != target.regions[i]) {
            result.outcome = RestoreOutcome::kReadBackDiffers;
            result.failedRegion = target.regions[i].name;
            return result;
        }
    }
    result.outcome = RestoreOutcome::kRestored;
    return result;
}
