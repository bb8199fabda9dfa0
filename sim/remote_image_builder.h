#pragma once
// Lays out a remote's memory so that a test states the remote it needs in a few lines:
//
//   RemoteImage image = RemoteImageBuilder()
//                           .Model("8888")
//                           .Interface(1, 3)
//                           .Keys({0x00, 0x01})
//                           .KeyEntry(0, {0x80, 0x00, 0x00, 0x22, 0x00, 0x00})
//                           .Build();
//
// Everything lies in bank 08, as the remote keeps it (sim/remote_memory_layout.h):
//
//   B000  info block: identity (bytes 0-14), interface version major/minor (bytes 32, 33),
//         model code (bytes 35-36, "7731" is stored as 77 31)
//   B03C  config block: directory address (word 0), pointer bias (word 6), memory bank (byte 8)
//   directory block at the directory address: key entry count (word 0), code table count
//         (byte 7), code-area units (word 8), stored pointers to the key table (word 16), the
//         built-in code list (word 24), the code table (word 26) and the code area (word 28);
//         the key code list (count byte, then one byte per key code) starts at byte 32
//   key table: 22-byte key entries, slot i at key table + 22 i
//   code table: the code-area bitmap (one bit per unit, most significant bit of the first byte
//         is unit 0), then 6-byte code entries (id, little-endian word 8000 + first unit when in
//         use, unit count)
//   code area: 8-byte units
//   built-in code list: little-endian word N, then N 6-byte records (3-byte id, 3 bytes unused)
//
// Words are little-endian. A stored pointer v means the address v - bias when v >= bias and
// v + directory address otherwise; the builder stores each table's pointer in the form asked
// for, so that a remote can exercise either branch.
//
// The builder never refuses a strange remote: bad-memory tests get it through the raw setters
// (Bytes, Word, StoredPointer, BitmapBytes, ...), which are applied after the regular layout.
// Only a request that cannot be laid out at all (a table that would not fit below 10000 hex in
// the asked pointer form) throws std::invalid_argument.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/remote_keys.h"
#include "sim/remote_image.h"
#include "sim/remote_memory_layout.h"

enum class RemoteTable { kKeyTable, kBuiltinList, kCodeTable, kCodeArea };

// How a table's pointer is stored in the directory block.
enum class PointerForm {
    kBiased,    // stored as address + bias (>= bias: translated by subtracting the bias)
    kRelative,  // stored as address - directory address (< bias: translated by adding it)
};

class RemoteImageBuilder {
  public:
    using ByteList = std::vector<std::uint8_t>;

    // A minimal remote that passes start-up: model 7731, interface 1.3, version "1020", the
    // default addresses, no key codes, no code entries, no built-in codes.
    RemoteImageBuilder();

    // The default remote described in the namespace default_remote below.
    static RemoteImageBuilder DefaultRemote();

    // Identity and firmware.
    RemoteImageBuilder& Identity(const ByteList& fifteenBytes);
    RemoteImageBuilder& Model(const std::string& fourHexDigits);
    RemoteImageBuilder& Interface(int major, int minor);
    RemoteImageBuilder& Version(const std::string& text);

    // Where the blocks lie and how their pointers are stored.
    RemoteImageBuilder& Directory(int address);
    RemoteImageBuilder& PointerBias(int bias);
    RemoteImageBuilder& MemoryBank(int bank);
    RemoteImageBuilder& Place(RemoteTable table, int address, PointerForm form);
    // Stores this exact word as the table's pointer; the table is laid out at the translated
    // address when it fits below 10000 hex, and left out otherwise.
    RemoteImageBuilder& StoredPointer(RemoteTable table, int word);

    // Keys: the key code list in slot order and the key entries.
    RemoteImageBuilder& Keys(const std::vector<int>& keyCodes);
    // Overrides the key entry count, which otherwise equals the number of key codes.
    RemoteImageBuilder& KeyEntryCount(int count);
    // Key entry of a slot: the bytes given, zero-padded to 22.
    RemoteImageBuilder& KeyEntry(int slot, const ByteList& bytes);

    // The code table and the code area.
    RemoteImageBuilder& CodeTableCount(int count);
    RemoteImageBuilder& CodeAreaUnits(int units);
    // An entry in use: id (six hex digits), first unit and unit count; optional data for the
    // units (zero-padded to 8 x units bytes; without it the units get a recognisable pattern).
    RemoteImageBuilder& CodeEntry(int index, const std::string& id, int firstUnit, int units,
                                  const ByteList& data = {});
    // Six raw bytes of an entry.
    RemoteImageBuilder& RawCodeEntry(int index, const ByteList& sixBytes);
    // The bitmap bytes as given, instead of the bitmap made from the entries in use.
    RemoteImageBuilder& BitmapBytes(const ByteList& bytes);

    // The built-in code list (six hex digits each), and a raw record count overriding its size.
    RemoteImageBuilder& Builtin(const std::vector<std::string>& ids);
    RemoteImageBuilder& BuiltinCount(int word);

