#pragma once
// The parts of the remote's memory that learning changes (key table, code table with its
// bitmap, code area), read whole for a backup and put back whole by a restore. The restore
// writes in an order that keeps the remote consistent wherever it stops: the keys that point
// into the code table let go of it first, then the code area and the code table are replaced,
// and only then the key table, which points at them again.

#include <optional>
#include <string>
#include <vector>

#include "device/memory_address.h"

class DeviceLibrary;
struct RemoteMap;

// One stretch of memory in the remote's learning bank.
struct MemoryRegion {
    std::string name;  // "key-table", "code-table" or "code-area"
    MemoryAddress address = 0;
    MemoryBytes bytes;

    bool operator==(const MemoryRegion&) const = default;
};

inline constexpr char kKeyTableRegion[] = "key-table";
inline constexpr char kCodeTableRegion[] = "code-table";
inline constexpr char kCodeAreaRegion[] = "code-area";

// The three regions, in the order above.
struct ManagedRegions {
    MemoryBank bank{};
    std::vector<MemoryRegion> regions;

    const MemoryRegion* Find(const std::string& name) const;
    bool operator==(const ManagedRegions&) const = default;
};

// Where the three regions lie and how long they are, from the map; their bytes are empty.
ManagedRegions ManagedRegionLayout(const RemoteMap& map);

// Whether two sets of regions lie in the same bank at the same places with the same lengths.
bool SameLayout(const ManagedRegions& a, const ManagedRegions& b);

// The regions as the remote holds them now; none when a read is refused or not hex.
std::optional<ManagedRegions> ReadManagedRegions(const RemoteMap& map, DeviceLibrary& device);

enum class RestoreOutcome {
    kRestored,         // every region written and read back equal
    kUnchanged,        // the remote already held the backup: nothing written
    kOtherLayout,      // the regions lie elsewhere on this remote: nothing written
    kNotRead,          // the remote's regions could not be read first: nothing written
    kWriteRefused,     // a write was refused (and reads back otherwise); what was written keeps
                       // the remote consistent
    kReadBackDiffers,  // everything was written, but the remote reads back otherwise; or a write
                       // the remote did not confirm could not be read back (failedRegion)
};

struct RestoreResult {
    RestoreOutcome outcome = RestoreOutcome::kNotRead;
    int writes = 0;            // writes the remote took (confirmed, or read back as landed)
    std::string failedRegion;  // kWriteRefused, kReadBackDiffers: the region concerned
};

// Puts the regions of `target` back on the remote described by map. The map itself is not
// changed: read the remote again afterwards.
RestoreResult RestoreManagedRegions(const RemoteMap& map, DeviceLibrary& device,
                                    const ManagedRegions& target);
