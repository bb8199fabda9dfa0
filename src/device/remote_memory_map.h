#pragma once
// The remote's memory as start-up reads it: where each block lies, how much of it each read
// takes, and the parsers that turn the bytes read into RemoteMap fields.
//
//   B000  info block (6 units): identity in bytes 0-14, interface version major and minor in
//         bytes 32 and 33, model code in bytes 35-36
//   B03C  config block (2 units): directory address (word 0), pointer bias (word 6), memory
//         bank (byte 8)
//   directory block (5 units) at the directory address: key entry count (word 0), code table
//         count (byte 7), code-area units (word 8), stored pointers to the key table (word 16),
//         the built-in code list (word 24), the code table (word 26), the code area (word 28),
//         and at byte 32 the key code list: a count byte, then one key code per slot
//   key table: one 22-byte key entry per slot (KeyEntry in remote_tables.h)
//   code table: the code-area bitmap (one bit per unit, unit 0 the first byte's top bit), then
//         6-byte code entries
//   built-in code list: a word N, then N 6-byte records whose first 3 bytes are a code id
//
// Words are little-endian. Every parser refuses (returns false or none) when a table does not fit
// the bytes its read gives, or when a translated address or a table's end lies past FFFF: the
// remote's memory is then not one this program can work with. (Memory that is not hex never
// gets here: DeviceLibrary refuses it.)

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "device/remote_map.h"

using ReadBytes = std::span<const std::uint8_t>;

inline constexpr MemoryAddress kInfoBlockAddress = 0xB000;
inline constexpr int kInfoBlockUnits = 6;
inline constexpr MemoryAddress kConfigBlockAddress = 0xB03C;
inline constexpr int kConfigBlockUnits = 2;
inline constexpr int kDirectoryBlockUnits = 5;
inline constexpr int kKeyCodeListOffset = 32;  // from the directory address
inline constexpr int kKeyCodeListUnits = 50;
inline constexpr int kBuiltinListUnits = 120;
inline constexpr int kBuiltinRecordBytes = 6;
// The most bytes of bitmap and code entries one code-table read takes: its 2048-character
// buffer less one spare unit, as the call sites of the C face always sized it.
inline constexpr int kCodeTableReadLimit = 1023;

// A stored pointer word as an address: word - pointerBias when word >= pointerBias, else
// word + directoryAddress. The result may lie past FFFF; callers check.
int TranslateDevicePointer(int word, int directoryAddress, int pointerBias);

// The fields of the info block that start-up looks at.
struct InfoBlock {
    std::string identityText;     // bytes 0-14 as 30 upper-case hex digits
    std::uint16_t modelCode = 0;  // bytes 35-36, first byte high: 7731 reads as 0x7731
    int major = 0;                // byte 32
    int minor = 0;                // byte 33
};

// None when the bytes end before the model code.
std::optional<InfoBlock> ParseInfoBlock(ReadBytes bytes);

// directoryAddress, pointerBias and memoryBank.
bool ParseConfigBlock(ReadBytes bytes, RemoteMap& map);

// The three counts and the four translated pointers. Returns the number of key codes (byte 32),
// which the key code list read needs, or none when refused.
std::optional<int> ParseDirectoryBlock(ReadBytes bytes, RemoteMap& map);

// keySlots: one slot per key code, in order, not read yet, from the list read at directory + 32
// (its count byte skipped). keyEntryCount above the number of key codes is refused here, as key
// entry i describes slot i.
bool ParseKeyCodeList(ReadBytes bytes, int keyCodeCount, RemoteMap& map);

// The key table read: its size in units.
int KeyTableReadUnits(int keyEntryCount);

// A slot's state as start-up reads it from its key entry (KeyEntry): empty unless the entry
// holds a code; then downloaded or learned, named directly or at a code-table entry, whose index
// is kept with the two bytes after it.
void SetStartupSlotState(KeySlot& slot, std::span<const std::uint8_t, kKeyEntryBytes> bytes);

// Sets the state of each slot that has a key entry.
bool ParseKeyTable(ReadBytes bytes, RemoteMap& map);

// The code table read: units.
int CodeTableReadUnits(int codeTableCount, int codeAreaUnits);

// codeAreaBitmap (padding bits included) and codeTable.
bool ParseCodeTable(ReadBytes bytes, RemoteMap& map);

// builtinCodeIds.
bool ParseBuiltinCodeList(ReadBytes bytes, RemoteMap& map);
