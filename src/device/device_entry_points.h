#pragma once
// The eight entry points of the remote's device library (zorvik.h) as a C++ interface, so that
// the typed face above them (DeviceLibrary) runs over the linked library in the program and over
// the in-process simulated remote in tests. Nothing but DeviceLibrary calls these.

#include <cstdint>

class DeviceEntryPoints {
  public:
    virtual ~DeviceEntryPoints() = default;

    // Each call means exactly what the entry point of the same name in zorvik.h means: buffers
    // are the caller's, zero-filled, and the library is not told their size.
    virtual bool link_state() = 0;
    virtual bool ReadVersion(char* buffer) = 0;
    virtual bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                             const char* addressLow, const char* memoryBank) = 0;
    virtual bool writedatav20(const char* memoryBank, const char* addressHigh,
                              const char* addressLow, const char* hexData) = 0;
    virtual bool SetCodeCarrierWave() = 0;
    virtual bool RCollectCodeInfo(char* buffer) = 0;
    virtual bool RBasicInfo(char* buffer) = 0;
    virtual bool WCodeTypeData(const char* hexData) = 0;
};

// The library linked at load time (libzorvik, or the vendor's zorvik.dll on Windows).
class LinkedEntryPoints final : public DeviceEntryPoints {
  public:
    bool link_state() override;
    bool ReadVersion(char* buffer) override;
    bool readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                     const char* addressLow, const char* memoryBank) override;
    bool writedatav20(const char* memoryBank, const char* addressHigh, const char* addressLow,
                      const char* hexData) override;
    bool SetCodeCarrierWave() override;
    bool RCollectCodeInfo(char* buffer) override;
    bool RBasicInfo(char* buffer) override;
    bool WCodeTypeData(const char* hexData) override;
};
