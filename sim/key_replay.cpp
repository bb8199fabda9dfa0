#include "sim/key_replay.h"

#include "converter/hex_text.h"
#include "converter/quorvel_record.h"
#include "converter/signal_text.h"
#include "sim/remote_memory_layout.h"

namespace ir_capture {
namespace {

using namespace remote_layout;

// Reads of one bank that never leave it.
class Memory {
  public:
    explicit Memory(const std::vector<std::uint8_t>* bank) : bank_(bank) {}
    bool Has(long address, long length) const {
        return bank_ && address >= 0 && length >= 0 &&
               address + length <= static_cast<long>(bank_->size());
    }
    int Byte(long address) const { return Has(address, 1) ? (*bank_)[address] : 0; }
    int Word(long address) const { return Byte(address) | (Byte(address + 1) << 8); }
    quorvel::Bytes Bytes(long address, long length) const {
        if (!Has(address, length))
            return {};
        return quorvel::Bytes(bank_->begin() + address, bank_->begin() + address + length);
    }

  private:
    const std::vector<std::uint8_t>* bank_;
};

const std::vector<std::uint8_t>* BankOf(const RemoteImage& image, int number) {
    const auto it = image.banks.find(number);
    return it == image.banks.end() ? nullptr : &it->second;
}

std::string Describe(const quorvel::Rendered& signal) {
    if (auto decoded = quorvel::Decode(signal.durations, signal.carrierHz)) {
        std::string text = decoded->def->name;
        for (int p = 0; p < quorvel::kParamCount; ++p) {
            if (decoded->def->HasParam(static_cast<quorvel::Param>(p)))
                text += std::string(" ") + quorvel::kParamNames[p] + "=" +
                        std::to_string(decoded->params.values[p]);
        }
        return text;
    }
    return "raw";
}

}  // namespace

std::optional<KeyReplay> ReplayKey(const RemoteImage& image, int keyCode) {
    const Memory startup(BankOf(image, kStartupBank));
    const int directory = startup.Word(kConfigAddress + kDirectoryAddressOffset);
    const int bias = startup.Word(kConfigAddress + kPointerBiasOffset);
    const Memory memory(BankOf(image, startup.Byte(kConfigAddress + kMemoryBankOffset)));
    if (!startup.Has(directory, kKeyCodeListOffset + 1))
        return std::nullopt;
    auto pointer = [&](int offset) {
        const int stored = startup.Word(directory + offset);
        return stored >= bias ? stored - bias : stored + directory;
    };
    KeyReplay replay;
    const int keyCount = startup.Byte(directory + kKeyCodeListOffset);
    for (int i = 0; i < keyCount; ++i) {
        if (startup.Byte(directory + kKeyCodeListOffset + 1 + i) == keyCode) {
            replay.slot = i;
            break;
        }
    }
    if (replay.slot < 0)
        return std::nullopt;
    const quorvel::Bytes entry = memory.Bytes(
        pointer(kKeyTablePointerOffset) + kKeyEntryBytes * replay.slot, kKeyEntryBytes);
    if (entry.empty())
        return std::nullopt;
    replay.state = entry[0] == 0xC0 ? "learned" : entry[0] == 0x80 ? "downloaded" : "empty";
    if (replay.state == "empty") {
        replay.problem = "the key holds no code";
        return replay;
    }
    const quorvel::Bytes first(entry.begin() + 6, entry.begin() + 14);
    const quorvel::Bytes second(entry.begin() + 14, entry.end());
    quorvel::Bytes data;
    std::uint32_t id = 0;
    if (entry[2] == 0x80) {
        const int index = entry[3];
        const int codeTable = pointer(kCodeTablePointerOffset);
        const int bitmapBytes = (startup.Word(directory + kCodeAreaUnitsOffset) + 7) / 8;
        const quorvel::Bytes code =
            memory.Bytes(codeTable + bitmapBytes + kCodeEntryBytes * index, kCodeEntryBytes);
        replay.form = "code entry " + quorvel::HexOfBytes({static_cast<std::uint8_t>(index)});
        const int word = code.empty() ? 0 : code[3] | (code[4] << 8);
        if (index >= startup.Byte(directory + kCodeTableCountOffset) || word < 0x8000) {
            replay.problem = "the code entry is not in use";
            return replay;
        }
        id = (code[0] << 16) | (code[1] << 8) | code[2];
        data = memory.Bytes(pointer(kCodeAreaPointerOffset) + kUnitBytes * (word - 0x8000),
                            long{kUnitBytes} * code[5]);
    } else {
        replay.form = "direct";
        id = (entry[3] << 16) | (entry[4] << 8) | entry[5];
    }
    replay.codeId =
        quorvel::HexOfBytes({static_cast<std::uint8_t>(id >> 16),
                             static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id)});
    replay.signal = quorvel::RenderRecord(id, first, second, data);
    if (replay.signal)
        replay.protocol = Describe(*replay.signal);
    else
        replay.problem = "the code is no protocol or timing record this converter knows";
    return replay;
}

std::string DescribeReplay(int keyCode, const KeyReplay& replay) {
    std::string text = "key " + quorvel::HexOfBytes({static_cast<std::uint8_t>(keyCode)}) +
                       " (slot " + std::to_string(replay.slot) + "): " + replay.state;
    if (!replay.form.empty())
        text += ", " + replay.form;
    if (!replay.codeId.empty())
        text += ", code id " + replay.codeId;
    text += '\n';
    if (!replay.signal)
        return text + "sends nothing: " + replay.problem + '\n';
    text +=
        "sends " + replay.protocol + " at " + std::to_string(replay.signal->carrierHz) + " Hz\n";
    return text + quorvel::FormatMicroseconds(replay.signal->durations) + '\n';
}

}  // namespace ir_capture
