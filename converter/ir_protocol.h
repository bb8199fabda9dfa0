#pragma once
// Infrared protocols as data. Every protocol the converter knows is one ProtocolDef in one table
// (protocol_table.cpp); the decoder and the renderer both walk the same definition, and a
// definition is also what the code area carries for a protocol that a remote lacks
// (protocol_code.h), so the three can never disagree.
//
// A definition reads like the IRP notation of the infrared world:
//   NEC1  {38.4k,564}<1,-1|1,-3>(16,-8,D:8,S:8,F:8,~F:8,1,^108m,(16,-4,1,^108m)*)
// is a unit of 564 µs, a zero bit of mark 1 / space 1 units and a one bit of mark 1 / space 3,
// a first frame (header mark 16, space 8, four fields, stop mark, lead-out to 108 ms from the
// frame's start) and a repeat frame sent while the key is held.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Signed durations in microseconds: positive a mark (carrier on), negative a space.
using Durations = std::vector<std::int32_t>;

// The parameters a protocol may carry. D, S, F, T are the device, sub-device, function and
// toggle of the infrared world; E, M, N are the Kaseikyo family's extra nibble and vendor id.
enum class Param : std::uint8_t { kD, kS, kF, kT, kE, kM, kN };
inline constexpr int kParamCount = 7;
inline constexpr std::array<char, kParamCount> kParamNames = {'D', 'S', 'F', 'T', 'E', 'M', 'N'};

struct Params {
    std::array<std::uint32_t, kParamCount> values{};
    std::uint32_t& operator[](Param p) { return values[static_cast<int>(p)]; }
    std::uint32_t operator[](Param p) const { return values[static_cast<int>(p)]; }
    bool operator==(const Params&) const = default;
};

// Where the bits of a field come from.
enum class Source : std::uint8_t {
    kD,
    kS,
    kF,
    kT,
    kE,
    kM,
    kN,
    kConst,  // a fixed value, checked when decoding
    kCheck,  // bits of the protocol's check value (Checksum), computed from the parameters
};

enum class Checksum : std::uint8_t {
    kNone,
    kXorDSF,    // (D ^ S ^ F) & FF: Panasonic
    kDenonK,    // ((D << 4) ^ S ^ (F << 4) ^ (F >> 4)) & FF
    kKaseikyo,  // bits 0-3: vendor parity X, bits 4-7: data parity C
};

enum class ItemKind : std::uint8_t {
    kMark = 1,      // value: units
    kSpace = 2,     // value: units
    kBits = 3,      // a field
    kGap = 4,       // lead-out space of value units (a minimum when decoding)
    kGapTotal = 5,  // lead-out up to value x 10 µs from the frame's start (a minimum too)
};

// Field flags.
inline constexpr std::uint8_t kInvert = 1;   // the bits are sent inverted (~F)
inline constexpr std::uint8_t kReverse = 2;  // sent in the other bit order than the protocol's
inline constexpr std::uint8_t kDouble = 4;   // each half of a bit lasts two units (RC6 trailer)

struct Item {
    ItemKind kind = ItemKind::kMark;
    std::uint16_t value = 0;  // durations: units, or 10 µs for kGapTotal
    Source source = Source::kConst;
    std::uint8_t width = 0;     // bits in the field
    std::uint8_t shift = 0;     // the field is bits shift .. shift+width-1 of its source
    std::uint8_t flags = 0;     // kInvert, kReverse, kDouble
    std::uint8_t constant = 0;  // the value of a kConst field

    bool operator==(const Item&) const = default;
};

// A bit pattern: two signed durations in units (positive mark, negative space).
using BitPattern = std::array<std::int8_t, 2>;

struct ProtocolDef {
    std::string name;
    std::uint8_t id = 0;           // the first byte of the code id
    std::uint32_t carrierHz = 0;   // the protocol's carrier; 0 for unmodulated
    std::uint16_t unitTenths = 0;  // the timing unit in tenths of a microsecond
    bool msbFirst = false;         // fields are sent most significant bit first
    bool biphase = false;          // bits are two equal halves of opposite level (RC5, RC6)
    BitPattern zero{};             // the pattern of a 0 bit
    BitPattern one{};              // the pattern of a 1 bit
    Checksum checksum = Checksum::kNone;
    std::vector<Item> first;   // the frame sent once
    std::vector<Item> repeat;  // the frame sent while the key is held (may equal first)
    int defaultRepeats = 0;    // repeat frames of a short key press when none are asked for
    // The protocol differs from a later one of the table in nothing but the carrier: it is
    // decoded only when the measured carrier lies nearer to its own.
    bool carrierDecides = false;
    // Defaults for parameters a user leaves out: S as 255 - D (the NEC family), or a value.
    bool subDeviceIsNotDevice = false;
    std::uint32_t defaultSubDevice = 0;

    double UnitUs() const { return unitTenths / 10.0; }
    // Whether the protocol has parameter p, and the largest value it can carry.
    bool HasParam(Param p) const;
    std::uint32_t MaxValue(Param p) const;
    bool operator==(const ProtocolDef&) const = default;
};

// The table, in decoding order: where two protocols could both explain a signal, the earlier one
// wins, so the more specific protocols stand first.
const std::vector<ProtocolDef>& ProtocolTable();
// Lookup by name (ASCII case ignored) or by the code id's first byte.
const ProtocolDef* FindProtocol(std::string_view name);
const ProtocolDef* FindProtocolById(std::uint8_t id);

// Code ids below this first byte are short: every remote knows the protocol.
inline constexpr std::uint8_t kFirstOptionalProtocolId = 0x22;
// Code ids from this first byte up are raw signals.
inline constexpr std::uint8_t kFirstRawId = 0x80;

// The check value of the protocol's checksum for these parameters.
std::uint32_t CheckValue(Checksum checksum, const Params& params);

// The parameters a user left out, filled with the protocol's defaults; `given` tells which
// values of params were given.
void ApplyDefaults(const ProtocolDef& def, Params& params,
                   const std::array<bool, kParamCount>& given);

}  // namespace quorvel
