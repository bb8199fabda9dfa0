#include "device/remote_memory_map.h"

#include <algorithm>

#include "device/device_text.h"

namespace {

// Whether `size` bytes from address lie within 0..FFFF (an empty table always does when its
// address does).
bool FitsInMemory(long address, long size) {
    return address >= 0 && address <= kHighestAddress && address + size - 1 <= kHighestAddress;
}

int WordAt(ReadBytes bytes, std::size_t index) {
    return bytes[index + 1] * 256 + bytes[index];
}

}  // namespace

int TranslateDevicePointer(int word, int directoryAddress, int pointerBias) {
    return word >= pointerBias ? word - pointerBias : word + directoryAddress;
}

std::optional<InfoBlock> ParseInfoBlock(ReadBytes bytes) {
    if (bytes.size() < 37)
        return std::nullopt;
    InfoBlock info;
    info.identityText = HexBytesText(bytes.first(15));
    info.modelCode = static_cast<std::uint16_t>(bytes[35] * 256 + bytes[36]);
    info.major = bytes[32];
    info.minor = bytes[33];
    return info;
}

bool ParseConfigBlock(ReadBytes bytes, RemoteMap& map) {
    if (bytes.size() < 9)
        return false;
    map.directoryAddress = static_cast<MemoryAddress>(WordAt(bytes, 0));
    map.pointerBias = static_cast<MemoryAddress>(WordAt(bytes, 6));
    map.memoryBank = MemoryBank{bytes[8]};
    return true;
}

std::optional<int> ParseDirectoryBlock(ReadBytes bytes, RemoteMap& map) {
    if (bytes.size() < 33)
        return std::nullopt;
    const auto translate = [&](std::size_t index) {
        return TranslateDevicePointer(WordAt(bytes, index), map.directoryAddress, map.pointerBias);
    };
    map.keyEntryCount = WordAt(bytes, 0);
    map.codeTableCount = bytes[7];
    map.codeAreaUnits = WordAt(bytes, 8);
    const int keyTable = translate(16);
    const int builtinList = translate(24);
    const int codeTable = translate(26);
    const int codeArea = translate(28);
    const int keyCodeCount = bytes[32];

    const long codeTableBytes = CodeAreaBitmap::ByteCount(map.codeAreaUnits) +
                                static_cast<long>(kCodeEntryBytes) * map.codeTableCount;
    if (codeTableBytes > kCodeTableReadLimit ||
        !FitsInMemory(keyTable, static_cast<long>(kKeyEntryBytes) * map.keyEntryCount) ||
        !FitsInMemory(builtinList, 2) || !FitsInMemory(codeTable, codeTableBytes) ||
        !FitsInMemory(codeArea, static_cast<long>(kUnitBytes) * map.codeAreaUnits))
        return std::nullopt;
    map.keyTableAddress = static_cast<MemoryAddress>(keyTable);
    map.builtinListAddress = static_cast<MemoryAddress>(builtinList);
    map.codeTableAddress = static_cast<MemoryAddress>(codeTable);
    map.codeAreaAddress = static_cast<MemoryAddress>(codeArea);
    return keyCodeCount;
}

bool ParseKeyCodeList(ReadBytes bytes, int keyCodeCount, RemoteMap& map) {
    if (keyCodeCount < 0 || 1 + static_cast<std::size_t>(keyCodeCount) > bytes.size() ||
        map.keyEntryCount > keyCodeCount)
        return false;
    map.keySlots.clear();
    for (int i = 0; i < keyCodeCount; ++i)
        map.keySlots.push_back(KeySlot{.keyCode = bytes[1 + static_cast<std::size_t>(i)]});
    return true;
}

int KeyTableReadUnits(int keyEntryCount) {
    return 2 * static_cast<int>(kKeyEntryBytes) * keyEntryCount / (2 * kUnitBytes) + 1;
}

void SetStartupSlotState(KeySlot& slot, std::span<const std::uint8_t, kKeyEntryBytes> bytes) {
    const KeyEntry entry = KeyEntryFromBytes(bytes);
    slot.holding = CodeHolding::kDirect;
    if (!entry.HoldsCode()) {
        slot.state = SlotState::kEmpty;
        return;
    }
    slot.state = entry.Learned() ? SlotState::kLearned : SlotState::kDownloaded;
    if (const std::optional<std::uint8_t> index = entry.CodeEntryIndex()) {
        slot.holding = CodeHolding::kCodeTable;
        slot.codeEntryIndex = *index;
        slot.afterIndex = entry.AfterIndex();
    }
}

bool ParseKeyTable(ReadBytes bytes, RemoteMap& map) {
    if (map.keyEntryCount < 0 ||
        static_cast<std::size_t>(map.keyEntryCount) > map.keySlots.size() ||
        bytes.size() < kKeyEntryBytes * static_cast<std::size_t>(map.keyEntryCount))
        return false;
    for (std::size_t i = 0; i < static_cast<std::size_t>(map.keyEntryCount); ++i)
        SetStartupSlotState(map.keySlots[i],
                            bytes.subspan(kKeyEntryBytes * i).first<kKeyEntryBytes>());
    return true;
}

int CodeTableReadUnits(int codeTableCount, int codeAreaUnits) {
    return (static_cast<int>(kCodeEntryBytes) * codeTableCount +
            CodeAreaBitmap::ByteCount(codeAreaUnits)) /
               kUnitBytes +
           1;
}

bool ParseCodeTable(ReadBytes bytes, RemoteMap& map) {
    const std::size_t bitmapBytes =
        static_cast<std::size_t>(CodeAreaBitmap::ByteCount(map.codeAreaUnits));
    const std::size_t count = static_cast<std::size_t>(std::max(map.codeTableCount, 0));
    if (bytes.size() < bitmapBytes + kCodeEntryBytes * count)
        return false;
    map.codeAreaBitmap = CodeAreaBitmap(map.codeAreaUnits, bytes.first(bitmapBytes));
    map.codeTable.clear();
    for (std::size_t i = 0; i < count; ++i)
        map.codeTable.push_back(CodeEntryFromBytes(
            bytes.subspan(bitmapBytes + kCodeEntryBytes * i).first<kCodeEntryBytes>()));
    return true;
}

bool ParseBuiltinCodeList(ReadBytes bytes, RemoteMap& map) {
    if (bytes.size() < 2)
        return false;
    const int count = WordAt(bytes, 0);
    const long listBytes = 2 + static_cast<long>(kBuiltinRecordBytes) * count;
    if (listBytes > static_cast<long>(bytes.size()) ||
        listBytes > static_cast<long>(kBuiltinListUnits) * kUnitBytes ||
        !FitsInMemory(map.builtinListAddress, listBytes))
        return false;
    map.builtinCodeIds.clear();
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 2 + static_cast<std::size_t>(kBuiltinRecordBytes) * i;
        map.builtinCodeIds.push_back(CodeId{{bytes[at], bytes[at + 1], bytes[at + 2]}});
    }
    return true;
}
