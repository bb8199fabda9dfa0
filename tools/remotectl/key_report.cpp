#include "tools/remotectl/key_report.h"

#include <algorithm>
#include <span>

#include "common/remote_keys.h"
#include "converter/protocol_text_file.h"
#include "converter/quorvel_record.h"
#include "device/remote_map.h"
#include "tools/remotectl/command_session.h"

namespace {

std::uint32_t IdValue(const CodeId& id) {
    return (std::uint32_t{id.bytes[0]} << 16) | (std::uint32_t{id.bytes[1]} << 8) | id.bytes[2];
}

quorvel::Bytes Slice(const MemoryBytes& bytes, std::size_t at, std::size_t length) {
    if (at > bytes.size() || length > bytes.size() - at)
        return {};
    return quorvel::Bytes(bytes.begin() + static_cast<long>(at),
                          bytes.begin() + static_cast<long>(at + length));
}

KeyReport ReportKey(const RemoteMap& map, const MemoryBytes& keyTable, const MemoryBytes& area,
                    int slot) {
    KeyReport key;
    key.keyCode = map.keySlots[static_cast<std::size_t>(slot)].keyCode;
    key.slot = slot;
    const MemoryBytes bytes(
        Slice(keyTable, kKeyEntryBytes * static_cast<std::size_t>(slot), kKeyEntryBytes));
    if (bytes.size() != kKeyEntryBytes)
        return key;
    const KeyEntry entry = KeyEntryFromBytes(std::span(bytes).first<kKeyEntryBytes>());
    if (!entry.HoldsCode())
        return key;
    key.state = entry.Learned() ? SlotState::kLearned : SlotState::kDownloaded;
    CodeId id;
    quorvel::Bytes data;
    if (const std::optional<std::uint8_t> index = entry.CodeEntryIndex()) {
        key.holding = CodeHolding::kCodeTable;
        key.codeEntry = *index;
        const std::optional<CodeEntry> code =
            key.codeEntry < static_cast<int>(map.codeTable.size())
                ? std::optional(map.codeTable[static_cast<std::size_t>(key.codeEntry)])
                : std::nullopt;
        if (!code || !code->inUse) {
            key.problem = "its code-table entry is not in use";
            return key;
        }
        id = code->codeId;
        key.firstUnit = code->firstUnit;
        key.unitCount = code->unitCount;
        data = Slice(area, kUnitBytes * static_cast<std::size_t>(code->firstUnit),
                     kUnitBytes * static_cast<std::size_t>(code->unitCount));
    } else {
        key.holding = CodeHolding::kDirect;
        id = entry.NamedCodeId();
    }
    key.codeId = CodeIdText(id);
    const auto field = [](std::span<const std::uint8_t> part) {
        return quorvel::Bytes(part.begin(), part.end());
    };
    key.signal = quorvel::RenderRecord(IdValue(id), field(entry.FirstField()),
                                       field(entry.SecondField()), data);
    if (!key.signal) {
        key.problem = "no protocol or timing record this converter knows";
        return key;
    }
    key.decoded = quorvel::Decode(key.signal->durations, key.signal->carrierHz);
    return key;
}

}  // namespace

std::vector<KeyReport> ReportKeys(const RemoteMap& map, const ManagedRegions& regions) {
    const MemoryRegion* keyTable = regions.Find(kKeyTableRegion);
    const MemoryRegion* area = regions.Find(kCodeAreaRegion);
    std::vector<KeyReport> keys;
    const int slotCount = std::min(map.keyEntryCount, static_cast<int>(map.keySlots.size()));
    for (int slot = 0; slot < slotCount; ++slot)
        keys.push_back(ReportKey(map, keyTable->bytes, area->bytes, slot));
    return keys;
}

const char* StateName(SlotState state) {
    switch (state) {
        case SlotState::kLearned:
            return "learned";
        case SlotState::kDownloaded:
            return "downloaded";
        case SlotState::kEmpty:
        case SlotState::kNotRead:
            break;
    }
    return "empty";
}

std::string HoldingText(const KeyReport& key) {
    if (!key.HoldsCode())
        return "-";
    if (key.holding == CodeHolding::kDirect)
        return "direct " + key.codeId;
    std::string text = "entry " + KeyCodeText(static_cast<KeyCode>(key.codeEntry));
    if (key.unitCount > 0)
        text += " units " + std::to_string(key.firstUnit) + "-" +
                std::to_string(key.firstUnit + key.unitCount - 1);
    return text;
}

std::string SendsText(const KeyReport& key) {
    if (!key.HoldsCode())
        return "-";
    if (!key.signal)
        return "nothing (" + key.problem + ")";
    if (key.decoded)
        return quorvel::ProtocolText(*key.decoded);
    return "raw " + std::to_string(key.signal->durations.size()) + " durations";
}

std::string KeyFunction(KeyCode code) {
    const remote_keys::RemoteKey* key = remote_keys::KeyWithCode(code);
    return key ? std::string(key->function) : "-";
}

std::string KeyLine(const KeyReport& key) {
    std::string line = KeyCodeText(key.keyCode) + "  " + KeyFunction(key.keyCode);
    line.resize(std::max<std::size_t>(line.size() + 2, 14), ' ');
    line += StateName(key.state);
    line.resize(std::max<std::size_t>(line.size() + 2, 26), ' ');
    line += HoldingText(key);
    line.resize(std::max<std::size_t>(line.size() + 2, 48), ' ');
    return line + SendsText(key);
}
