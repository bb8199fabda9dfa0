#pragma once
// A simulated remote as the program finds it after start-up: the in-process remote, the device
// library over it and the map that start-up read from it, with the call log cleared so that a
// test sees only the calls of the operation it drives. Also what every test of a change to the
// remote ends with: the remote keeps its invariants, and the tables the program keeps are what a
// fresh start-up would read from it.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "device/device_library.h"
#include "device/device_text.h"
#include "device/remote_map.h"
#include "device/remote_memory_map.h"
#include "device/startup_reading.h"
#include "learning/code_table.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"
#include "sim/simulated_remote.h"
#include "tests/support/simulated_device.h"

class StartedRemote {
  public:
    explicit StartedRemote(const RemoteImageBuilder& builder)
        : builder_(builder), remote_(builder.Build()), entryPoints_(remote_) {
        StartupReading startup = ReadRemoteAtStartup(device_);
        EXPECT_EQ(startup.status, StartupStatus::kReady);
        map = std::move(startup.map);
        remote_.ClearCallLog();
    }

    SimulatedRemote& Sim() { return remote_; }
    const SimulatedRemote& Sim() const { return remote_; }
    DeviceLibrary& Device() { return device_; }
    const RemoteImageBuilder& Builder() const { return builder_; }

    // The map a start-up would read from the remote now.
    RemoteMap ReadAgain() {
        SimulatedRemote copy(remote_.Image());
        SimulatedDevice entryPoints(copy);
        DeviceLibrary device(entryPoints);
        return ReadRemoteAtStartup(device).map;
    }

    // The remote's memory as upper-case hex: a key entry (its first `bytes` bytes), a
    // code-table entry, and the region at the code table (the bitmap bytes and every entry).
    std::string KeyEntryHex(int slot, int bytes = static_cast<int>(kKeyEntryBytes)) const {
        return remote_.MemoryHex(Bank(), builder_.KeyEntryAddress(slot), bytes);
    }
    std::string EntryHex(int index) const {
        return remote_.MemoryHex(Bank(), BitmapEnd() + kEntryBytes * index, kEntryBytes);
    }
    std::string RegionHex() const {
        return remote_.MemoryHex(
            Bank(), map.codeTableAddress,
            BitmapEnd() - map.codeTableAddress + kEntryBytes * map.codeTableCount);
    }

    // From now on refuses the writes whose numbers are listed (1: the next write), and keeps
    // the memory after every write that took: what the remote would hold had the program
    // stopped right there.
    void WatchWrites(std::set<int> refused = {}) {
        remote_.SetWriteObserver([this, refused, calls = 0](const RemoteImage& image) mutable {
            if (refused.count(++calls) != 0)
                return false;
            imagesAfterWrites_.push_back(image);
            return true;
        });
    }
    const std::vector<RemoteImage>& ImagesAfterWrites() const { return imagesAfterWrites_; }

    RemoteMap map;

  private:
    static constexpr int kEntryBytes = static_cast<int>(kCodeEntryBytes);

    int Bank() const { return static_cast<int>(map.memoryBank); }
    int BitmapEnd() const {
        return map.codeTableAddress + CodeAreaBitmap::ByteCount(map.codeAreaUnits);
    }

    RemoteImageBuilder builder_;
    SimulatedRemote remote_;
    SimulatedDevice entryPoints_;
    DeviceLibrary device_{entryPoints_};
    std::vector<RemoteImage> imagesAfterWrites_;
};

// What every change to the remote ends with: the remote keeps its invariants, and the program's
// tables are what a start-up would read from it now.
inline void ExpectConsistentAndInStep(StartedRemote& r) {
    EXPECT_EQ(CheckCodeTableConsistent(r.Sim().Image()), "");
    EXPECT_EQ(HexBytesText(CodeTableRegionBytes(r.map)), r.RegionHex());
    const RemoteMap fresh = r.ReadAgain();
    ASSERT_EQ(fresh.keySlots.size(), r.map.keySlots.size());
    for (std::size_t i = 0; i < fresh.keySlots.size(); ++i) {
        // Start-up does not learn which id a direct entry names, and reads the two bytes after
        // an entry index that learning leaves unrecorded; everything else it reads back.
        KeySlot mine = r.map.keySlots[i];
        mine.learnedCodeId.reset();
        if (mine.holding == CodeHolding::kCodeTable && !mine.afterIndex)
            mine.afterIndex = fresh.keySlots[i].afterIndex;
        // A key whose code was taken off records nothing ("02|0"), where start-up records an
        // empty entry as naming no code ("02|0|0|"): both say the key holds none.
        if (mine.state == SlotState::kEmpty && mine.holding == CodeHolding::kNotRecorded)
            mine.holding = fresh.keySlots[i].holding;
        EXPECT_EQ(SlotText(mine), SlotText(fresh.keySlots[i])) << "slot " << i;
    }
}
