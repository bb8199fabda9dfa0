#include "tools/remotectl/command_session.h"

#include <algorithm>

#include "common/hex_digits.h"
#include "device/hex_fields.h"
#include "device/remote_memory_map.h"
#include "tools/remotectl/commands.h"

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

SessionOptions CommandOptions() {
    SessionOptions options;
    options.holderName = QStringLiteral("remotectl");
    // A command that changes the remote never does so unlocked.
    options.lockRequired = true;
    return options;
}

}  // namespace

CommandSession::CommandSession() : device_(entryPoints_), session_(device_, CommandOptions()) {
    session_.SetQuestions(this);
}

CommandSession::~CommandSession() {
    session_.SetQuestions(nullptr);
}

std::string CommandSession::ModelText() const {
    const std::optional<InfoBlock>& info = opening_.reading.info;
    return info ? hex::FormatDigits(info->modelCode, 4) : std::string();
}

std::optional<std::string> CommandSession::Open(LockMode lockMode) {
    if (!session_.RemoteAttached())
        return "no remote is attached (check the USB cable, or start remote-sim serve)";
    opening_ = session_.Open(lockMode);
    switch (opening_.status) {
        case RemoteOpening::Status::kOpened:
            return std::nullopt;
        case RemoteOpening::Status::kNotAccepted:
            return StartupProblem(opening_.reading.status);
        case RemoteOpening::Status::kLockHeld: {
            const QString& holder = opening_.holderName;
            std::string text =
                (holder.isEmpty() ? std::string("another program") : holder.toStdString()) +
                " is running";
            if (opening_.holderProcess > 0)
                text += " (process " + std::to_string(opening_.holderProcess) + ")";
            return text + " and is using this remote; try again once it has ended";
        }
        case RemoteOpening::Status::kLockUnavailable:
            return "cannot lock the remote: " + opening_.lockProblem.toStdString();
    }
    return "the remote cannot be read";
}

std::unique_ptr<CommandSession> OpenRemote(LockMode lockMode, std::optional<KeyCode> key) {
    auto command = std::make_unique<CommandSession>();
    if (const std::optional<std::string> problem = command->Open(lockMode)) {
        Fail(*problem);
        return nullptr;
    }
    if (!key)
        return command;
    for (const KeySlot& slot : command->Map().keySlots) {
        if (slot.keyCode == *key)
            return command;
    }
    Fail("the remote has no key " + KeyCodeText(*key));
    return nullptr;
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

std::optional<RemoteBanks> BanksForCheck(CommandSession& session, const ManagedRegions& regions) {
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
    if (!config.Succeeded() || !directory.Succeeded())
        return std::nullopt;
    place(static_cast<int>(kStartupBank), kConfigBlockAddress, config.bytes);
    place(static_cast<int>(kStartupBank), map.directoryAddress, directory.bytes);
    for (const MemoryRegion& region : regions.regions)
        place(static_cast<int>(regions.bank), region.address, region.bytes);
    return banks;
}
