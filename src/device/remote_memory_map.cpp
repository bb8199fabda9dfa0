#include "remote_memory_map.h"

#include "hex_fields.h"

namespace {

constexpr std::size_t kHexPerByte = 2;
constexpr std::size_t kHexPerUnit = 16;
constexpr int kCodeTableReadLimit = 1023;  // bytes a 2048-byte buffer holds past one spare unit

// Whether `size` bytes from address lie within 0..FFFF (an empty table always does when its
// address does).
bool FitsInMemory(int address, long size) {
    return address >= 0 && address <= kHighestAddress &&
           static_cast<long>(address) + size - 1 <= kHighestAddress;
}

}  // namespace

InfoBlock ParseInfoBlock(std::string_view text) {
    InfoBlock info;
    info.identityText = std::string(text.substr(0, 30));
    if (text.size() >= 74)
        info.modelCode = std::string(text.substr(70, 4));
    info.major = HexByteAt(text, 32);
    info.minor = HexByteAt(text, 33);
    return info;
}

bool ParseConfigBlock(std::string_view text, RemoteMap& map) {
    const std::optional<int> directory = LittleEndianWordAt(text, 0);
    const std::optional<int> bias = LittleEndianWordAt(text, 6);
    const std::optional<std::string> bank = HexBytesAt(text, 8, 1);
    if (!directory || !bias || !bank)
        return false;
    map.directoryAddress = *directory;
    map.pointerBias = *bias;
    map.memoryBank = *bank;
    return true;
}

bool ParseDirectoryBlock(std::string_view text, RemoteMap& map, int& keyCodeCount) {
    const std::optional<int> entries = LittleEndianWordAt(text, 0);
    const std::optional<int> codeEntries = HexByteAt(text, 7);
    const std::optional<int> units = LittleEndianWordAt(text, 8);
    const std::optional<int> keyTable = LittleEndianWordAt(text, 16);
    const std::optional<int> builtinList = LittleEndianWordAt(text, 24);
    const std::optional<int> codeTable = LittleEndianWordAt(text, 26);
    const std::optional<int> codeArea = LittleEndianWordAt(text, 28);
    const std::optional<int> keyCodes = HexByteAt(text, 32);
    if (!entries || !codeEntries || !units || !keyTable || !builtinList || !codeTable ||
        !codeArea || !keyCodes)
        return false;
    const auto translate = [&](int word) {
        return TranslateDevicePointer(word, map.directoryAddress, map.pointerBias);
    };
    map.keyEntryCount = *entries;
    map.codeTableCount = *codeEntries;
    map.codeAreaUnits = *units;
    map.keyTableAddress = translate(*keyTable);
    map.builtinListAddress = translate(*builtinList);
    map.codeTableAddress = translate(*codeTable);
    map.codeAreaAddress = translate(*codeArea);
    keyCodeCount = *keyCodes;

    const long codeTableBytes = CodeAreaBitmapBytes(map.codeAreaUnits) +
                                static_cast<long>(kCodeEntryBytes) * map.codeTableCount;
    return codeTableBytes <= kCodeTableReadLimit &&
           FitsInMemory(map.keyTableAddress,
                        static_cast<long>(kKeyEntryBytes) * map.keyEntryCount) &&
           FitsInMemory(map.builtinListAddress, 2) &&
           FitsInMemory(map.codeTableAddress, codeTableBytes) &&
           FitsInMemory(map.codeAreaAddress, 8L * map.codeAreaUnits);
}

bool ParseKeyCodeList(std::string_view text, int keyCodeCount, RemoteMap& map) {
    const int listBytes = kKeyCodeListUnits * 8;
    if (keyCodeCount < 0 || 1 + keyCodeCount > listBytes || map.keyEntryCount > keyCodeCount)
        return false;
    map.keySlots.clear();
    for (int i = 0; i < keyCodeCount; ++i) {
        const std::optional<std::string> code =
            HexBytesAt(text, 1 + static_cast<std::size_t>(i), 1);
        if (!code)
            return false;
        map.keySlots.push_back(*code + "|");
    }
    return true;
}

