#pragma once
// Entry points that pass every call on to others: the base of test doubles that change one
// call of a working device (a capture of zero bytes, the k-th call refused) and leave the rest.

#include <atomic>

#include "device/device_entry_points.h"

class ForwardingEntryPoints : public DeviceEntryPoints {
  public:
    explicit ForwardingEntryPoints(DeviceEntryPoints& inner) : inner_(inner) {}

    bool link_state() override { return inner_.link_state(); }
    bool ReadVersion(char* buffer) override { return inner_.ReadVersion(buffer); }
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override {
        return inner_.readdatav20(buffer, unitCount, addressHigh, addressLow, memoryBank);
    }
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData) override {
        return inner_.writedatav20(memoryBank, addressHigh, addressLow, hexData);
    }
    bool SetCodeCarrierWave() override { return inner_.SetCodeCarrierWave(); }
    bool RCollectCodeInfo(char* buffer) override { return inner_.RCollectCodeInfo(buffer); }
    bool RBasicInfo(char* buffer) override { return inner_.RBasicInfo(buffer); }
    bool WCodeTypeData(const char* hexData) override { return inner_.WCodeTypeData(hexData); }

  private:
    DeviceEntryPoints& inner_;
};

// Refuses one call, the k-th from when it is armed (counted over every entry point and
// thread), and passes every other call on. Unarmed it only counts.
class RefusingEntryPoints final : public DeviceEntryPoints {
  public:
    explicit RefusingEntryPoints(DeviceEntryPoints& inner) : inner_(inner) {}

    // Refuses call number `k` from now on (1: the next one); 0 refuses none.
    void Arm(int k) {
        calls_ = 0;
        refused_ = k;
    }
    int Calls() const { return calls_; }
    bool Refused() const { return refused_ > 0 && calls_ >= refused_; }

    bool link_state() override { return Pass() && inner_.link_state(); }
    bool ReadVersion(char* buffer) override { return Pass() && inner_.ReadVersion(buffer); }
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override {
        return Pass() && inner_.readdatav20(buffer, unitCount, addressHigh, addressLow, memoryBank);
    }
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData) override {
        return Pass() && inner_.writedatav20(memoryBank, addressHigh, addressLow, hexData);
    }
    bool SetCodeCarrierWave() override { return Pass() && inner_.SetCodeCarrierWave(); }
    bool RCollectCodeInfo(char* buffer) override {
        return Pass() && inner_.RCollectCodeInfo(buffer);
    }
    bool RBasicInfo(char* buffer) override { return Pass() && inner_.RBasicInfo(buffer); }
    bool WCodeTypeData(const char* hexData) override {
        return Pass() && inner_.WCodeTypeData(hexData);
    }

  private:
    bool Pass() { return ++calls_ != refused_; }

    DeviceEntryPoints& inner_;
    // Calls come from the UI thread, the capture thread and the link monitor.
    std::atomic<int> calls_{0};
    std::atomic<int> refused_{0};
};