    // Raw memory, written after the layout, in the order given.
    RemoteImageBuilder& Bytes(int address, const ByteList& bytes,
                              int bank = remote_layout::kStartupBank);
    RemoteImageBuilder& Word(int address, int value, int bank = remote_layout::kStartupBank);

    // Addresses as the builder lays them out (the translated address of a raw stored pointer,
    // possibly past FFFF).
    int DirectoryAddress() const { return directory_; }
    int PointerBiasValue() const { return bias_; }
    int TableAddress(RemoteTable table) const;
    int KeyEntryAddress(int slot) const;
    int StoredPointerWord(RemoteTable table) const;

    RemoteImage Build() const;

  private:
    struct Placement {
        int address = 0;
        PointerForm form = PointerForm::kBiased;
        std::optional<int> rawWord;
    };
    struct RawWrite {
        int bank;
        int address;
        ByteList bytes;
    };

    void LayOut(std::vector<std::uint8_t>& bank) const;
    ByteList CodeTableBytes() const;

    ByteList identity_;
    int modelHigh_ = 0x77;
    int modelLow_ = 0x31;
    int major_ = 1;
    int minor_ = 3;
    std::string version_ = "1020";
    int directory_;
    int bias_;
    int memoryBank_ = remote_layout::kStartupBank;
    std::map<RemoteTable, Placement> placements_;
    std::vector<int> keyCodes_;
    std::optional<int> keyEntryCount_;
    std::map<int, ByteList> keyEntries_;
    int codeTableCount_ = 0;
    int codeAreaUnits_ = 0;
    std::map<int, ByteList> codeEntries_;
    std::map<int, ByteList> codeData_;  // first unit -> data
    std::optional<ByteList> bitmap_;
    std::vector<std::string> builtinIds_;
    std::optional<int> builtinCount_;
    std::vector<RawWrite> rawWrites_;
};

// The default remote, a model 7731 with interface version 1.3, as most tests and remote-sim's
// first start use it. Its facts, for tests that check what the program makes of it.
namespace default_remote {

inline constexpr int kDirectoryAddress = 0x8000;
inline constexpr int kPointerBias = 0x4000;
inline constexpr int kMemoryBank = 0x08;
// The key table and the built-in list are stored relative to the directory (pointer below the
// bias), the code table and the code area biased (pointer at or above the bias).
inline constexpr int kKeyTableAddress = 0x8100;
inline constexpr int kBuiltinListAddress = 0x8500;
inline constexpr int kCodeTableAddress = 0x8600;
inline constexpr int kCodeAreaAddress = 0x8700;
inline constexpr int kKeyTablePointer = 0x0100;
inline constexpr int kBuiltinListPointer = 0x0500;
inline constexpr int kCodeTablePointer = 0xC600;
inline constexpr int kCodeAreaPointer = 0xC700;

// 44 key codes, all below A8 hex, in slot order: the remote's keys (common/remote_keys.h).
inline const std::vector<int> kKeyCodes = [] {
    std::vector<int> codes;
    for (const remote_keys::RemoteKey& key : remote_keys::Keys())
        codes.push_back(key.code);
    return codes;
}();
inline constexpr int kKeyCount = 44;

// Slots of the four keys of the window's picture.
inline constexpr int kSlotOfKey00 = 0;  // downloaded code named directly (status 80): 220000
inline constexpr int kSlotOfKey01 = 1;  // no code
inline constexpr int kSlotOfKey30 =
    28;  // learned code in code entry 2 (status C0, C0 00 80 02 FF FF)
inline constexpr int kSlotOfKey33 =
    31;  // downloaded code in code entry 0 (status 80, 80 00 80 00 00 10)
// Key 34 shares code entry 0 with key 33; key 35 holds code entry 3; keys 02 to 05 hold
// downloaded codes named directly; every other key holds no code.
inline constexpr int kSlotOfKey34 = 32;
inline constexpr int kSlotOfKey35 = 33;

inline constexpr int kCodeTableCount = 16;
// 243 units: the bitmap is 31 bytes, its last byte has 5 padding bits.
inline constexpr int kCodeAreaUnits = 243;
// Entries in use: 0 (A01234, units 0-2), 2 (B6C3AF, units 3-4, the converter's raw record of
// key 30's learned signal), 3 (A09ABC, units 8-12);
// the others are free, so units 5-7 and 13 on are free.
inline constexpr int kLearnedCodeEntry = 2;

// The converter's protocol ids of NEC1-f16, NEC2-f16 and Thomson: this remote has them built in.
inline const std::vector<std::string> kBuiltinIds = {"220000", "230000", "2A0000"};
inline const std::string kVersion = "1020-7731-1.3";
// The identity (info block bytes 0-14) as the program's identity text.
inline const std::string kIdentityText = "59485A4C3737333100010203040506";

}  // namespace default_remote

// The default remote's memory image.
RemoteImage DefaultRemoteImage();
