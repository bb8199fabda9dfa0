#pragma once
// Device entry points for start-up tests, with the DeviceLibrary over them that the window is
// given: an in-process simulated remote behind a layer that records every read, can keep the link
// down for the first few tests of it, and can change a read's answer (to give text a real remote
// never gives, such as non-hex characters).

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "sim/simulated_remote.h"

struct RecordedRead {
    int units;
    std::string high;
    std::string low;
    std::string bank;
    bool operator==(const RecordedRead&) const = default;
};

class StartupDevice final : public DeviceEntryPoints {
  public:
    explicit StartupDevice(RemoteImage image) : remote(std::move(image)) {}

    SimulatedRemote remote;
    // What the window is given.
    DeviceLibrary library{*this};
    std::vector<RecordedRead> reads;
    // link_state answers false this many times before asking the remote.
    int linkFailures = 0;
    // Called with the read's address and the buffer after a successful read.
    std::function<void(int address, char* buffer)> alterRead;

    bool link_state() override {
        if (linkFailures > 0) {
            --linkFailures;
            return false;
        }
        return remote.link_state();
    }
    bool ReadVersion(char* buffer) override { return remote.ReadVersion(buffer); }
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override {
        reads.push_back({unitCount, addressHigh, addressLow, memoryBank});
        const bool ok = remote.readdatav20(buffer, unitCount, addressHigh, addressLow, memoryBank);
        if (ok && alterRead)
            alterRead(std::stoi(std::string(addressHigh) + addressLow, nullptr, 16), buffer);
        return ok;
    }
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData) override {
        return remote.writedatav20(memoryBank, addressHigh, addressLow, hexData);
    }
    bool SetCodeCarrierWave() override { return remote.SetCodeCarrierWave(); }
    bool RCollectCodeInfo(char* buffer) override { return remote.RCollectCodeInfo(buffer); }
    bool RBasicInfo(char* buffer) override { return remote.RBasicInfo(buffer); }
    bool WCodeTypeData(const char* hexData) override { return remote.WCodeTypeData(hexData); }
};
