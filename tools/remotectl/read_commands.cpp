// remotectl info, keys, export and check: what the remote holds, read and never changed.
#include <CLI/CLI.hpp>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iostream>
#include <memory>

#include "converter/flipper_file.h"
#include "converter/lircd_file.h"
#include "converter/pronto_file.h"
#include "converter/protocol_text_file.h"
#include "device/memory_address.h"
#include "memorycheck/remote_memory_check.h"
#include "tools/remotectl/command_session.h"
#include "tools/remotectl/commands.h"
#include "tools/remotectl/key_report.h"

namespace {

void PrintJson(const QJsonObject& object) {
    std::cout << QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

// The remote opened for reading, with its learning regions read.
struct ReadRemote {
    std::unique_ptr<CommandSession> session;
    ManagedRegions regions;
};

// Opens the remote and reads its learning regions; none after the complaint.
std::optional<ReadRemote> OpenAndRead() {
    std::unique_ptr<CommandSession> session = OpenRemote(LockMode::kNone);
    if (!session)
        return std::nullopt;
    std::optional<ManagedRegions> regions = ReadManagedRegions(session->Map(), session->Device());
    if (!regions) {
        Fail("the remote's key and code tables cannot be read");
        return std::nullopt;
    }
    return ReadRemote{std::move(session), std::move(*regions)};
}

int RunInfo(bool json) {
    const std::optional<ReadRemote> remote = OpenAndRead();
    if (!remote)
        return 1;
    CommandSession& session = *remote->session;
    const ManagedRegions& regions = remote->regions;
    const RemoteMap& map = session.Map();
    const std::vector<KeyReport> keys = ReportKeys(map, regions);
    int learned = 0, downloaded = 0;
    for (const KeyReport& key : keys) {
        learned += key.state == SlotState::kLearned;
        downloaded += key.state == SlotState::kDownloaded;
    }
    int entriesUsed = 0;
    for (const CodeEntry& entry : map.codeTable)
        entriesUsed += entry.inUse;
    int unitsUsed = 0;
    for (int unit = 0; unit < map.codeAreaUnits; ++unit)
        unitsUsed += map.codeAreaBitmap.IsUsed(unit);
    const int keyCount = static_cast<int>(keys.size());
    const std::string interface = std::to_string(session.Opening().reading.info->major) + "." +
                                  std::to_string(session.Opening().reading.info->minor);
    if (json) {
        PrintJson({
            {"model", QString::fromStdString(session.ModelText())},
            {"identity", QString::fromStdString(map.remoteIdText)},
            {"firmware", QString::fromStdString(session.Opening().reading.version)},
            {"interface", QString::fromStdString(interface)},
            {"keys", QJsonObject{{"total", keyCount},
                                 {"learned", learned},
                                 {"downloaded", downloaded},
                                 {"empty", keyCount - learned - downloaded}}},
            {"codeTable", QJsonObject{{"entries", map.codeTableCount},
                                      {"used", entriesUsed},
                                      {"free", map.codeTableCount - entriesUsed}}},
            {"codeArea", QJsonObject{{"units", map.codeAreaUnits},
                                     {"used", unitsUsed},
                                     {"free", map.codeAreaUnits - unitsUsed}}},
        });
        return 0;
    }
    std::cout << "model       " << session.ModelText() << '\n'
              << "identity    " << map.remoteIdText << '\n'
              << "firmware    " << session.Opening().reading.version << '\n'
              << "interface   " << interface << '\n'
              << "keys        " << keyCount << " (" << learned << " learned, " << downloaded
              << " downloaded, " << keyCount - learned - downloaded << " empty)\n"
              << "code table  " << entriesUsed << " of " << map.codeTableCount << " entries used, "
              << map.codeTableCount - entriesUsed << " free\n"
              << "code area   " << unitsUsed << " of " << map.codeAreaUnits << " units used, "
              << map.codeAreaUnits - unitsUsed << " free\n";
    return 0;
}

QJsonObject KeyJson(const KeyReport& key) {
    QJsonObject object{{"key", QString::fromStdString(KeyCodeText(key.keyCode))},
                       {"function", QString::fromStdString(KeyFunction(key.keyCode))},
                       {"slot", key.slot},
                       {"state", StateName(key.state)}};
    if (!key.HoldsCode())
        return object;
    object["codeId"] = QString::fromStdString(key.codeId);
    if (key.holding == CodeHolding::kDirect) {
        object["holding"] = "direct";
    } else {
        object["holding"] = "entry";
        object["entry"] = key.codeEntry;
        object["firstUnit"] = key.firstUnit;
        object["units"] = key.unitCount;
    }
    if (key.decoded) {
        QJsonObject params;
        for (int p = 0; p < quorvel::kParamCount; ++p) {
            if (key.decoded->def->HasParam(static_cast<quorvel::Param>(p)))
                params[QString(QChar(quorvel::kParamNames[static_cast<std::size_t>(p)]))] =
                    static_cast<qint64>(key.decoded->params.values[static_cast<std::size_t>(p)]);
        }
        object["protocol"] = QString::fromStdString(key.decoded->def->name);
        object["params"] = params;
    } else if (key.signal) {
        object["protocol"] = "raw";
        object["durations"] = static_cast<int>(key.signal->durations.size());
    } else {
        object["problem"] = QString::fromStdString(key.problem);
    }
    return object;
}

int RunKeys(bool json) {
    const std::optional<ReadRemote> remote = OpenAndRead();
    if (!remote)
        return 1;
    CommandSession& session = *remote->session;
    const ManagedRegions& regions = remote->regions;
    const std::vector<KeyReport> keys = ReportKeys(session.Map(), regions);
    if (json) {
        QJsonArray array;
        for (const KeyReport& key : keys)
            array.append(KeyJson(key));
        std::cout << QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
        return 0;
    }
    for (const KeyReport& key : keys)
        std::cout << KeyLine(key) << '\n';
    return 0;
}

int RunExport(const std::string& format) {
    const std::optional<ReadRemote> remote = OpenAndRead();
    if (!remote)
        return 1;
    CommandSession& session = *remote->session;
    const ManagedRegions& regions = remote->regions;
    // The collections' formats name a key by its function, the others by its code.
    const bool byFunction = format == "flipper" || format == "lirc";
    std::vector<quorvel::NamedSignal> keySignals;
    for (KeyReport& key : ReportKeys(session.Map(), regions)) {
        if (!key.signal)
            continue;
        const std::string function = KeyFunction(key.keyCode);
        keySignals.push_back({byFunction && function != "-" ? function : KeyCodeText(key.keyCode),
                              std::move(*key.signal)});
    }
    if (format == "flipper")
        std::cout << quorvel::WriteFlipperFile(keySignals,
                                               quorvel::FlipperSignals::kParsedWhereFits);
    else if (format == "lirc")
        std::cout << quorvel::WriteLircdFile("keylearn_" + session.ModelText(), keySignals);
    else if (format == "pronto")
        std::cout << quorvel::WriteProntoFile(keySignals);
    else
        std::cout << quorvel::WriteProtocolTextFile(keySignals);
    return 0;
}

int RunCheck(bool json) {
    const std::optional<ReadRemote> remote = OpenAndRead();
    if (!remote)
        return 1;
    CommandSession& session = *remote->session;
    const ManagedRegions& regions = remote->regions;
    const std::optional<RemoteBanks> banks = BanksForCheck(session, regions);
    if (!banks)
        return Fail("the remote's config block and directory cannot be read");
    const RemoteMemoryCheck check = CheckRemoteMemory(*banks);
    if (json) {
        QJsonArray findings, warnings;
        for (const std::string& finding : check.findings)
            findings.append(QString::fromStdString(finding));
        for (const std::string& warning : check.warnings)
            warnings.append(QString::fromStdString(warning));
        PrintJson(
            {{"consistent", check.Consistent()}, {"findings", findings}, {"warnings", warnings}});
    } else {
        for (const std::string& finding : check.findings)
            std::cout << finding << '\n';
        for (const std::string& warning : check.warnings)
            std::cout << "warning: " << warning << '\n';
        // The only warnings are entries no key points at, which repair frees.
        if (!check.warnings.empty())
            std::cout << "remotectl repair frees " << (check.warnings.size() == 1 ? "it" : "them")
                      << '\n';
        if (check.Consistent())
            std::cout << "consistent\n";
    }
    return check.Consistent() ? 0 : 1;
}

CommandRun WithJson(CLI::App& command, int (*run)(bool)) {
    auto json = std::make_shared<bool>(false);
    command.add_flag("--json", *json, "print JSON for scripts");
    return [json, run] { return run(*json); };
}

}  // namespace

CommandRun DefineInfo(CLI::App& command) {
    return WithJson(command, RunInfo);
}

CommandRun DefineKeys(CLI::App& command) {
    return WithJson(command, RunKeys);
}

CommandRun DefineCheck(CLI::App& command) {
    return WithJson(command, RunCheck);
}

CommandRun DefineExport(CLI::App& command) {
    auto format = std::make_shared<std::string>("pronto");
    command
        .add_option("--format", *format,
                    "pronto (default: KEY, a tab, Pronto hex), irp (KEY, a tab, protocol text "
                    "such as NEC1 D=4 S=251 F=8, or raw and microseconds), flipper (a Flipper "
                    "infrared signal file, each key under its function's name, parsed where a "
                    "protocol of Flipper's sends it) or lirc (a lircd.conf of raw codes under the "
                    "functions' names); remotectl import reads flipper, lirc and pronto back")
        ->check(CLI::IsMember({"pronto", "irp", "flipper", "lirc"}));
    return [format] { return RunExport(*format); };
}
