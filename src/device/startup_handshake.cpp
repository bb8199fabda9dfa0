#include "startup_handshake.h"

#include <cctype>

#include "device_library.h"
#include "device_text.h"
#include "prompter.h"
#include "remote_memory_map.h"

QString UnsupportedRemoteText() {
    return QStringLiteral("自学习软件不支持改遥控器，请到") + kVendorWebAddress +
           QStringLiteral("网站下载最新的该款自学习软件！");
}
QString FirmwareTooOldText() {
    return QStringLiteral("遥控器固件程序版本比较低，请到") + kVendorWebAddress +
           QStringLiteral("网站下载最新的固件程序版本！");
}
QString SoftwareTooOldText() {
    return QStringLiteral("自学习软件版本比较低，请到") + kVendorWebAddress +
           QStringLiteral("下载最新的该款自学习软件！");
}
QString FirmwareProgramTooOldText() {
    return QStringLiteral("遥控器固件程序版本比较低，请到") + kVendorWebAddress +
           QStringLiteral("下载最新的固件程序版本！");
}
QString FirmwareVersionTooOldText() {
    return QStringLiteral("遥控器固件版本比较低，请到") + kVendorWebAddress +
           QStringLiteral("下载最新的固件程序版本！");
}

namespace {

const std::string kAcceptedVersionPrefix = "1020";
const std::string kAcceptedModel = "7731";
const std::string kTooOldModel = "8888";

bool VersionAccepted(const std::string& text) {
    if (text.size() < kAcceptedVersionPrefix.size())
        return false;
    for (std::size_t i = 0; i < kAcceptedVersionPrefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != kAcceptedVersionPrefix[i])
            return false;
    return true;
}

// The message of the first compatibility check the info block fails, or an empty text when
// it passes. A version byte that is not hex cannot be judged: the caller treats it as bad
// memory.
struct Compatibility {
    QString rejection;
    bool unreadable = false;
};

Compatibility CheckCompatibility(const InfoBlock& info) {
    if (info.modelCode == kTooOldModel)
        return {FirmwareTooOldText()};
    if (info.modelCode != kAcceptedModel)
        return {UnsupportedRemoteText()};
    if (!info.major || !info.minor)
        return {{}, true};
    if (*info.major >= 2)
        return {SoftwareTooOldText()};
    if (*info.major < 1)
        return {FirmwareProgramTooOldText()};
    if (*info.minor > 3)
        return {SoftwareTooOldText()};
    if (*info.minor < 3)
        return {FirmwareVersionTooOldText()};
    return {};
}

// The steps after the wait, holding what they share.
class Handshake {
  public:
    Handshake(DeviceLibrary& device, Prompter& prompter, StartupView& view)
        : device_(device), prompter_(prompter), view_(view) {}

    StartupResult Run();

  private:
    bool WaitForRemote();
    StartupOutcome Reject(const QString& message) {
        prompter_.PlainMessage(message);
        return StartupOutcome::kFailed;
    }
    // A remote whose memory this program cannot read ends start-up as a failure, with the
    // message of a remote that did not answer.
    StartupOutcome BadMemory() {
        prompter_.Information(kNoRemoteText, kPromptCaption);
        return StartupOutcome::kFailed;
    }
    StartupOutcome NoAnswer() {
        prompter_.Information(kNoRemoteText, kPromptCaption);
        return StartupOutcome::kEndedWithoutFailure;
    }
    std::string Read(int address, int units, std::size_t bufferSize) {
        return ReadUnitsText(device_, address, units, kStartupBank, bufferSize);
    }
    StartupOutcome CheckRemote();
    StartupOutcome ReadTables();

    DeviceLibrary& device_;
    Prompter& prompter_;
    StartupView& view_;
    RemoteMap map_;
};

bool Handshake::WaitForRemote() {
    while (!device_.link_state())
        if (!prompter_.RetryCancel(kNoRemoteText, kPromptCaption))
            return false;
    return true;
}

StartupOutcome Handshake::CheckRemote() {
    std::string version(kVersionBufferSize, '\0');
    const bool answered = device_.ReadVersion(version.data());
    if (!VersionAccepted(DeviceBufferText(answered, version.data(), version.size())))
        return Reject(UnsupportedRemoteText());

    const std::string infoText = Read(kInfoBlockAddress, kInfoBlockUnits, kReadBufferSize);
    if (infoText.empty())
        return NoAnswer();
    const InfoBlock info = ParseInfoBlock(infoText);
    map_.remoteIdText = info.identityText;
    view_.SetFirmwareVersionLabel(kFirmwareLabelText);
    const Compatibility compatibility = CheckCompatibility(info);
    if (compatibility.unreadable)
        return BadMemory();
    if (!compatibility.rejection.isEmpty())
        return Reject(compatibility.rejection);
    view_.SetRemoteTypeLabel(kRemoteTypeText);
    return StartupOutcome::kReady;
}

StartupOutcome Handshake::ReadTables() {
    const std::string config = Read(kConfigBlockAddress, kConfigBlockUnits, kSmallReadBufferSize);
    if (config.empty())
        return NoAnswer();
    if (!ParseConfigBlock(config, map_))
        return BadMemory();

    int keyCodeCount = 0;
    const std::string directory =
        Read(map_.directoryAddress, kDirectoryBlockUnits, kReadBufferSize);
    if (directory.empty() || !ParseDirectoryBlock(directory, map_, keyCodeCount))
        return BadMemory();

    const std::string keyCodes =
        Read(map_.directoryAddress + kKeyCodeListOffset, kKeyCodeListUnits, kReadBufferSize);
    if (keyCodes.empty() || !ParseKeyCodeList(keyCodes, keyCodeCount, map_))
        return BadMemory();

    const std::string keyTable = Read(map_.keyTableAddress, KeyTableReadUnits(map_.keyEntryCount),
                                      KeyTableBufferSize(map_.keyEntryCount));
    if (keyTable.empty() || !ParseKeyTable(keyTable, map_))
        return BadMemory();

    const std::string codeTable =
        Read(map_.codeTableAddress, CodeTableReadUnits(map_.codeTableCount, map_.codeAreaUnits),
             kLargeReadBufferSize);
    if (codeTable.empty() || !ParseCodeTable(codeTable, map_))
        return BadMemory();
    // The text box shows the read up to the zero fill of its buffer.
    view_.SetDiagnosticText(QString::fromLatin1(codeTable.c_str()));

    const std::string builtin =
        Read(map_.builtinListAddress, kBuiltinListUnits, kLargeReadBufferSize);
    if (builtin.empty() || !ParseBuiltinCodeList(builtin, map_))
        return BadMemory();
    return StartupOutcome::kReady;
}

StartupResult Handshake::Run() {
    view_.SetApplicationTitle(kApplicationTitle);
    view_.ResetWindowState();
    StartupOutcome outcome = StartupOutcome::kFailed;
    if (WaitForRemote()) {
        view_.ProcessPendingEvents();
        outcome = CheckRemote();
        if (outcome == StartupOutcome::kReady)
            outcome = ReadTables();
    }
    return {outcome, std::move(map_)};
}

}  // namespace

StartupResult RunStartupHandshake(DeviceLibrary& device, Prompter& prompter, StartupView& view) {
    return Handshake(device, prompter, view).Run();
}
