// The protocols the converter knows. Each entry is written beside the IRP notation it follows;
// the code id's first byte is fixed for good, since remotes store it.
#include <algorithm>
#include <cctype>

#include "converter/ir_protocol.h"

namespace quorvel {
namespace {

Item Mark(int units) {
    return {ItemKind::kMark, static_cast<std::uint16_t>(units)};
}
Item Space(int units) {
    return {ItemKind::kSpace, static_cast<std::uint16_t>(units)};
}
Item Gap(int units) {
    return {ItemKind::kGap, static_cast<std::uint16_t>(units)};
}
// Lead-out to `tenMicroseconds` x 10 µs from the frame's start (IRP ^).
Item GapTotal(int tenMicroseconds) {
    return {ItemKind::kGapTotal, static_cast<std::uint16_t>(tenMicroseconds)};
}
Item Bits(Source source, int width, int shift = 0, std::uint8_t flags = 0) {
    Item item{ItemKind::kBits};
    item.source = source;
    item.width = static_cast<std::uint8_t>(width);
    item.shift = static_cast<std::uint8_t>(shift);
    item.flags = flags;
    return item;
}
Item Const(int value, int width, std::uint8_t flags = 0) {
    Item item = Bits(Source::kConst, width, 0, flags);
    item.constant = static_cast<std::uint8_t>(value);
    return item;
}

constexpr BitPattern kPulse13 = {1, -3};
constexpr BitPattern kPulse11 = {1, -1};

ProtocolDef Pulse(const char* name, int id, std::uint32_t carrier, int unitTenths, BitPattern zero,
                  BitPattern one) {
    ProtocolDef def;
    def.name = name;
    def.id = static_cast<std::uint8_t>(id);
    def.carrierHz = carrier;
    def.unitTenths = static_cast<std::uint16_t>(unitTenths);
    def.zero = zero;
    def.one = one;
    return def;
}

// {38.4k,564}<1,-1|1,-3>(16,-8,D:8,S:8,<function>,1,^108m, <repeat>)
ProtocolDef Nec(const char* name, int id, bool ditto, bool f16, std::uint32_t carrier = 38400) {
    ProtocolDef def = Pulse(name, id, carrier, 5640, kPulse11, kPulse13);
    def.first = {Mark(16), Space(8), Bits(Source::kD, 8), Bits(Source::kS, 8)};
    if (f16) {
        def.first.push_back(Bits(Source::kF, 16));
    } else {
        def.first.push_back(Bits(Source::kF, 8));
        def.first.push_back(Bits(Source::kF, 8, 0, kInvert));
    }
    def.first.push_back(Mark(1));
    def.first.push_back(GapTotal(10800));
    def.repeat =
        ditto ? std::vector<Item>{Mark(16), Space(4), Mark(1), GapTotal(10800)} : def.first;
    def.subDeviceIsNotDevice = true;
    return def;
}

// {38.4k,564}<1,-1|1,-3>(8,-8,D:8,S:8,F:8,~F:8,1,^108m, <repeat>)
ProtocolDef NecX(const char* name, int id, bool shortRepeat, std::uint32_t carrier,
                 int unitTenths) {
    ProtocolDef def = Pulse(name, id, carrier, unitTenths, kPulse11, kPulse13);
    def.first = {Mark(8),
                 Space(8),
                 Bits(Source::kD, 8),
                 Bits(Source::kS, 8),
                 Bits(Source::kF, 8),
                 Bits(Source::kF, 8, 0, kInvert),
                 Mark(1),
                 GapTotal(10800)};
    def.repeat = shortRepeat ? std::vector<Item>{Mark(8), Space(8), Bits(Source::kD, 1), Mark(1),
                                                 GapTotal(10800)}
                             : def.first;
    def.subDeviceIsNotDevice = true;
    return def;
}

// {40k,600}<1,-1|2,-1>(4,-1,F:7,D:n,[S:8],^45m)*
ProtocolDef Sony(const char* name, int id, int deviceBits, bool subDevice) {
    ProtocolDef def = Pulse(name, id, 40000, 6000, {1, -1}, {2, -1});
    def.first = {Mark(4), Space(1), Bits(Source::kF, 7), Bits(Source::kD, deviceBits)};
    if (subDevice)
        def.first.push_back(Bits(Source::kS, 8));
    def.first.push_back(GapTotal(4500));
    def.repeat = def.first;
    def.defaultRepeats = 2;  // Sony remotes send a command at least three times
    return def;
}

ProtocolDef Biphase(const char* name, int id, std::uint32_t carrier, int unitTenths,
                    BitPattern zero, BitPattern one) {
    ProtocolDef def = Pulse(name, id, carrier, unitTenths, zero, one);
    def.msbFirst = true;
    def.biphase = true;
    return def;
}

// {37k,432}<1,-1|1,-3>(8,-4,<48 bits>,1,-173)*
ProtocolDef Kaseikyo(const char* name, int id, Checksum checksum, std::vector<Item> data) {
    ProtocolDef def = Pulse(name, id, 37000, 4320, kPulse11, kPulse13);
    def.checksum = checksum;
    def.first = {Mark(8), Space(4)};
    def.first.insert(def.first.end(), data.begin(), data.end());
    def.first.push_back(Mark(1));
    def.first.push_back(Gap(173));
    def.repeat = def.first;
    return def;
}

// {38k,264}<1,-3|1,-7>(D:5,F:8,a:2,1,-165,D:5,~F:8,b:2,1,-165)*: a frame and its inverted echo.
ProtocolDef SharpFamily(const char* name, int id, int firstExtension, int echoExtension) {
    ProtocolDef def = Pulse(name, id, 38000, 2640, {1, -3}, {1, -7});
    def.first = {Bits(Source::kD, 5),
                 Bits(Source::kF, 8),
                 Const(firstExtension, 2),
                 Mark(1),
                 Gap(165),
                 Bits(Source::kD, 5),
                 Bits(Source::kF, 8, 0, kInvert),
                 Const(echoExtension, 2),
                 Mark(1),
                 Gap(165)};
    def.repeat = def.first;
    return def;
}

std::vector<ProtocolDef> MakeTable() {
    std::vector<ProtocolDef> table;

    // Pioneer is NEC2 at 40 kHz; only the carrier tells them apart.
    ProtocolDef pioneer = Nec("Pioneer", 0x2B, false, false, 40000);
    pioneer.carrierDecides = true;
    table.push_back(pioneer);

    table.push_back(Nec("NEC1", 0x01, true, false));
    table.push_back(Nec("NEC2", 0x02, false, false));
    table.push_back(Nec("NEC1-f16", 0x22, true, true));
    table.push_back(Nec("NEC2-f16", 0x23, false, true));
    table.push_back(NecX("NECx1", 0x03, true, 38400, 5640));
    // Samsung32 is NECx with whole frames repeated, at Samsung's 560 µs and 38 kHz.
    table.push_back(NecX("Samsung32", 0x04, false, 38000, 5600));

    // {38k,550}<1,-1|1,-3>(16,-8,D:8,S:5,~D:8,~S:5,F:8,~F:8,1,-42,(16,-8,1,-165)*)
    ProtocolDef aiwa = Pulse("Aiwa", 0x27, 38000, 5500, kPulse11, kPulse13);
    aiwa.first = {Mark(16),
                  Space(8),
                  Bits(Source::kD, 8),
                  Bits(Source::kS, 5),
                  Bits(Source::kD, 8, 0, kInvert),
                  Bits(Source::kS, 5, 0, kInvert),
                  Bits(Source::kF, 8),
                  Bits(Source::kF, 8, 0, kInvert),
                  Mark(1),
                  Gap(42)};
    aiwa.repeat = {Mark(16), Space(8), Mark(1), Gap(165)};
    table.push_back(aiwa);

    // {37.9k,527}<1,-1|1,-3>(16,-8,D:8,F:8,1,^59.08m,(D:8,F:8,1,^46.42m)*): headerless repeats.
    ProtocolDef jvc = Pulse("JVC", 0x0B, 37900, 5270, kPulse11, kPulse13);
    jvc.first = {Mark(16), Space(8),      Bits(Source::kD, 8), Bits(Source::kF, 8),
                 Mark(1),  GapTotal(5908)};
    jvc.repeat = {Bits(Source::kD, 8), Bits(Source::kF, 8), Mark(1), GapTotal(4642)};
    table.push_back(jvc);

    table.push_back(Sony("Sony12", 0x05, 5, false));
    table.push_back(Sony("Sony15", 0x06, 8, false));
    table.push_back(Sony("Sony20", 0x07, 5, true));

    // {36k,msb,889}<1,-1|-1,1>(1,~F:1:6,T:1,D:5,F:6,^114m)*
    ProtocolDef rc5 = Biphase("RC5", 0x08, 36000, 8890, {1, -1}, {-1, 1});
    rc5.first = {Mark(1),
                 Bits(Source::kF, 1, 6, kInvert),
                 Bits(Source::kT, 1),
                 Bits(Source::kD, 5),
                 Bits(Source::kF, 6),
                 GapTotal(11400)};
    rc5.repeat = rc5.first;
    table.push_back(rc5);

    // {36k,msb,889}<1,-1|-1,1>(1,~S:1:6,T:1,D:5,-4,S:6,F:6,^114m)*
    ProtocolDef rc5x = Biphase("RC5x", 0x09, 36000, 8890, {1, -1}, {-1, 1});
    rc5x.first = {Mark(1),
                  Bits(Source::kS, 1, 6, kInvert),
                  Bits(Source::kT, 1),
                  Bits(Source::kD, 5),
                  Space(4),
                  Bits(Source::kS, 6),
                  Bits(Source::kF, 6),
                  GapTotal(11400)};
    rc5x.repeat = rc5x.first;
    table.push_back(rc5x);

    // {36k,444,msb}<-1,1|1,-1>(6,-2,1:1,0:3,<-2,2|2,-2>(T:1),D:8,F:8,^107m)*
    ProtocolDef rc6 = Biphase("RC6", 0x0A, 36000, 4444, {-1, 1}, {1, -1});
    rc6.first = {Mark(6),
                 Space(2),
                 Const(1, 1),
                 Const(0, 3),
                 Bits(Source::kT, 1, 0, kDouble),
                 Bits(Source::kD, 8),
                 Bits(Source::kF, 8),
                 GapTotal(10700)};
    rc6.repeat = rc6.first;
    table.push_back(rc6);

    // {36k,444,msb}<-1,1|1,-1>(6,-2,1:1,6:3,-2,2,128:8,S:8,T:1,D:7,F:8,^107m)*: RC6-6-32
    ProtocolDef mce = Biphase("MCE", 0x24, 36000, 4444, {-1, 1}, {1, -1});
    mce.first = {Mark(6),
                 Space(2),
                 Const(1, 1),
                 Const(6, 3),
                 Const(0, 1, kDouble),
                 Const(128, 8),
                 Bits(Source::kS, 8),
                 Bits(Source::kT, 1),
                 Bits(Source::kD, 7),
                 Bits(Source::kF, 8),
                 GapTotal(10700)};
    mce.repeat = mce.first;
    mce.defaultSubDevice = 15;  // the 800F of Media Center remotes
    table.push_back(mce);

    // The Kaseikyo family, told apart by the vendor id in the first two bytes.
    table.push_back(Kaseikyo("Panasonic", 0x0C, Checksum::kXorDSF,
                             {Const(2, 8), Const(32, 8), Bits(Source::kD, 8), Bits(Source::kS, 8),
                              Bits(Source::kF, 8), Bits(Source::kCheck, 8)}));
    table.push_back(Kaseikyo("Denon-K", 0x26, Checksum::kDenonK,
                             {Const(84, 8), Const(50, 8), Const(0, 4), Bits(Source::kD, 4),
                              Bits(Source::kS, 4), Bits(Source::kF, 12), Bits(Source::kCheck, 8)}));
    table.push_back(Kaseikyo("Kaseikyo", 0x25, Checksum::kKaseikyo,
                             {Bits(Source::kM, 8), Bits(Source::kN, 8), Bits(Source::kCheck, 4),
                              Bits(Source::kD, 4), Bits(Source::kS, 8), Bits(Source::kF, 8),
                              Bits(Source::kE, 4), Bits(Source::kCheck, 4, 4)}));

    table.push_back(SharpFamily("Sharp", 0x0D, 1, 2));
    table.push_back(SharpFamily("Denon", 0x0E, 0, 3));

    // {58k,460,msb}<1,-2|1,-4>(8,-8,D:4,F:8,~D:4,~F:8,1,-16)*
    ProtocolDef rca = Pulse("RCA", 0x28, 58000, 4600, {1, -2}, {1, -4});
    rca.msbFirst = true;
    rca.first = {Mark(8),
                 Space(8),
                 Bits(Source::kD, 4),
                 Bits(Source::kF, 8),
                 Bits(Source::kD, 4, 0, kInvert),
                 Bits(Source::kF, 8, 0, kInvert),
                 Mark(1),
                 Gap(16)};
    rca.repeat = rca.first;
    table.push_back(rca);

    // {57.6k,406}<1,-7|1,-4>(1,-15,(F:-6,S:5,D:5,1,-15)+): the lead-in comes once.
    ProtocolDef dish = Pulse("Dish_Network", 0x29, 57600, 4060, {1, -7}, {1, -4});
    dish.repeat = {Bits(Source::kF, 6, 0, kReverse), Bits(Source::kS, 5), Bits(Source::kD, 5),
                   Mark(1), Gap(15)};
    dish.first = {Mark(1), Space(15)};
    dish.first.insert(dish.first.end(), dish.repeat.begin(), dish.repeat.end());
    table.push_back(dish);

    // {33k,500}<1,-4|1,-9>(D:4,T:1,D:1:4,F:6,1,^80m)*
    ProtocolDef thomson = Pulse("Thomson", 0x2A, 33000, 5000, {1, -4}, {1, -9});
    thomson.first = {Bits(Source::kD, 4),
                     Bits(Source::kT, 1),
                     Bits(Source::kD, 1, 4),
                     Bits(Source::kF, 6),
                     Mark(1),
                     GapTotal(8000)};
    thomson.repeat = thomson.first;
    table.push_back(thomson);

    return table;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

const std::vector<ProtocolDef>& ProtocolTable() {
    static const std::vector<ProtocolDef> table = MakeTable();
    return table;
}

const ProtocolDef* FindProtocol(std::string_view name) {
    for (const ProtocolDef& def : ProtocolTable()) {
        if (SameName(def.name, name))
            return &def;
    }
    return nullptr;
}

const ProtocolDef* FindProtocolById(std::uint8_t id) {
    for (const ProtocolDef& def : ProtocolTable()) {
        if (def.id == id)
            return &def;
    }
    return nullptr;
}

bool ProtocolDef::HasParam(Param p) const {
    return MaxValue(p) > 0;
}

std::uint32_t ProtocolDef::MaxValue(Param p) const {
    int bits = 0;
    for (const auto* frame : {&first, &repeat}) {
        for (const Item& item : *frame) {
            if (item.kind == ItemKind::kBits && item.source == static_cast<Source>(p))
                bits = std::max(bits, item.shift + item.width);
        }
    }
    return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
}

std::uint32_t CheckValue(Checksum checksum, const Params& params) {
    const std::uint32_t d = params[Param::kD];
    const std::uint32_t s = params[Param::kS];
    const std::uint32_t f = params[Param::kF];
    switch (checksum) {
        case Checksum::kNone:
            return 0;
        case Checksum::kXorDSF:
            return (d ^ s ^ f) & 0xFF;
        case Checksum::kDenonK:
            return ((d << 4) ^ s ^ (f << 4) ^ (f >> 4)) & 0xFF;
        case Checksum::kKaseikyo: {
            const std::uint32_t vendor = params[Param::kM] ^ params[Param::kN];
            const std::uint32_t x = ((vendor >> 4) ^ vendor) & 0xF;
            const std::uint32_t data = d ^ s ^ f ^ (params[Param::kE] << 4);
            const std::uint32_t c = ((data >> 4) ^ data) & 0xF;
            return x | (c << 4);
        }
    }
    return 0;
}

void ApplyDefaults(const ProtocolDef& def, Params& params,
                   const std::array<bool, kParamCount>& given) {
    if (!given[static_cast<int>(Param::kS)] && def.HasParam(Param::kS)) {
        params[Param::kS] = def.subDeviceIsNotDevice
                                ? (255 - (params[Param::kD] & 0xFF)) & def.MaxValue(Param::kS)
                                : def.defaultSubDevice;
    }
}

}  // namespace quorvel