int KeyTableReadUnits(int keyEntryCount) {
    return 2 * kKeyEntryBytes * keyEntryCount / static_cast<int>(kHexPerUnit) + 1;
}

std::size_t KeyTableBufferSize(int keyEntryCount) {
    return 2 * kKeyEntryBytes * static_cast<std::size_t>(keyEntryCount) + kHexPerUnit;
}

std::optional<std::string> StartupSlotState(std::string_view keyEntryHex) {
    const std::optional<int> status = HexByteAt(keyEntryHex, 0);
    if (!status)
        return std::nullopt;
    if ((*status & 0xA0) != 0x80)
        return "0|0|";
    std::string state = (*status & 0x40) ? "2|" : "1|";
    const std::optional<int> location = HexByteAt(keyEntryHex, 2);
    if (!location)
        return std::nullopt;
    if ((*location & 0x80) == 0)
        return state + "0|";
    const std::optional<std::string> codeId = HexBytesAt(keyEntryHex, 3, 3);
    if (!codeId)
        return std::nullopt;
    return state + "1|" + *codeId;
}

bool ParseKeyTable(std::string_view text, RemoteMap& map) {
    const std::size_t entryChars = kHexPerByte * kKeyEntryBytes;
    if (map.keyEntryCount < 0 ||
        static_cast<std::size_t>(map.keyEntryCount) > map.keySlots.size() ||
        text.size() < entryChars * static_cast<std::size_t>(map.keyEntryCount))
        return false;
    for (int i = 0; i < map.keyEntryCount; ++i) {
        const std::optional<std::string> state =
            StartupSlotState(text.substr(entryChars * static_cast<std::size_t>(i), entryChars));
        if (!state)
            return false;
        map.keySlots[static_cast<std::size_t>(i)] += *state;
    }
    return true;
}

int CodeAreaBitmapBytes(int codeAreaUnits) {
    return (codeAreaUnits + 7) / 8;
}

int CodeTableReadUnits(int codeTableCount, int codeAreaUnits) {
    return (kCodeEntryBytes * codeTableCount + CodeAreaBitmapBytes(codeAreaUnits)) / 8 + 1;
}

bool ParseCodeTable(std::string_view text, RemoteMap& map) {
    const std::size_t bitmapChars =
        kHexPerByte * static_cast<std::size_t>(CodeAreaBitmapBytes(map.codeAreaUnits));
    const std::size_t tableChars =
        kHexPerByte * kCodeEntryBytes * static_cast<std::size_t>(map.codeTableCount);
    if (text.size() < bitmapChars + tableChars)
        return false;
    const std::optional<std::string> bitmap = UnpackCodeAreaBitmap(text.substr(0, bitmapChars));
    const std::optional<std::string> table =
        HexBytesAt(text, bitmapChars / kHexPerByte, tableChars / kHexPerByte);
    if (!bitmap || !table)
        return false;
    map.codeAreaBitmap = *bitmap;
    map.codeTableText = *table;
    return true;
}

bool ParseBuiltinCodeList(std::string_view text, RemoteMap& map) {
    const std::optional<int> count = LittleEndianWordAt(text, 0);
    const long readBytes = kBuiltinListUnits * 8L;
    if (!count || 2 + static_cast<long>(kBuiltinRecordBytes) * *count > readBytes ||
        !FitsInMemory(map.builtinListAddress, 2 + static_cast<long>(kBuiltinRecordBytes) * *count))
        return false;
    map.builtinCodeIds.clear();
    for (int i = 0; i < *count; ++i) {
        const std::optional<std::string> id =
            HexBytesAt(text, 2 + static_cast<std::size_t>(kBuiltinRecordBytes) * i, 3);
        if (!id)
            return false;
        map.builtinCodeIds.push_back(*id);
    }
    return true;
}
