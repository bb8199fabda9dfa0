// Placeholder until the socket client lands: every call fails, as with no remote attached.
#include "zorvik.h"

zorvik_bool link_state(void) {
    return 0;
}
zorvik_bool ReadVersion(char*) {
    return 0;
}
zorvik_bool readdatav20(char*, int32_t, const char*, const char*, const char*) {
    return 0;
}
zorvik_bool writedatav20(const char*, const char*, const char*, const char*) {
    return 0;
}
zorvik_bool SetCodeCarrierWave(void) {
    return 0;
}
zorvik_bool RCollectCodeInfo(char*) {
    return 0;
}
zorvik_bool RBasicInfo(char*) {
    return 0;
}
zorvik_bool WCodeTypeData(const char*) {
    return 0;
}
