#pragma once
// A Flipper Zero infrared signal file ("Filetype: IR signals file", "Version: 1"; its universal
// library files too): "key: value" lines, a signal starting at its "name", '#' lines comments.
// A parsed signal names its protocol and holds address and command as four little-endian hex
// bytes each; a raw one holds frequency, duty_cycle and data, unsigned microseconds from a
// mark (an even count ends with the space after the last mark; a long signal's data may go on
// over further data lines).

#include <string_view>

#include "converter/code_collection.h"

namespace quorvel {

CollectionReading ReadFlipperFile(std::string_view text);

}  // namespace quorvel
