#pragma once
// The record the converter makes of a learned signal, and the way back from a stored record to
// the signal a key sends.
//
// ConvertedCode, the text ConvertCode returns:  IIIIII::FIRST:SECOND:::DATA  (upper-case hex)
//
// Code id IIIIII, three bytes I0 I1 I2:
//   I0 01-21, I1 I2 00 00   a protocol every remote knows. The id is short: the key entry
//                           names it directly and carries its parameters; DATA is empty.
//   I0 22-7F, I1 I2 00 00   a protocol a remote may have built in (its built-in code list).
//                           DATA is the protocol's definition (below); a remote that lacks the
//                           protocol keeps it in the code area under this id, one code entry
//                           that every key of the protocol shares.
//   I0 80-FF                a raw signal that no protocol explains. I0 I1 I2 is 800000 hex
//                           plus 23 bits of a hash of DATA, so keys with identical timings
//                           share one code entry; such an id is never short and never a
//                           protocol's. (Two different timings that hash alike would share an
//                           entry too: one chance in 8 million for each pair.)
//   The first byte of each protocol is fixed in protocol_table.cpp.
//
// FIRST, 8 bytes, little-endian words:  D  S  F  V
//   device, sub-device, function, and V the Kaseikyo vendor id (M x 256 + N), else 0.
// SECOND, 8 bytes:  T  E  R  00  CC CC  00 00
//   T toggle, E the Kaseikyo extra nibble, R the repeat frames a short key press sends after
//   the first frame, CCCC the carrier in units of 10 Hz (little-endian; 0 when not measured:
//   the protocol's own carrier, 38 kHz for a raw signal). A raw record has D S F V T E R 0.
//
// DATA of a protocol, its definition ("P" record), padded with 00 to whole 8-byte units:
//   0      50 ("P")
//   1      flags: bit 0 fields most significant bit first, bit 1 bi-phase bits
//   2-3    the timing unit in tenths of a microsecond, little-endian
//   4-5    the protocol's carrier in 10 Hz, little-endian
//   6-9    the bit patterns in units, signed bytes (positive mark, negative space): the two
//          halves of a 0 bit, then of a 1 bit
//   10     check value: 0 none, 1 (D^S^F)&FF, 2 Denon-K ((D<<4)^S^(F<<4)^(F>>4))&FF,
//          3 Kaseikyo (bits 0-3 vendor parity, 4-7 data parity)
//   11     repeat frames a short key press sends by default
//   12, 13 items of the first frame (n) and of the repeat frame (m)
//   then n + m items of 4 bytes:
//          01 u u 00   mark of u units (little-endian)      02 u u 00   space of u units
//          04 u u 00   lead-out of u units                   05 p p 00   lead-out up to p x 10 µs
//                                                                         from the frame's start
//          03 s w x    field of w bits; s low nibble the source (0 D, 1 S, 2 F, 3 T, 4 E, 5 M,
//                      6 N, 7 constant, 8 check value), high nibble flags (1 inverted,
//                      2 other bit order, 4 halves of two units); x the constant's value for a
//                      constant, else the field's first bit within its source
//
// DATA of a raw signal ("R" record), padded with 00 to whole 8-byte units, 255 units at most:
//   0      52 ("R")
//   1      bits of an index: 4 or 8
//   2      n, the durations in the table (1-255)
//   3-4    L, the length of the sequence, little-endian
//   then n little-endian words: a duration in µs (bit 15 clear), or in ms (bit 15 set)
//   then L indices into the table, two to a byte (the first in the high nibble) or one: the
//          signal's durations, alternately mark and space from a mark; the last is the
//          lead-out after the final mark.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "converter/hex_text.h"
#include "converter/ir_decode.h"
#include "converter/ir_render.h"

namespace quorvel {

struct Record {
    std::uint32_t id = 0;  // three bytes
    Bytes first;           // 8 bytes
    Bytes second;          // 8 bytes
    Bytes data;
};

// What a record says about the signal it stands for.
struct RecordFields {
    Params params;
    int repeats = 0;
    std::uint32_t carrierHz = 0;  // 0: not measured
};

inline constexpr std::size_t kFieldBytes = 8;
inline constexpr std::size_t kUnitBytes = 8;
inline constexpr std::size_t kMaxDataUnits = 255;

bool IsShortId(std::uint32_t id);
bool IsRawId(std::uint32_t id);

// "IIIIII::FIRST:SECOND:::DATA".
std::string FormatConvertedCode(const Record& record);
// The pieces of a ConvertedCode; nothing when it lacks the separators or a piece is not hex.
std::optional<Record> ParseConvertedCode(std::string_view text);

Record ProtocolRecord(const Decoded& decoded, std::uint32_t carrierHz = 0);
// Nothing when the signal does not fit 255 units of code data.
std::optional<Record> RawRecord(const Durations& signal, std::uint32_t carrierHz = 0);
// The record of a signal: its protocol's when one explains it, else the raw one.
std::optional<Record> ConvertSignal(const Durations& signal, std::uint32_t carrierHz = 0);

Bytes EncodeFields(const RecordFields& fields, bool firstField);
RecordFields DecodeFields(const Bytes& first, const Bytes& second);

// The signal a key holding this record sends (the first frame and the record's repeat
// frames), from the key entry's fields and the code data (empty for a short or built-in id,
// whose protocol the remote knows). Nothing when the record names no known protocol or its
// data is not a definition or raw signal.
std::optional<Rendered> RenderRecord(std::uint32_t id, const Bytes& first, const Bytes& second,
                                     const Bytes& data);
std::optional<Rendered> RenderRecord(const Record& record);

}  // namespace quorvel
