#pragma once
// The remote's tables as the program holds them: a key slot per key, the code table's entries
// and the code area's unit bitmap. Start-up fills them from the remote's memory; the key
// operations change them and write back the bytes they stand for. Hex text appears here only
// in the renderings for diagnostics and tests (SlotText, CodeEntryText, CodeTableText,
// CodeAreaBitmap::BitText), which give the forms the program has always shown.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/memory_address.h"

// A key's code in the remote's key code list, and on its key button as two hex digits.
using KeyCode = std::uint8_t;

// A code's id: three bytes on the remote, shown as six hex digits.
struct CodeId {
    std::array<std::uint8_t, 3> bytes{};
    bool operator==(const CodeId&) const = default;
};
std::string CodeIdText(const CodeId& id);

// What a key holds.
enum class SlotState : std::uint8_t {
    kNotRead,     // the key has no key entry (more key codes than entries): no state at all
    kEmpty,       // no code
    kDownloaded,  // a code it came with, not learned
    kLearned,     // a learned code
};

// How the key's entry holds its code, as far as start-up or learning recorded it.
enum class CodeHolding : std::uint8_t {
    kNotRecorded,  // nothing recorded: the slot was never read, or the key's code was taken off
    kDirect,       // the key entry names its code itself (for an empty key: holds none)
    kCodeTable,    // the key entry points at a code-table entry
};

// One key of the remote, in slot order: slot i describes key entry i of the key table.
struct KeySlot {
    KeyCode keyCode = 0;
    SlotState state = SlotState::kNotRead;
    CodeHolding holding = CodeHolding::kNotRecorded;
    // kCodeTable: the entry's index, and the two bytes recorded after it (start-up keeps the key
    // entry's bytes 4 and 5, first byte high; learning records FFFF for an entry it made).
    std::uint8_t codeEntryIndex = 0;
    std::optional<std::uint16_t> afterIndex{};
    // kDirect: the code id learning named (start-up records none).
    std::optional<CodeId> learnedCodeId{};

    bool operator==(const KeySlot&) const = default;
};

// The slot as the program has always written it down: key code, state digit, flag digit and
// reference, "|"-separated. "30|2|1|02FFFF", "33|1|1|000010", "00|1|0|", "05|2|0|123456",
// "30|0" (code taken off), "A7|" (never read).
std::string SlotText(const KeySlot& slot);
std::vector<std::string> SlotTexts(const std::vector<KeySlot>& slots);

// A key entry: 22 bytes on the remote, one per slot of the key table,
//   byte  0      status: the key holds a code when (status AND A0) = 80, then bit 6 set =
//                learned, clear = downloaded; 00 = no code
//   byte  1      00 as learning writes it; never looked at
//   byte  2      location: bit 7 set = the code lies in the code table
//   bytes 3-5    in the code table: the entry's index, then two bytes (learning writes FFFF);
//                otherwise the code id itself
//   bytes 6-21   the code's fields: the first field in bytes 6-13, the second in 14-21
inline constexpr std::size_t kKeyEntryBytes = 22;
inline constexpr std::size_t kKeyEntryHeaderBytes = 6;
inline constexpr std::size_t kKeyEntryFieldBytes = kKeyEntryBytes - kKeyEntryHeaderBytes;
inline constexpr std::size_t kKeyEntryFirstFieldBytes = 8;
// Status bytes: the status byte lies at the key entry's address, so it is written alone to take
// a key's code off.
inline constexpr std::uint8_t kNoCodeStatus = 0x00;
inline constexpr std::uint8_t kLearnedStatus = 0xC0;
// Location bytes.
inline constexpr std::uint8_t kCodeNamedHere = 0x00;
inline constexpr std::uint8_t kCodeInCodeTable = 0x80;
// Bytes 4-5 after the entry index, as learning writes them.
inline constexpr std::uint16_t kLearnedAfterIndex = 0xFFFF;

struct KeyEntry {
    std::uint8_t status = kNoCodeStatus;
    std::uint8_t reserved = 0;
    std::uint8_t location = kCodeNamedHere;
    std::array<std::uint8_t, 3> reference{};
    std::array<std::uint8_t, kKeyEntryFieldBytes> fields{};

