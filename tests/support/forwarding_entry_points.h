#pragma once
// Entry points that pass every call on to others: the base of test doubles that change one
// call of a working device (a capture of zero bytes, the k-th call refused) and leave the rest.

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

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

// Lets one write land but keeps the caller from learning so: the k-th write from when it is
// armed (counted over every thread) is stored, yet answered as failed, as when its reply is
// lost or says failed although the remote stored the bytes, or it lands only after the caller
// gave up on it (just before the next call reaches the device, as on a link that keeps the
// order of its requests). Optionally the next read, which a careful caller makes to learn what
// became of the write, is refused too: then the outcome cannot be learned at all.
class UnconfirmedWriteEntryPoints final : public ForwardingEntryPoints {
  public:
    enum class Reply {
        kAnsweredFailed,  // stored, and answered as failed (a lost or wrong reply)
        kLate,            // answered as failed at once, stored before the next call
    };

    explicit UnconfirmedWriteEntryPoints(DeviceEntryPoints& inner) : ForwardingEntryPoints(inner) {}

    // Write number `k` from now on (1: the next one); 0 leaves every write alone.
    void Arm(int k, Reply reply, bool refuseNextRead = false) {
        const std::lock_guard lock(mutex_);
        writes_ = 0;
        armed_ = k;
        reply_ = reply;
        refuseNextRead_ = refuseNextRead;
        readRefusalDue_ = false;
    }
    // Whether the armed write has happened.
    bool Struck() const {
        const std::lock_guard lock(mutex_);
        return armed_ > 0 && writes_ >= armed_;
    }

    bool link_state() override { return BeforeCall() && ForwardingEntryPoints::link_state(); }
    bool ReadVersion(char* buffer) override {
        return BeforeCall() && ForwardingEntryPoints::ReadVersion(buffer);
    }
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override {
        if (!BeforeCall())
            return false;
        {
            const std::lock_guard lock(mutex_);
            if (std::exchange(readRefusalDue_, false))
                return false;
        }
        return ForwardingEntryPoints::readdatav20(buffer, unitCount, addressHigh, addressLow,
                                                  memoryBank);
    }
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData) override {
        if (!BeforeCall())
            return false;
        bool strike = false;
        {
            const std::lock_guard lock(mutex_);
            strike = armed_ > 0 && ++writes_ == armed_;
            if (strike) {
                readRefusalDue_ = refuseNextRead_;
                if (reply_ == Reply::kLate) {
                    late_ = LateWrite{memoryBank, addressHigh, addressLow, hexData};
                    return false;
                }
            }
        }
        const bool stored =
            ForwardingEntryPoints::writedatav20(memoryBank, addressHigh, addressLow, hexData);
        return stored && !strike;
    }
    bool SetCodeCarrierWave() override {
        return BeforeCall() && ForwardingEntryPoints::SetCodeCarrierWave();
    }
    bool RCollectCodeInfo(char* buffer) override {
        return BeforeCall() && ForwardingEntryPoints::RCollectCodeInfo(buffer);
    }
    bool RBasicInfo(char* buffer) override {
        return BeforeCall() && ForwardingEntryPoints::RBasicInfo(buffer);
    }
    bool WCodeTypeData(const char* hexData) override {
        return BeforeCall() && ForwardingEntryPoints::WCodeTypeData(hexData);
    }

  private:
    struct LateWrite {
        std::string bank, high, low, data;
    };

    // A late write reaches the device before whatever comes next; always true.
    bool BeforeCall() {
        std::optional<LateWrite> late;
        {
            const std::lock_guard lock(mutex_);
            late = std::exchange(late_, std::nullopt);
        }
        if (late)
            ForwardingEntryPoints::writedatav20(late->bank.c_str(), late->high.c_str(),
                                                late->low.c_str(), late->data.c_str());
        return true;
    }

    // Guards every member below: calls come from the UI thread, the capture thread and the link
    // monitor.
    mutable std::mutex mutex_;
    int writes_ = 0;
    int armed_ = 0;
    Reply reply_ = Reply::kAnsweredFailed;
    bool refuseNextRead_ = false;
    bool readRefusalDue_ = false;
    std::optional<LateWrite> late_;
};
