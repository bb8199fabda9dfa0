#include "device/startup_reading.h"

#include <cctype>
#include <string_view>

#include "device/device_library.h"
#include "device/device_text.h"
#include "device/remote_memory_map.h"

namespace {

constexpr std::string_view kAcceptedVersionPrefix = "1020";
constexpr std::uint16_t kAcceptedModel = 0x7731;
constexpr std::uint16_t kTooOldModel = 0x8888;

bool VersionAccepted(const std::string& text) {
    if (text.size() < kAcceptedVersionPrefix.size())
        return false;
    for (std::size_t i = 0; i < kAcceptedVersionPrefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != kAcceptedVersionPrefix[i])
            return false;
    return true;
}

// The first compatibility check the info block fails, in the order the checks are made.
StartupStatus CheckCompatibility(const InfoBlock& info) {
    if (info.modelCode == kTooOldModel)
        return StartupStatus::kFirmwareTooOld;
    if (info.modelCode != kAcceptedModel)
        return StartupStatus::kUnsupportedRemote;
    if (info.major >= 2)
        return StartupStatus::kSoftwareTooOld;
    if (info.major < 1)
        return StartupStatus::kFirmwareProgramTooOld;
    if (info.minor > 3)
        return StartupStatus::kSoftwareTooOld;
    if (info.minor < 3)
        return StartupStatus::kFirmwareVersionTooOld;
    return StartupStatus::kReady;
}

// A refused read of the first two blocks is a remote that did not answer; memory that is not
// hex is memory this program cannot read, whichever block it is in.
StartupStatus FirstBlockFailure(const MemoryRead& read) {
    return read.status == ReadStatus::kNotHex ? StartupStatus::kBadMemory
                                              : StartupStatus::kNoAnswer;
}

class Reading {
  public:
    Reading(DeviceLibrary& device, StartupReading& reading) : device_(device), reading_(reading) {}

    StartupStatus CheckRemote();
    StartupStatus ReadTables();

  private:
    MemoryRead Read(int address, int units) {
        return device_.ReadMemory(static_cast<MemoryAddress>(address), units, kStartupBank);
    }

    DeviceLibrary& device_;
    StartupReading& reading_;
};

StartupStatus Reading::CheckRemote() {
    const std::optional<std::string> version = device_.ReadVersion();
    if (!version || !VersionAccepted(*version))
        return StartupStatus::kUnsupportedRemote;
    reading_.version = *version;

    const MemoryRead read = Read(kInfoBlockAddress, kInfoBlockUnits);
    if (!read.Succeeded())
        return FirstBlockFailure(read);
    const std::optional<InfoBlock> info = ParseInfoBlock(read.bytes);
    if (!info)
        return StartupStatus::kBadMemory;
    reading_.map.remoteIdText = info->identityText;
    reading_.info = *info;
    reading_.infoBlockRead = true;
    const StartupStatus compatibility = CheckCompatibility(*info);
    reading_.remoteAccepted = compatibility == StartupStatus::kReady;
    return compatibility;
}

StartupStatus Reading::ReadTables() {
    RemoteMap& map = reading_.map;
    const MemoryRead config = Read(kConfigBlockAddress, kConfigBlockUnits);
    if (!config.Succeeded())
        return FirstBlockFailure(config);
    if (!ParseConfigBlock(config.bytes, map))
        return StartupStatus::kBadMemory;

    const MemoryRead directory = Read(map.directoryAddress, kDirectoryBlockUnits);
    const std::optional<int> keyCodeCount =
        directory.Succeeded() ? ParseDirectoryBlock(directory.bytes, map) : std::nullopt;
    if (!keyCodeCount)
        return StartupStatus::kBadMemory;

    // The directory lies at most at FFFF, so the list's address stays within an int.
    const int keyCodeListAddress = map.directoryAddress + kKeyCodeListOffset;
    if (keyCodeListAddress > kHighestAddress)
        return StartupStatus::kBadMemory;
    const MemoryRead keyCodes = Read(keyCodeListAddress, kKeyCodeListUnits);
    if (!keyCodes.Succeeded() || !ParseKeyCodeList(keyCodes.bytes, *keyCodeCount, map))
        return StartupStatus::kBadMemory;

    const MemoryRead keyTable = Read(map.keyTableAddress, KeyTableReadUnits(map.keyEntryCount));
    if (!keyTable.Succeeded() || !ParseKeyTable(keyTable.bytes, map))
        return StartupStatus::kBadMemory;

    const MemoryRead codeTable =
        Read(map.codeTableAddress, CodeTableReadUnits(map.codeTableCount, map.codeAreaUnits));
    if (!codeTable.Succeeded() || !ParseCodeTable(codeTable.bytes, map))
        return StartupStatus::kBadMemory;
    reading_.codeTableReadText = HexBytesText(codeTable.bytes);

    const MemoryRead builtin = Read(map.builtinListAddress, kBuiltinListUnits);
    if (!builtin.Succeeded() || !ParseBuiltinCodeList(builtin.bytes, map))
        return StartupStatus::kBadMemory;
    return StartupStatus::kReady;
}

}  // namespace

StartupReading CheckRemoteAtStartup(DeviceLibrary& device) {
    StartupReading reading;
    reading.status = Reading(device, reading).CheckRemote();
    // Not ready yet: the tables are still to be read.
    reading.identityAccepted = reading.status == StartupStatus::kReady;
    if (reading.identityAccepted)
        reading.status = StartupStatus::kNoAnswer;
    return reading;
}

void ReadRemoteTables(DeviceLibrary& device, StartupReading& reading) {
    if (!reading.identityAccepted)
        return;
    reading.status = Reading(device, reading).ReadTables();
}

StartupReading ReadRemoteAtStartup(DeviceLibrary& device) {
    StartupReading reading = CheckRemoteAtStartup(device);
    ReadRemoteTables(device, reading);
    return reading;
}
