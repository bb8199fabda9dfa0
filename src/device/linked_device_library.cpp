#include "device_library.h"

#include "zorvik.h"

bool LinkedDeviceLibrary::link_state() {
    return ::link_state() != 0;
}

bool LinkedDeviceLibrary::ReadVersion(char* buffer) {
    return ::ReadVersion(buffer) != 0;
}

bool LinkedDeviceLibrary::readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                                      const char* addressLow, const char* memoryBank) {
    return ::readdatav20(buffer, unitCount, addressHigh, addressLow, memoryBank) != 0;
}

bool LinkedDeviceLibrary::writedatav20(const char* memoryBank, const char* addressHigh,
                                       const char* addressLow, const char* hexData) {
    return ::writedatav20(memoryBank, addressHigh, addressLow, hexData) != 0;
}

bool LinkedDeviceLibrary::SetCodeCarrierWave() {
    return ::SetCodeCarrierWave() != 0;
}

bool LinkedDeviceLibrary::RCollectCodeInfo(char* buffer) {
    return ::RCollectCodeInfo(buffer) != 0;
}

bool LinkedDeviceLibrary::RBasicInfo(char* buffer) {
    return ::RBasicInfo(buffer) != 0;
}

bool LinkedDeviceLibrary::WCodeTypeData(const char* hexData) {
    return ::WCodeTypeData(hexData) != 0;
}
