#pragma once
// The device library's entry points in tests: every call goes straight to an in-process
// SimulatedRemote, so a test drives the program's code (through a DeviceLibrary over these)
// against a remote it states in a few lines and then looks at what was written.

#include "device/device_entry_points.h"
#include "sim/simulated_remote.h"

class SimulatedDevice final : public DeviceEntryPoints {
  public:
    explicit SimulatedDevice(SimulatedRemote& remote) : remote_(remote) {}

    bool link_state() override { return remote_.link_state(); }
    bool ReadVersion(char* buffer) override { return remote_.ReadVersion(buffer); }
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override {
        return remote_.readdatav20(buffer, unitCount, addressHigh, addressLow, memoryBank);
    }
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData) override {
        return remote_.writedatav20(memoryBank, addressHigh, addressLow, hexData);
    }
    bool SetCodeCarrierWave() override { return remote_.SetCodeCarrierWave(); }
    bool RCollectCodeInfo(char* buffer) override { return remote_.RCollectCodeInfo(buffer); }
    bool RBasicInfo(char* buffer) override { return remote_.RBasicInfo(buffer); }
    bool WCodeTypeData(const char* hexData) override { return remote_.WCodeTypeData(hexData); }

    SimulatedRemote& Remote() { return remote_; }

  private:
    SimulatedRemote& remote_;
};
