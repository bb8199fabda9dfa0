#pragma once
// The remote control as the device library sees it, in-process: the eight calls of zorvik.h
// over a RemoteImage, with the remote's plug state and capture mode, and the hooks tests need
// (faults, slow calls, inspection, the log of writes). remote-sim serves one of these over its
// socket; tests call it directly through SimulatedDevice.
//
// Capture: the remote's receiver listens only in capture mode. SetCodeCarrierWave enters it,
// empty (nothing from before is kept); a code that arrives meanwhile is held, a newer one
// replacing it, and RCollectCodeInfo hands it out once and so ends capture mode. Capture mode
// also ends once nobody has polled (RCollectCodeInfo) for a while, as after a program gave up
// waiting: a code that arrives outside capture mode is never captured, so no later capture is
// handed a stale one. Unplugging cuts the remote's power: capture mode ends and a held capture
// is lost, while memory stays.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/device_buffer_sizes.h"
#include "sim/remote_image.h"
#include "sim/remote_memory_layout.h"

enum class DeviceCall {
    kLinkState,
    kReadVersion,
    kReadData,
    kWriteData,
    kSetCodeCarrierWave,
    kCollectCodeInfo,
    kBasicInfo,
    kCodeTypeData,
};
inline constexpr int kDeviceCallCount = 8;

// One stored writedatav20 call, with the texts exactly as the caller passed them.
struct RemoteWrite {
    std::string bank;
    int address = 0;
    std::string data;
    bool operator==(const RemoteWrite&) const = default;
};

class SimulatedRemote {
  public:
    static constexpr std::size_t kVersionBufferSize = device_buffer::kVersionSize;
    static constexpr std::size_t kIdentityBufferSize = device_buffer::kIdentitySize;
    static constexpr std::size_t kCaptureBufferSize = device_buffer::kCaptureSize;
    static constexpr int kIdentityBank = remote_layout::kStartupBank;
    static constexpr int kIdentityAddress = remote_layout::kInfoAddress;
    static constexpr std::size_t kIdentityBytes = remote_layout::kIdentityBytes;
    static constexpr std::chrono::milliseconds kDefaultCollectWait{30};
    static constexpr std::chrono::milliseconds kDefaultCaptureIdleLimit{3000};

    // Called after each write has changed memory, with the new image; false undoes the write,
    // which then fails. It runs with the remote locked and must not call back into it.
    using WriteObserver = std::function<bool(const RemoteImage&)>;

    explicit SimulatedRemote(RemoteImage image);

    // The calls of zorvik.h, with the buffer sizes documented there.
    bool link_state();
    bool ReadVersion(char* buffer);
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank);
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData);
    bool SetCodeCarrierWave();
    bool RCollectCodeInfo(char* buffer);
    bool RBasicInfo(char* buffer);
    bool WCodeTypeData(const char* hexData);

    // The remote's life.
    void Plug();
    void Unplug();
    bool IsPlugged() const;
    // Answer RBasicInfo as another remote (30 hex characters); empty gives the remote's own
    // identity back.
    void SetIdentityOverride(const std::string& identity);
    // The identity RBasicInfo reports, or empty when the remote has no bank 08.
    std::string Identity() const;
    // A raw capture text arrives at the receiver; false (nothing captured) while unplugged or not
    // in capture mode, or for a text longer than the capture buffer or holding a zero byte.
    bool QueueCapture(const std::string& rawText);
    bool InCaptureMode() const;
    bool CapturePending() const;
    // How often capture mode has been entered: each entry is a new capture mode, even one
    // that starts while another is on.
    std::uint64_t CaptureModeEntries() const;
    // How long capture mode lasts without a poll (default 3 s).
    void SetCaptureIdleLimit(std::chrono::milliseconds limit);
    // How long RCollectCodeInfo waits for a capture before answering false (default 30 ms), so
    // that a caller polling without pause does not spin. remote-sim sets 0: its client waits.
    void SetCollectWait(std::chrono::milliseconds wait);
    void SetWriteObserver(WriteObserver observer);

    // The memory, version and identity override; replacing them is plugging in another remote
    // with the same plug state: capture mode ends and a held capture is lost.
    RemoteImage Image() const;
    void ReplaceImage(RemoteImage image);

    // Fault injection. Faults stay until cleared; a refused call changes nothing.
    // Refuses the n-th writedatav20 call from now on (1: the next one).
    void FailNthWrite(int n);
    // Stores the n-th writedatav20 call from now on but answers it as failed, as when its reply
    // is lost or comes after the caller gave up (1: the next one).
    void LoseNthWriteReply(int n);
    // Every writedatav20 call is stored at once but answered this much later, so that a caller
    // that gives up sooner has it land unconfirmed (remote-sim serve --write-reply-delay).
    void SetWriteReplyDelay(std::chrono::milliseconds delay);
    // Refuses every read that starts at the address, in any bank.
    void FailReadsAt(int address);
    // Refuses every call of one entry point.
    void FailCall(DeviceCall call);
    // Every call takes this long before it answers (the remote stays usable meanwhile).
    void SetCallDelay(std::chrono::milliseconds delay);
    void ClearFaults();

    // Inspection: memory as upper-case hex or bytes; empty when the range leaves the bank or
    // the bank does not exist.
    std::string MemoryHex(int bank, int address, int length) const;
    std::vector<std::uint8_t> MemoryBytes(int bank, int address, int length) const;
    // Calls made of an entry point, refused ones included.
    int CallCount(DeviceCall call) const;
    // The stored writes, in order.
    std::vector<RemoteWrite> Writes() const;
    void ClearCallLog();

  private:
    bool BeginCall(std::unique_lock<std::mutex>& lock, DeviceCall call);
    const std::vector<std::uint8_t>* FindBank(int bank) const;
    std::optional<std::string> IdentityLocked() const;
    bool CaptureDeliverable() const;
    // Whether capture mode is on now: entered, and polled within the idle limit.
    bool CaptureModeOn() const;
    // Ends a capture mode that lapsed, with what it held.
    void EndLapsedCaptureMode();

    // Guards every member below: the image, plug state, capture state, faults and logs. The
    // condition variable wakes an RCollectCodeInfo that waits for a capture.
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    RemoteImage image_;
    bool plugged_ = true;
    bool captureMode_ = false;
    std::uint64_t captureModeEntries_ = 0;
    std::chrono::steady_clock::time_point lastCapturePoll_{};
    std::chrono::milliseconds captureIdleLimit_ = kDefaultCaptureIdleLimit;
    std::optional<std::string> heldCapture_;
    std::chrono::milliseconds collectWait_ = kDefaultCollectWait;
    WriteObserver writeObserver_;
    int writeFaultCountdown_ = 0;
    int lostReplyCountdown_ = 0;
    std::chrono::milliseconds writeReplyDelay_{0};
    std::set<int> failingReadAddresses_;
    std::set<DeviceCall> failingCalls_;
    std::chrono::milliseconds callDelay_{0};
    int callCounts_[kDeviceCallCount] = {};
    std::vector<RemoteWrite> writes_;
};