    bool HoldsCode() const { return (status & 0xA0) == 0x80; }
    bool Learned() const { return (status & 0x40) != 0; }
    // Whether the location byte points into the code table, whatever the status says.
    bool InCodeTable() const { return (location & 0x80) != 0; }
    // Whether the key holds a code and that code lies in the code table.
    bool HoldsTableCode() const { return HoldsCode() && InCodeTable(); }
    // The code-table entry the location points at, or none for a code named here.
    std::optional<std::uint8_t> CodeEntryIndex() const;
    // Bytes 4-5, first byte high: what follows the entry index.
    std::uint16_t AfterIndex() const;
    // Bytes 3-5 as the code id a direct entry names.
    CodeId NamedCodeId() const { return CodeId{reference}; }
    std::span<const std::uint8_t> FirstField() const;
    std::span<const std::uint8_t> SecondField() const;

    bool operator==(const KeyEntry&) const = default;
};
KeyEntry KeyEntryFromBytes(std::span<const std::uint8_t, kKeyEntryBytes> bytes);
// The header and the first fieldBytes bytes of the fields (at most kKeyEntryFieldBytes):
// learning writes only as many field bytes as its code has.
MemoryBytes KeyEntryBytes(const KeyEntry& entry, std::size_t fieldBytes = kKeyEntryFieldBytes);

// A code-table entry: six bytes on the remote,
//   bytes 0-2  code id
//   bytes 3-4  little-endian word: bit 15 set = in use, bits 0-14 = first code-area unit
//   byte  5    number of units
inline constexpr std::size_t kCodeEntryBytes = 6;
inline constexpr int kHighestCodeAreaUnit = 0x7FFF;
struct CodeEntry {
    CodeId codeId{};
    bool inUse = false;
    std::uint16_t firstUnit = 0;  // 0..kHighestCodeAreaUnit
    std::uint8_t unitCount = 0;

    bool operator==(const CodeEntry&) const = default;
};
CodeEntry CodeEntryFromBytes(std::span<const std::uint8_t, kCodeEntryBytes> bytes);
std::array<std::uint8_t, kCodeEntryBytes> CodeEntryBytes(const CodeEntry& entry);
// Twelve hex digits ("123456108003"); "000000000000" for a released entry.
std::string CodeEntryText(const CodeEntry& entry);
std::string CodeTableText(const std::vector<CodeEntry>& codeTable);

// The code area's unit bitmap: one bit per unit, set = in use, unit 0 the first byte's most
// significant bit. It keeps the padding bits of its last byte as the remote holds them, and
// never changes them or its length: on the remote the code table lies right behind it.
class CodeAreaBitmap {
  public:
    CodeAreaBitmap() = default;
    // The bitmap of unitCount units from the bytes the remote stores; the bytes beyond
    // ByteCount(unitCount) are not part of it, missing ones count as zero.
    CodeAreaBitmap(int unitCount, std::span<const std::uint8_t> bytes);
    // A bitmap of as many units as the text has characters: '1' is a unit in use, any other
    // character a free one. Padding bits are zero.
    static CodeAreaBitmap FromBitText(std::string_view bits);

    static int ByteCount(int unitCount) { return unitCount <= 0 ? 0 : (unitCount + 7) / 8; }

    int UnitCount() const { return unitCount_; }
    // Whether unit is in use; false for anything but a unit of the code area.
    bool IsUsed(int unit) const;
    // Marks a unit used or free; a number outside 0..UnitCount()-1 (a padding bit or beyond)
    // changes nothing.
    void SetUsed(int unit, bool used);
    // The bytes the remote stores, padding bits included.
    const MemoryBytes& Bytes() const { return bytes_; }
    // '0' or '1' per bit, eight per byte, padding bits included ("1111111111000011").
    std::string BitText() const;

    bool operator==(const CodeAreaBitmap&) const = default;

  private:
    int unitCount_ = 0;
    MemoryBytes bytes_;
};
