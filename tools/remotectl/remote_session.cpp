#include "tools/remotectl/remote_session.h"

#include <QString>
#include <algorithm>

#include "common/hex_digits.h"
#include "device/hex_fields.h"
#include "learning/remote_backup.h"

namespace {

const char* StartupProblem(StartupStatus status) {
    switch (status) {
        case StartupStatus::kReady:
            return "";
        case StartupStatus::kUnsupportedRemote:
            return "this remote is not one keylearn supports (version or model)";
        case StartupStatus::kFirmwareTooOld:
        case StartupStatus::kFirmwareProgramTooOld:
        case StartupStatus::kFirmwareVersionTooOld:
            return "the remote's firmware is too old for keylearn";
        case StartupStatus::kSoftwareTooOld:
            return "the remote's firmware is newer than this keylearn supports";
        case StartupStatus::kNoAnswer:
            return "the remote does not answer (check the USB cable)";
        case StartupStatus::kBadMemory:
            return "the remote's memory cannot be read as a keylearn remote";
    }
    return "the remote cannot be read";
}

}  // namespace

bool RemoteSession::Open(std::string& error) {
    if (!device_.IsAttached()) {
        error = "no remote is attached (check the USB cable, or start remote-sim serve)";
        return false;
    }
    reading_ = ReadRemoteAtStartup(device_);
    if (reading_.status != StartupStatus::kReady) {
        error = StartupProblem(reading_.status);
        return false;
    }
    // Start-up keeps only the identity of the info block; info shows the rest.
    const MemoryRead info = device_.ReadMemory(kInfoBlockAddress, kInfoBlockUnits, kStartupBank);
    const std::optional<InfoBlock> parsed =
        info.Succeeded() ? ParseInfoBlock(info.bytes) : std::nullopt;
    if (!parsed) {
        error = StartupProblem(StartupStatus::kNoAnswer);
        return false;
    }
    info_ = *parsed;
    version_ = device_.ReadVersion().value_or("");
    return true;
}

bool RemoteSession::Lock(std::string& error) {
    const RemoteLockStatus status =
        lock_.Take(QString::fromStdString(reading_.map.remoteIdText), QStringLiteral("remotectl"));
    if (status == RemoteLockStatus::kTaken)
        return true;
    if (status == RemoteLockStatus::kHeld) {
        const QString name =
            lock_.HolderName().isEmpty() ? QStringLiteral("another program") : lock_.HolderName();
        error = name.toStdString() + " is running";
        if (lock_.HolderProcess() > 0)
            error += " (process " + std::to_string(lock_.HolderProcess()) + ")";
        error += " and is using this remote; try again once it has ended";
    } else {
        error = "cannot lock the remote: " + lock_.Problem().toStdString();
    }
    return false;
}

std::string RemoteSession::ModelText() const {
    return hex::FormatDigits(info_.modelCode, 4);
}

std::optional<KeyCode> KeyCodeTyped(const std::string& text) {
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    const std::optional<int> value = HexNumber(text);
    if (!value)
        return std::nullopt;
    return static_cast<KeyCode>(*value);
}

std::string KeyCodeText(KeyCode code) {
    return hex::FormatDigits(code, 2);
}

RemoteBanks BanksForCheck(RemoteSession& session, const ManagedRegions& regions, bool& read) {
    RemoteBanks banks;
    const auto place = [&banks](int bank, MemoryAddress address, const MemoryBytes& bytes) {
        std::vector<std::uint8_t>& memory = banks[bank];
        memory.resize(kHighestAddress + 1, 0);
        const std::size_t length = std::min(bytes.size(), memory.size() - address);
        std::copy_n(bytes.begin(), length, memory.begin() + address);
    };
    const RemoteMap& map = session.Map();
    const MemoryRead config =
        session.Device().ReadMemory(kConfigBlockAddress, kConfigBlockUnits, kStartupBank);
    const MemoryRead directory =
        session.Device().ReadMemory(map.directoryAddress, kDirectoryBlockUnits, kStartupBank);
    read = config.Succeeded() && directory.Succeeded();
    if (!read)
        return banks;
    place(static_cast<int>(kStartupBank), kConfigBlockAddress, config.bytes);
    place(static_cast<int>(kStartupBank), map.directoryAddress, directory.bytes);
    for (const MemoryRegion& region : regions.regions)
        place(static_cast<int>(regions.bank), region.address, region.bytes);
    return banks;
}
