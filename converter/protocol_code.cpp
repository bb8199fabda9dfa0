#include "converter/protocol_code.h"

namespace quorvel {
namespace {

constexpr std::uint8_t kMarker = 0x50;  // "P"
constexpr std::size_t kHeaderBytes = 14;
constexpr std::size_t kItemBytes = 4;
constexpr std::uint8_t kLastSource = static_cast<std::uint8_t>(Source::kCheck);
constexpr std::uint8_t kLastChecksum = static_cast<std::uint8_t>(Checksum::kKaseikyo);

void PutWord(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

unsigned Word(const Bytes& data, std::size_t at) {
    return data[at] | (data[at + 1] << 8);
}

void PutItem(Bytes& out, const Item& item) {
    out.push_back(static_cast<std::uint8_t>(item.kind));
    if (item.kind == ItemKind::kBits) {
        out.push_back(
            static_cast<std::uint8_t>(static_cast<unsigned>(item.source) | (item.flags << 4)));
        out.push_back(item.width);
        out.push_back(item.source == Source::kConst ? item.constant : item.shift);
    } else {
        PutWord(out, item.value);
        out.push_back(0);
    }
}

std::optional<Item> GetItem(const Bytes& data, std::size_t at) {
    Item item;
    const std::uint8_t kind = data[at];
    if (kind < static_cast<std::uint8_t>(ItemKind::kMark) ||
        kind > static_cast<std::uint8_t>(ItemKind::kGapTotal))
        return std::nullopt;
    item.kind = static_cast<ItemKind>(kind);
    if (item.kind != ItemKind::kBits) {
        item.value = static_cast<std::uint16_t>(Word(data, at + 1));
        return item;
    }
    const std::uint8_t source = data[at + 1] & 0x0F;
    item.flags = data[at + 1] >> 4;
    item.width = data[at + 2];
    if (source > kLastSource || item.width == 0 || item.width > 32 || item.flags > 7)
        return std::nullopt;
    item.source = static_cast<Source>(source);
    if (item.source == Source::kConst) {
        item.constant = data[at + 3];
        if (item.width > 8)
            return std::nullopt;
    } else {
        item.shift = data[at + 3];
        if (item.shift + item.width > 32)
            return std::nullopt;
    }
    return item;
}

}  // namespace

Bytes EncodeProtocol(const ProtocolDef& def) {
    Bytes out;
    out.push_back(kMarker);
    out.push_back(static_cast<std::uint8_t>((def.msbFirst ? 1 : 0) | (def.biphase ? 2 : 0)));
    PutWord(out, def.unitTenths);
    PutWord(out, def.carrierHz / 10);
    for (std::int8_t half : {def.zero[0], def.zero[1], def.one[0], def.one[1]})
        out.push_back(static_cast<std::uint8_t>(half));
    out.push_back(static_cast<std::uint8_t>(def.checksum));
    out.push_back(static_cast<std::uint8_t>(def.defaultRepeats));
    out.push_back(static_cast<std::uint8_t>(def.first.size()));
    out.push_back(static_cast<std::uint8_t>(def.repeat.size()));
    for (const Item& item : def.first)
        PutItem(out, item);
    for (const Item& item : def.repeat)
        PutItem(out, item);
    out.resize((out.size() + 7) / 8 * 8, 0);
    return out;
}

std::optional<ProtocolDef> DecodeProtocol(const Bytes& data, std::uint8_t id) {
    if (data.size() < kHeaderBytes || data[0] != kMarker || data[1] > 3)
        return std::nullopt;
    ProtocolDef def;
    const ProtocolDef* known = FindProtocolById(id);
    def.name = known ? known->name : "Protocol-" + HexOfBytes({id});
    def.id = id;
    def.msbFirst = (data[1] & 1) != 0;
    def.biphase = (data[1] & 2) != 0;
    def.unitTenths = static_cast<std::uint16_t>(Word(data, 2));
    def.carrierHz = Word(data, 4) * 10u;
    def.zero = {static_cast<std::int8_t>(data[6]), static_cast<std::int8_t>(data[7])};
    def.one = {static_cast<std::int8_t>(data[8]), static_cast<std::int8_t>(data[9])};
    if (data[10] > kLastChecksum || def.unitTenths == 0)
        return std::nullopt;
    def.checksum = static_cast<Checksum>(data[10]);
    def.defaultRepeats = data[11];
    const std::size_t firstCount = data[12];
    const std::size_t repeatCount = data[13];
    if (firstCount == 0 || repeatCount == 0 ||
        data.size() < kHeaderBytes + kItemBytes * (firstCount + repeatCount))
        return std::nullopt;
    for (std::size_t i = 0; i < firstCount + repeatCount; ++i) {
        auto item = GetItem(data, kHeaderBytes + kItemBytes * i);
        if (!item)
            return std::nullopt;
        (i < firstCount ? def.first : def.repeat).push_back(*item);
    }
    if (known) {
        // What the definition cannot carry stays the table's.
        def.carrierDecides = known->carrierDecides;
        def.subDeviceIsNotDevice = known->subDeviceIsNotDevice;
        def.defaultSubDevice = known->defaultSubDevice;
    }
    return def;
}

}  // namespace quorvel
