#pragma once
// The one table of protocol names the code collections use, each beside the converter's
// protocol that sends the same signal and the way the file's numbers become its parameters.
// The readers look names up here, and the writers (the Flipper file) find a file's name for a
// converter protocol here, so that a name is read and written the same way.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "converter/code_collection.h"
#include "converter/ir_protocol.h"

namespace quorvel {

// How a format's numbers become the converter's parameters.
enum class NumberLayout {
    // The CSV's device, subdevice and function are D, S and F (subdevice -1: the protocol's
    // own rule for S).
    kDeviceSubdeviceFunction,
    // Flipper: address and command are little-endian values of these widths.
    kNec,       // address 8 bits (D; S is ~D), command 8 (F)
    kNecExt,    // address 16 (D, then S), command 16: F and ~F, or else a 16-bit F (-f16)
    kNec42,     // address 13 (D: 8, S: 5), command 8
    kNec42Ext,  // address 26 and command 16, sent as they are: Aiwa when they hold the
                // 13-bit address and the command each followed by its complement
    kSamsung,   // address 8 (D and S alike), command 8
    kRc5,       // address 5, command 6 (RC5X: 7)
    kRc6,       // address 8, command 8
    kSony,      // command 7; address 5 (SIRC), 8 (SIRC15) or 13 (SIRC20: D 5, S 8)
    kKaseikyo,  // address: vendor 16, genre 4 + 4, id 2; command 10; by vendor id
    kRca,       // address 4, command 8
};

struct CollectionProtocol {
    CollectionFormat format;
    std::string_view name;           // as the format spells it
    std::string_view converterName;  // the converter's protocol (ir_protocol.h)
    NumberLayout layout;
    std::uint8_t addressBits = 0;  // Flipper: the widest address and command it carries
    std::uint8_t commandBits = 0;
};

const std::vector<CollectionProtocol>& CollectionProtocols();

// The row for a format's protocol name (ASCII case ignored); none for a name the table lacks.
const CollectionProtocol* FindCollectionProtocol(CollectionFormat format, std::string_view name);

// A Flipper parsed signal: its protocol's row and the two values the file holds.
struct FlipperNumbers {
    std::string_view protocol;
    std::uint32_t address = 0;
    std::uint32_t command = 0;
};

// What a Flipper parsed signal sends: the converter's protocol and parameters, or why not
// (a value past its protocol's width is malformed: the caller reports it with the line).
Result<ButtonSignal> FlipperSignal(const CollectionProtocol& row, std::uint32_t address,
                                   std::uint32_t command);

// The Flipper parsed form of a decoded signal, when one of Flipper's protocols sends exactly
// it; none when the signal must go as raw.
std::optional<FlipperNumbers> FlipperFormOf(const ProtocolDef& def, const Params& params);

}  // namespace quorvel
