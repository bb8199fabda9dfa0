#pragma once
// The ioctl calls of a LIRC device, behind a seam: the device layer decides what to ask of a
// device from its features, and a test answers in place of a device it does not have.

#include <cstdint>

namespace lirc {

class DeviceControl {
  public:
    virtual ~DeviceControl() = default;

    struct Answer {
        int errorNumber = 0;  // 0: answered; else the errno of the refusal
        std::uint32_t value = 0;
    };
    // A request that reads a value (LIRC_GET_FEATURES, LIRC_GET_MIN_TIMEOUT, ...).
    virtual Answer Get(unsigned long request) = 0;
    // A request that sets one (LIRC_SET_REC_MODE, ...): 0, or the errno of the refusal.
    virtual int Set(unsigned long request, std::uint32_t value) = 0;
};

// The real calls on an open descriptor (not owned).
class SystemDeviceControl final : public DeviceControl {
  public:
    explicit SystemDeviceControl(int fd) : fd_(fd) {}
    Answer Get(unsigned long request) override;
    int Set(unsigned long request, std::uint32_t value) override;

  private:
    int fd_;
};

}  // namespace lirc
