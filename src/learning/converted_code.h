#pragma once
// The converter's result, "IIIIII::FIRST:SECOND:::DATA", read into its parts. The converter is
// a separate library that may be replaced, so its text is checked before any of it reaches the
// remote: a result that does not have this shape fails the attempt.

#include <cstddef>
#include <optional>
#include <string_view>

#include "device/memory_address.h"
#include "device/remote_tables.h"

// A code-table entry counts its units in one byte.
inline constexpr int kMostCodeUnits = 255;

struct ConvertedCode {
    CodeId codeId{};
    MemoryBytes fields;  // the first field, then the second: copied behind the key entry's header
    // The code data's hex text as the converter gave it: only a code that gets a new code-table
    // entry stores it, so it is checked only then (CodeDataBytes).
    std::string_view codeData;
};

// The parts of a result, or none when it lacks a separator, its id is not six hex digits, or
// its fields are not whole bytes of hex, or more than a key entry's kKeyEntryFieldBytes together.
std::optional<ConvertedCode> ParseConvertedCode(std::string_view result);

// The code data as bytes, or none when it is empty, not whole bytes of hex, or needs more than
// kMostCodeUnits units.
std::optional<MemoryBytes> CodeDataBytes(std::string_view codeData);

// The units that many bytes of code data take (8 bytes a unit, the last one possibly partly).
int CodeUnitsFor(std::size_t dataBytes);
