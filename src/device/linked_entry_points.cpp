#include "device/device_entry_points.h"

#include "zorvik.h"

bool LinkedEntryPoints::link_state() {
    return ::link_state() != 0;
}

bool LinkedEntryPoints::ReadVersion(char* buffer) {
    return ::ReadVersion(buffer) != 0;
}

bool LinkedEntryPoints::readdatav20(char* buffer, int32_t unitCount, const char* addressHigh,
                                    const char* addressLow, const char* memoryBank) {
    return ::readdatav20(buffer, unitCount, addressHigh, addressLow, memoryBank) != 0;
}

bool LinkedEntryPoints::writedatav20(const char* memoryBank, const char* addressHigh,
                                     const char* addressLow, const char* hexData) {
    return ::writedatav20(memoryBank, addressHigh, addressLow, hexData) != 0;
}

bool LinkedEntryPoints::SetCodeCarrierWave() {
    return ::SetCodeCarrierWave() != 0;
}

bool LinkedEntryPoints::RCollectCodeInfo(char* buffer) {
    return ::RCollectCodeInfo(buffer) != 0;
}

bool LinkedEntryPoints::RBasicInfo(char* buffer) {
    return ::RBasicInfo(buffer) != 0;
}

bool LinkedEntryPoints::WCodeTypeData(const char* hexData) {
    return ::WCodeTypeData(hexData) != 0;
}
