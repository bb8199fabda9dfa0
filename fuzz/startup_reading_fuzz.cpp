// libFuzzer target: whatever the remote's memory holds, the start-up reading ends in one of its
// outcomes, never in a crash, and a reading that says ready holds tables that agree with the
// counts it read.
//
// The input is a list of patches over a small remote that passes start-up: each patch is a
// 16-bit address (high byte first), a length byte and that many bytes. A last byte of 0xFF
// makes every answer of the memory lower-case, another of 0xFE puts a stray character into the
// answers, so that the hex edge is fuzzed too.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "device/remote_memory_map.h"
#include "device/startup_reading.h"

namespace {

constexpr int kInfo = kInfoBlockAddress;
constexpr int kConfig = kConfigBlockAddress;
constexpr int kDirectory = 0xB100;
constexpr int kKeyTable = 0xB200;
constexpr int kBuiltinList = 0xB400;
constexpr int kCodeTable = 0xB500;
constexpr int kCodeArea = 0xB600;

using Memory = std::array<std::uint8_t, 0x10000>;

void PutWord(Memory& memory, int address, int value) {
    memory[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value & 0xFF);
    memory[static_cast<std::size_t>(address) + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Model 7731, interface 1.3, two keys (one downloaded through code entry 0), four code entries,
// sixteen units of code area, one built-in code. Pointers are stored as absolute addresses
// (pointer bias 0).
Memory BaseRemote() {
    Memory memory{};
    for (int i = 0; i < 15; ++i)
        memory[kInfo + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x40 + i);
    memory[kInfo + 32] = 1;
    memory[kInfo + 33] = 3;
    memory[kInfo + 35] = 0x77;
    memory[kInfo + 36] = 0x31;
    PutWord(memory, kConfig, kDirectory);
    PutWord(memory, kConfig + 6, 0);
    memory[kConfig + 8] = static_cast<std::uint8_t>(kStartupBank);
    PutWord(memory, kDirectory, 2);
    memory[kDirectory + 7] = 4;
    PutWord(memory, kDirectory + 8, 16);
    PutWord(memory, kDirectory + 16, kKeyTable);
    PutWord(memory, kDirectory + 24, kBuiltinList);
    PutWord(memory, kDirectory + 26, kCodeTable);
    PutWord(memory, kDirectory + 28, kCodeArea);
    memory[kDirectory + 32] = 2;
    memory[kDirectory + 33] = 0x00;
    memory[kDirectory + 34] = 0x01;
    memory[kKeyTable] = 0x80;
    memory[kKeyTable + 2] = 0x80;
    PutWord(memory, kBuiltinList, 1);
    memory[kBuiltinList + 2] = 0x21;
    memory[kCodeTable] = 0xC0;  // units 0 and 1 in use
    const std::uint8_t entry[] = {0xA0, 0x12, 0x34, 0x00, 0x80, 0x02};
    std::memcpy(&memory[kCodeTable + 2], entry, sizeof entry);
    return memory;
}

int HexValue(const char* text) {
    return static_cast<int>(std::strtol(text, nullptr, 16));
}

// The remote's entry points over one bank of memory.
class FuzzedRemote final : public DeviceEntryPoints {
  public:
    FuzzedRemote(const Memory& memory, bool lowerCase, bool stray)
        : memory_(memory), lowerCase_(lowerCase), stray_(stray) {}

    bool link_state() override { return true; }
    bool ReadVersion(char* buffer) override {
        std::memcpy(buffer, "1020", 4);
        return true;
    }
    bool readdatav20(char* buffer, int32_t unitCount, const char* high, const char* low,
                     const char* bank) override {
        const int address = HexValue(high) * 256 + HexValue(low);
        if (std::strcmp(bank, "08") != 0 || unitCount < 1 || address + 8 * unitCount > 0x10000)
            return false;
        const char* digits = lowerCase_ ? "0123456789abcdef" : "0123456789ABCDEF";
        for (int i = 0; i < 8 * unitCount; ++i) {
            const std::uint8_t byte = memory_[static_cast<std::size_t>(address + i)];
            buffer[2 * i] = digits[byte >> 4];
            buffer[2 * i + 1] = digits[byte & 0xF];
        }
        if (stray_)
            buffer[16 * unitCount - 1] = 'G';
        return true;
    }
    bool writedatav20(const char*, const char*, const char*, const char*) override {
        std::abort();  // start-up never writes
    }
    bool SetCodeCarrierWave() override { return false; }
    bool RCollectCodeInfo(char*) override { return false; }
    bool RBasicInfo(char*) override { return false; }
    bool WCodeTypeData(const char*) override { return false; }

  private:
    const Memory& memory_;
    bool lowerCase_;
    bool stray_;
};

void Check(bool condition) {
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Memory kBase = BaseRemote();
    Memory memory = kBase;
    const bool lowerCase = size > 0 && data[size - 1] == 0xFF;
    const bool stray = size > 0 && data[size - 1] == 0xFE;
    std::size_t at = 0;
    while (at + 3 <= size) {
        const std::size_t address = static_cast<std::size_t>(data[at] << 8 | data[at + 1]);
        std::size_t length = data[at + 2];
        at += 3;
        length = std::min({length, size - at, memory.size() - address});
        std::memcpy(&memory[address], data + at, length);
        at += length;
    }
    FuzzedRemote remote(memory, lowerCase, stray);
    DeviceLibrary device(remote);
    const StartupReading reading = ReadRemoteAtStartup(device);
    // The unpatched remote passes, or the fuzzer would only ever see the first refusals.
    Check(size != 0 || reading.status == StartupStatus::kReady);
    if (reading.status != StartupStatus::kReady)
        return 0;
    const RemoteMap& map = reading.map;
    Check(map.keySlots.size() >= static_cast<std::size_t>(map.keyEntryCount));
    Check(map.codeTable.size() == static_cast<std::size_t>(map.codeTableCount));
    Check(map.codeAreaBitmap.UnitCount() == map.codeAreaUnits);
    return 0;
}
