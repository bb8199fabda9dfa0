#include "tools/remotectl/command_session.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

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

SessionOptions CommandOptions(std::chrono::seconds lockWait) {
    SessionOptions options;
    options.holderName = QStringLiteral("remotectl");
    options.lockWait = lockWait;
    return options;
}

// Whether a character may reach a terminal as it is: no C0 or C1 control, no DEL, none of the
// marks that reorder or hide the text after them.
bool Printable(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return false;
    if ((c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
        (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF)
        return false;
    return true;
}

std::string HexEscape(char32_t c) {
    char text[16];
    if (c < 0x100)
        std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned>(c));
    else
        std::snprintf(text, sizeof text, "\\u{%04X}", static_cast<unsigned>(c));
    return text;
}

}  // namespace

void AddLockWaitOption(CLI::App& command, int& seconds) {
    command
        .add_option("--wait", seconds,
                    "seconds to wait while another remotectl is changing the remote (default " +
                        std::to_string(kDefaultLockWaitSeconds) +
                        "); keylearn's window is never waited for")
        ->check(CLI::Range(0, kLongestLockWaitSeconds));
}

std::string EscapedForTerminal(const QString& text) {
    std::string shown;
    for (const char32_t c : text.toUcs4()) {
        if (c == U'\\')
            shown += "\\\\";
        else if (!Printable(c))
            shown += HexEscape(c);
        else
            shown += QString::fromUcs4(&c, 1).toStdString();
    }
    return shown;
}

CommandSession::CommandSession(std::chrono::seconds lockWait)
    : lockWait_(lockWait), device_(entryPoints_), session_(device_, CommandOptions(lockWait)) {
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
                holder.isEmpty() ? std::string("another program") : EscapedForTerminal(holder);
            if (opening_.holderProcess > 0)
                text += " (process " + std::to_string(opening_.holderProcess) + ")";
            if (holder == kWindowHolderName)
                return text + " is running and is using this remote; try again once it has ended";
            return text + " has been changing this remote for more than " +
                   std::to_string(lockWait_.count()) +
                   " s; try again, or wait longer with --wait SECONDS";
        }
        case RemoteOpening::Status::kLockUnavailable:
            return "cannot lock the remote, so nothing is changed: " +
                   EscapedForTerminal(opening_.lockProblem);
    }
    return "the remote cannot be read";
}

std::unique_ptr<CommandSession> OpenRemote(LockMode lockMode, std::optional<KeyCode> key,
                                           int lockWaitSeconds) {
    auto command = std::make_unique<CommandSession>(std::chrono::seconds(lockWaitSeconds));
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
