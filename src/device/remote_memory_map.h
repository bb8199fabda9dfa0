#pragma once
// The remote's memory as start-up reads it: where each block lies, how much of it each read
// takes, and the parsers that turn the read texts into RemoteMap fields.
//
//   B000  info block (6 units): identity in bytes 0-14, interface version major and minor in
//         bytes 32 and 33, model code in bytes 35-36 (read as its four hex characters)
//   B03C  config block (2 units): directory address (word 0), pointer bias (word 6), memory
//         bank (byte 8)
//   directory block (5 units) at the directory address: key entry count (word 0), code table
//         count (byte 7), code-area units (word 8), stored pointers to the key table (word 16),
//         the built-in code list (word 24), the code table (word 26), the code area (word 28),
//         and at byte 32 the key code list: a count byte, then one key code per slot
//   key table: 22-byte key entries, one per slot
//   code table: the code-area bitmap (one bit per unit, unit 0 the first byte's top bit), then
//         6-byte code entries
//   built-in code list: a word N, then N 6-byte records whose first 3 bytes are a code id
//
// Words are little-endian. Every parser refuses (returns false) when a field it needs is not
// hex, when a table does not fit the text its read gives, or when a translated address or a
// table's end lies past FFFF: the remote's memory is then not one this program can work with.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "remote_map.h"

inline constexpr int kInfoBlockAddress = 0xB000;
inline constexpr int kInfoBlockUnits = 6;
inline constexpr int kConfigBlockAddress = 0xB03C;
inline constexpr int kConfigBlockUnits = 2;
inline constexpr int kDirectoryBlockUnits = 5;
inline constexpr int kKeyCodeListOffset = 32;  // from the directory address
inline constexpr int kKeyCodeListUnits = 50;
inline constexpr int kBuiltinListUnits = 120;
inline constexpr int kKeyEntryBytes = 22;
inline constexpr int kCodeEntryBytes = 6;
inline constexpr int kBuiltinRecordBytes = 6;
inline constexpr int kHighestAddress = 0xFFFF;
// Start-up reads every block from this bank; later reads and writes use the config block's.
inline const std::string kStartupBank = "08";

// The fields of the info block that start-up looks at.
struct InfoBlock {
    std::string identityText;  // characters 1-30
    std::string modelCode;     // bytes 35-36 as four characters, exactly as read
    std::optional<int> major;  // byte 32; none when not hex
    std::optional<int> minor;  // byte 33; none when not hex
};

// Fields are taken from the text as far as it reaches; a short text gives short or absent
// fields.
InfoBlock ParseInfoBlock(std::string_view text);

// directoryAddress, pointerBias and memoryBank (upper case).
bool ParseConfigBlock(std::string_view text, RemoteMap& map);

// The three counts, the four translated pointers, and the number of key codes (byte 32).
bool ParseDirectoryBlock(std::string_view text, RemoteMap& map, int& keyCodeCount);

// keySlots: one "KK|" per key code, in order, from the list read at directory + 32 (its count
// byte skipped). keyEntryCount above the number of key codes is refused here, as key entry i
// describes slot i.
bool ParseKeyCodeList(std::string_view text, int keyCodeCount, RemoteMap& map);

// The key table read: its size in units and the buffer it is read into.
int KeyTableReadUnits(int keyEntryCount);
std::size_t KeyTableBufferSize(int keyEntryCount);

// The state start-up appends to a slot, from the 22-byte key entry's hex text: "0|0|" for no
// code; otherwise "1|" (downloaded) or "2|" (learned), then "0|", or "1|" and bytes 3-5 when
// the entry points at a code entry. None when a byte it needs is not hex.
std::optional<std::string> StartupSlotState(std::string_view keyEntryHex);

// Appends each key entry's state to its slot.
bool ParseKeyTable(std::string_view text, RemoteMap& map);

// The code table read: bitmap bytes, units and buffer.
int CodeAreaBitmapBytes(int codeAreaUnits);
int CodeTableReadUnits(int codeTableCount, int codeAreaUnits);

// codeAreaBitmap (eight characters per bitmap byte, padding bits included) and codeTableText.
bool ParseCodeTable(std::string_view text, RemoteMap& map);

// builtinCodeIds, upper case.
bool ParseBuiltinCodeList(std::string_view text, RemoteMap& map);
