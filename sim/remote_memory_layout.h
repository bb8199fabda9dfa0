#pragma once
// The simulated remote's own knowledge of its memory, as a remote's firmware has it: the bank
// and addresses of the blocks it starts from, the fields of those blocks, and the sizes of its
// table entries. The image builder lays a remote out by it and the key replay reads a key back
// by it.
//
// The program holds its reading of the same format in src/device/ (remote_memory_map.h,
// remote_tables.h). The simulated remote does not use it, on purpose: it stands where hardware
// stands and knows its memory the way a device does, so that a fault in the program's reading
// shows against it instead of being mirrored by it (memorycheck/ keeps its own reading for the
// same reason).

namespace remote_layout {

// Start-up reads every block from this bank; the config block names the bank of the tables.
inline constexpr int kStartupBank = 0x08;

// The info block: identity, interface version (major, minor), model code (two bytes).
inline constexpr int kInfoAddress = 0xB000;
inline constexpr int kIdentityBytes = 15;
inline constexpr int kInterfaceOffset = 32;
inline constexpr int kModelOffset = 35;

// The config block: the directory's address (word), the pointer bias (word), the tables' bank.
inline constexpr int kConfigAddress = 0xB03C;
inline constexpr int kDirectoryAddressOffset = 0;
inline constexpr int kPointerBiasOffset = 6;
inline constexpr int kMemoryBankOffset = 8;

// The directory block, at the directory address: counts (key entries a word, code entries a
// byte, code-area units a word), stored table pointers (words), and the key code list (a count
// byte, then one key code per slot).
inline constexpr int kKeyEntryCountOffset = 0;
inline constexpr int kCodeTableCountOffset = 7;
inline constexpr int kCodeAreaUnitsOffset = 8;
inline constexpr int kKeyTablePointerOffset = 16;
inline constexpr int kBuiltinListPointerOffset = 24;
inline constexpr int kCodeTablePointerOffset = 26;
inline constexpr int kCodeAreaPointerOffset = 28;
inline constexpr int kKeyCodeListOffset = 32;

// Sizes of the table entries and of a code-area unit.
inline constexpr int kKeyEntryBytes = 22;
inline constexpr int kCodeEntryBytes = 6;
inline constexpr int kBuiltinRecordBytes = 6;
inline constexpr int kUnitBytes = 8;

}  // namespace remote_layout
