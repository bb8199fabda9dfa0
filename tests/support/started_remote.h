#pragma once
// A simulated remote as the program finds it after start-up: the in-process remote, the device
// library over it and the map that start-up read from it, with the call log cleared so that a
// test sees only the calls of the operation it drives. Also how the program's map compares
// with what a fresh start-up would read: the tables the program keeps must follow the remote.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "device/device_library.h"
#include "device/remote_map.h"
#include "device/startup_reading.h"
#include "sim/remote_image_builder.h"
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

    RemoteMap map;

  private:
    RemoteImageBuilder builder_;
    SimulatedRemote remote_;
    SimulatedDevice entryPoints_;
    DeviceLibrary device_{entryPoints_};
};
