#include "converter/collection_protocols.h"

#include <algorithm>
#include <cctype>

namespace quorvel {
namespace {

using L = NumberLayout;
constexpr CollectionFormat kFlipper = CollectionFormat::kFlipper;
constexpr CollectionFormat kCsv = CollectionFormat::kProtocolCsv;

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

const ProtocolDef& Converter(std::string_view name) {
    // Every name of the table is one of the converter's; a test holds it to that.
    return *FindProtocol(name);
}

ButtonSignal Sends(const ProtocolDef& def, std::string_view fileProtocol,
                   std::initializer_list<std::pair<Param, std::uint32_t>> values) {
    ButtonSignal signal;
    signal.kind = ButtonSignal::Kind::kProtocol;
    signal.protocol = &def;
    signal.fileProtocol = std::string(fileProtocol);
    for (const auto& [param, value] : values)
        signal.params[param] = value;
    return signal;
}

ButtonSignal Unsendable(std::string_view fileProtocol, std::string why) {
    ButtonSignal signal;
    signal.fileProtocol = std::string(fileProtocol);
    signal.unsendable = std::move(why);
    return signal;
}

std::string Hex(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

constexpr std::uint32_t kPanasonicVendor = 0x2002;
constexpr std::uint32_t kDenonVendor = 0x3254;

}  // namespace

const std::vector<CollectionProtocol>& CollectionProtocols() {
    static const std::vector<CollectionProtocol> table{
        // Flipper Zero's protocols: NEC repeats with the short ditto frame (NEC1), Pioneer
        // with whole frames at 40 kHz.
        {kFlipper, "NEC", "NEC1", L::kNec, 8, 8},
        {kFlipper, "NECext", "NEC1", L::kNecExt, 16, 16},
        {kFlipper, "NEC42", "Aiwa", L::kNec42, 13, 8},
        {kFlipper, "NEC42ext", "Aiwa", L::kNec42Ext, 26, 16},
        {kFlipper, "Samsung32", "Samsung32", L::kSamsung, 8, 8},
        {kFlipper, "RC5", "RC5", L::kRc5, 5, 6},
        {kFlipper, "RC5X", "RC5", L::kRc5, 5, 7},
        {kFlipper, "RC6", "RC6", L::kRc6, 8, 8},
        {kFlipper, "SIRC", "Sony12", L::kSony, 5, 7},
        {kFlipper, "SIRC15", "Sony15", L::kSony, 8, 7},
        {kFlipper, "SIRC20", "Sony20", L::kSony, 13, 7},
        {kFlipper, "Kaseikyo", "Panasonic", L::kKaseikyo, 26, 10},
        {kFlipper, "RCA", "RCA", L::kRca, 4, 8},
        {kFlipper, "Pioneer", "Pioneer", L::kNec, 8, 8},
        // The protocol database's names: the converter's own, and those it spells otherwise.
        // NECx2 repeats whole frames, as the converter's Samsung32 does (its unit lies within
        // 1 % of NECx's).
        {kCsv, "NEC", "NEC1", L::kDeviceSubdeviceFunction},
        {kCsv, "NEC1", "NEC1", L::kDeviceSubdeviceFunction},
        {kCsv, "NEC2", "NEC2", L::kDeviceSubdeviceFunction},
        {kCsv, "NEC1-f16", "NEC1-f16", L::kDeviceSubdeviceFunction},
        {kCsv, "NEC2-f16", "NEC2-f16", L::kDeviceSubdeviceFunction},
        {kCsv, "NECx1", "NECx1", L::kDeviceSubdeviceFunction},
        {kCsv, "NECx2", "Samsung32", L::kDeviceSubdeviceFunction},
        {kCsv, "Samsung32", "Samsung32", L::kDeviceSubdeviceFunction},
        {kCsv, "Aiwa", "Aiwa", L::kDeviceSubdeviceFunction},
        {kCsv, "JVC", "JVC", L::kDeviceSubdeviceFunction},
        {kCsv, "Sony12", "Sony12", L::kDeviceSubdeviceFunction},
        {kCsv, "Sony15", "Sony15", L::kDeviceSubdeviceFunction},
        {kCsv, "Sony20", "Sony20", L::kDeviceSubdeviceFunction},
        {kCsv, "RC5", "RC5", L::kDeviceSubdeviceFunction},
        {kCsv, "RC5-7F", "RC5", L::kDeviceSubdeviceFunction},
        {kCsv, "RC5x", "RC5x", L::kDeviceSubdeviceFunction},
        {kCsv, "RC6", "RC6", L::kDeviceSubdeviceFunction},
        {kCsv, "RC6-0-16", "RC6", L::kDeviceSubdeviceFunction},
        {kCsv, "RC6-6-32", "MCE", L::kDeviceSubdeviceFunction},
        {kCsv, "MCE", "MCE", L::kDeviceSubdeviceFunction},
        {kCsv, "Panasonic", "Panasonic", L::kDeviceSubdeviceFunction},
        {kCsv, "Denon-K", "Denon-K", L::kDeviceSubdeviceFunction},
        {kCsv, "Kaseikyo", "Kaseikyo", L::kDeviceSubdeviceFunction},
        {kCsv, "Sharp", "Sharp", L::kDeviceSubdeviceFunction},
        {kCsv, "Denon", "Denon", L::kDeviceSubdeviceFunction},
        {kCsv, "RCA", "RCA", L::kDeviceSubdeviceFunction},
        {kCsv, "Dish_Network", "Dish_Network", L::kDeviceSubdeviceFunction},
        {kCsv, "Thomson", "Thomson", L::kDeviceSubdeviceFunction},
        {kCsv, "Pioneer", "Pioneer", L::kDeviceSubdeviceFunction},
    };
    return table;
}

const CollectionProtocol* FindCollectionProtocol(CollectionFormat format, std::string_view name) {
    for (const CollectionProtocol& row : CollectionProtocols()) {
        if (row.format == format && SameName(row.name, name))
            return &row;
    }
    return nullptr;
}

Result<ButtonSignal> FlipperSignal(const CollectionProtocol& row, std::uint32_t address,
                                   std::uint32_t command) {
    const auto widest = [](int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; };
    if (address > widest(row.addressBits))
        return Failure("address " + Hex(address) + " is wider than " + std::string(row.name) +
                       "'s " + std::to_string(row.addressBits) + " bits");
    if (command > widest(row.commandBits))
        return Failure("command " + Hex(command) + " is wider than " + std::string(row.name) +
                       "'s " + std::to_string(row.commandBits) + " bits");
    const ProtocolDef& def = Converter(row.converterName);
    using P = Param;
    switch (row.layout) {
        case L::kNec:
            return Sends(def, row.name,
                         {{P::kD, address}, {P::kS, ~address & 0xFF}, {P::kF, command}});
        case L::kNecExt:
            if ((command >> 8) == (~command & 0xFF))
                return Sends(
                    def, row.name,
                    {{P::kD, address & 0xFF}, {P::kS, address >> 8}, {P::kF, command & 0xFF}});
            return Sends(Converter("NEC1-f16"), row.name,
                         {{P::kD, address & 0xFF}, {P::kS, address >> 8}, {P::kF, command}});
        case L::kNec42:
            return Sends(def, row.name,
                         {{P::kD, address & 0xFF}, {P::kS, address >> 8}, {P::kF, command}});
        case L::kNec42Ext: {
            const std::uint32_t low = address & 0x1FFF;
            if ((address >> 13) != (~low & 0x1FFF) || (command >> 8) != (~command & 0xFF))
                return Unsendable(row.name,
                                  "NEC42ext without the complements of its address and command "
                                  "is no protocol the converter renders");
            return Sends(def, row.name,
                         {{P::kD, low & 0xFF}, {P::kS, low >> 8}, {P::kF, command & 0xFF}});
        }
        case L::kSamsung:
            return Sends(def, row.name, {{P::kD, address}, {P::kS, address}, {P::kF, command}});
        case L::kRc5:
        case L::kRc6:
        case L::kRca:
            return Sends(def, row.name, {{P::kD, address}, {P::kF, command}});
        case L::kSony:
            if (row.addressBits == 13)
                return Sends(def, row.name,
                             {{P::kD, address & 0x1F}, {P::kS, address >> 5}, {P::kF, command}});
            return Sends(def, row.name, {{P::kD, address}, {P::kF, command}});
        case L::kKaseikyo: {
            const std::uint32_t vendor = address & 0xFFFF;
            const std::uint32_t genre1 = (address >> 16) & 0xF;
            const std::uint32_t genre2 = (address >> 20) & 0xF;
            const std::uint32_t id = address >> 24;
            if (vendor == kPanasonicVendor)
                return Sends(def, row.name,
                             {{P::kD, genre1 << 4},
                              {P::kS, genre2 | (command & 0xF) << 4},
                              {P::kF, (command >> 4) | id << 6}});
            if (vendor == kDenonVendor)
                return Sends(Converter("Denon-K"), row.name,
                             {{P::kD, genre1}, {P::kS, genre2}, {P::kF, command | id << 10}});
            return Unsendable(row.name, "Kaseikyo of vendor " + Hex(vendor) +
                                            " is no protocol the converter renders (it renders "
                                            "Panasonic's 0x2002 and Denon's 0x3254)");
        }
        case L::kDeviceSubdeviceFunction:
            break;
    }
    return Failure("not a Flipper protocol");
}

std::optional<FlipperNumbers> FlipperFormOf(const ProtocolDef& def, const Params& params) {
    using P = Param;
    const std::uint32_t d = params[P::kD], s = params[P::kS], f = params[P::kF];
    const std::string_view name = def.name;
    const auto form = [](std::string_view protocol, std::uint32_t address, std::uint32_t command) {
        return std::optional<FlipperNumbers>(FlipperNumbers{protocol, address, command});
    };
    if (name == "NEC1")
        return s == (~d & 0xFF) ? form("NEC", d, f)
                                : form("NECext", d | s << 8, f | (~f & 0xFF) << 8);
    if (name == "NEC1-f16")
        return form("NECext", d | s << 8, f);
    if (name == "Aiwa")
        return form("NEC42", d | s << 8, f);
    if (name == "Samsung32" && s == d)
        return form("Samsung32", d, f);
    if (name == "RC5" && params[P::kT] == 0)
        return form(f < 64 ? "RC5" : "RC5X", d, f);
    if (name == "RC6" && params[P::kT] == 0)
        return form("RC6", d, f);
    if (name == "Sony12")
        return form("SIRC", d, f);
    if (name == "Sony15")
        return form("SIRC15", d, f);
    if (name == "Sony20")
        return form("SIRC20", d | s << 5, f);
    if (name == "Panasonic" && (d & 0xF) == 0)
        return form("Kaseikyo",
                    kPanasonicVendor | (d >> 4) << 16 | (s & 0xF) << 20 | (f >> 6) << 24,
                    (s >> 4) | (f & 0x3F) << 4);
    if (name == "Denon-K")
        return form("Kaseikyo", kDenonVendor | d << 16 | s << 20 | (f >> 10) << 24, f & 0x3FF);
    if (name == "RCA")
        return form("RCA", d, f);
    if (name == "Pioneer" && s == (~d & 0xFF))
        return form("Pioneer", d, f);
    return std::nullopt;
}

}  // namespace quorvel
