#include "device/remote_tables.h"

#include <algorithm>

#include "device/device_text.h"

std::string CodeIdText(const CodeId& id) {
    return HexBytesText(id.bytes);
}

namespace {

char StateDigit(SlotState state) {
    switch (state) {
        case SlotState::kDownloaded:
            return '1';
        case SlotState::kLearned:
            return '2';
        default:
            return '0';
    }
}

}  // namespace

std::string SlotText(const KeySlot& slot) {
    std::string text = HexText(slot.keyCode, 2) + "|";
    if (slot.state == SlotState::kNotRead)
        return text;
    text += StateDigit(slot.state);
    switch (slot.holding) {
        case CodeHolding::kNotRecorded:
            break;
        case CodeHolding::kDirect:
            text += "|0|";
            if (slot.learnedCodeId)
                text += CodeIdText(*slot.learnedCodeId);
            break;
        case CodeHolding::kCodeTable:
            text += "|1|" + HexText(slot.codeEntryIndex, 2);
            if (slot.afterIndex)
                text += HexText(*slot.afterIndex, 4);
            break;
    }
    return text;
}

std::vector<std::string> SlotTexts(const std::vector<KeySlot>& slots) {
    std::vector<std::string> texts;
    texts.reserve(slots.size());
    for (const KeySlot& slot : slots)
        texts.push_back(SlotText(slot));
    return texts;
}

std::optional<std::uint8_t> KeyEntry::CodeEntryIndex() const {
    if (!InCodeTable())
        return std::nullopt;
    return reference[0];
}

std::uint16_t KeyEntry::AfterIndex() const {
    return static_cast<std::uint16_t>(reference[1] * 256 + reference[2]);
}

std::span<const std::uint8_t> KeyEntry::FirstField() const {
    return std::span(fields).first(kKeyEntryFirstFieldBytes);
}

std::span<const std::uint8_t> KeyEntry::SecondField() const {
    return std::span(fields).subspan(kKeyEntryFirstFieldBytes);
}

KeyEntry KeyEntryFromBytes(std::span<const std::uint8_t, kKeyEntryBytes> bytes) {
    KeyEntry entry;
    entry.status = bytes[0];
    entry.reserved = bytes[1];
    entry.location = bytes[2];
    std::copy_n(bytes.begin() + 3, entry.reference.size(), entry.reference.begin());
    std::copy_n(bytes.begin() + kKeyEntryHeaderBytes, entry.fields.size(), entry.fields.begin());
    return entry;
}

MemoryBytes KeyEntryBytes(const KeyEntry& entry, std::size_t fieldBytes) {
    std::array<std::uint8_t, kKeyEntryBytes> bytes{entry.status, entry.reserved, entry.location};
    std::copy(entry.reference.begin(), entry.reference.end(), bytes.begin() + 3);
    std::copy(entry.fields.begin(), entry.fields.end(), bytes.begin() + kKeyEntryHeaderBytes);
    const std::size_t length = kKeyEntryHeaderBytes + std::min(fieldBytes, kKeyEntryFieldBytes);
    return MemoryBytes(bytes.begin(), bytes.begin() + static_cast<long>(length));
}

CodeEntry CodeEntryFromBytes(std::span<const std::uint8_t, kCodeEntryBytes> bytes) {
    const int word = bytes[4] * 256 + bytes[3];
    CodeEntry entry;
    entry.codeId = CodeId{{bytes[0], bytes[1], bytes[2]}};
    entry.inUse = (word & 0x8000) != 0;
    entry.firstUnit = static_cast<std::uint16_t>(word & kHighestCodeAreaUnit);
    entry.unitCount = bytes[5];
    return entry;
}

std::array<std::uint8_t, kCodeEntryBytes> CodeEntryBytes(const CodeEntry& entry) {
    const int word = (entry.inUse ? 0x8000 : 0) | (entry.firstUnit & kHighestCodeAreaUnit);
    return {entry.codeId.bytes[0],
            entry.codeId.bytes[1],
            entry.codeId.bytes[2],
            static_cast<std::uint8_t>(word & 0xFF),
            static_cast<std::uint8_t>(word >> 8),
            entry.unitCount};
}

std::string CodeEntryText(const CodeEntry& entry) {
    return HexBytesText(CodeEntryBytes(entry));
}

std::string CodeTableText(const std::vector<CodeEntry>& codeTable) {
    std::string text;
    for (const CodeEntry& entry : codeTable)
        text += CodeEntryText(entry);
    return text;
}

CodeAreaBitmap::CodeAreaBitmap(int unitCount, std::span<const std::uint8_t> bytes)
    : unitCount_(std::max(unitCount, 0)),
      bytes_(static_cast<std::size_t>(ByteCount(unitCount)), 0) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), bytes_.size()), bytes_.begin());
}

CodeAreaBitmap CodeAreaBitmap::FromBitText(std::string_view bits) {
    CodeAreaBitmap bitmap(static_cast<int>(bits.size()), {});
    for (std::size_t unit = 0; unit < bits.size(); ++unit)
        bitmap.SetUsed(static_cast<int>(unit), bits[unit] == '1');
    return bitmap;
}

bool CodeAreaBitmap::IsUsed(int unit) const {
    if (unit < 0 || unit >= unitCount_)
        return false;
    return (bytes_[static_cast<std::size_t>(unit / 8)] >> (7 - unit % 8)) & 1;
}

void CodeAreaBitmap::SetUsed(int unit, bool used) {
    if (unit < 0 || unit >= unitCount_)
        return;
    std::uint8_t& byte = bytes_[static_cast<std::size_t>(unit / 8)];
    const auto bit = static_cast<std::uint8_t>(0x80 >> (unit % 8));
    byte = static_cast<std::uint8_t>(used ? byte | bit : byte & ~bit);
}

std::string CodeAreaBitmap::BitText() const {
    std::string bits;
    bits.reserve(8 * bytes_.size());
    for (const std::uint8_t byte : bytes_)
        for (int bit = 7; bit >= 0; --bit)
            bits.push_back((byte >> bit) & 1 ? '1' : '0');
    return bits;
}
