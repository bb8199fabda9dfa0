#include <algorithm>

#include "converter/protocol_code.h"
#include "converter/quorvel_record.h"
#include "converter/raw_record.h"

namespace quorvel {
namespace {

constexpr std::uint32_t kRawIdBase = 0x800000;
constexpr std::uint32_t kDefaultRawCarrierHz = 38000;

void PutWord(Bytes& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

std::uint32_t Word(const Bytes& bytes, std::size_t at) {
    return at + 1 < bytes.size() ? bytes[at] | (bytes[at + 1] << 8) : 0;
}

std::uint8_t Byte(const Bytes& bytes, std::size_t at) {
    return at < bytes.size() ? bytes[at] : 0;
}

// 23 bits of the FNV-1a hash of the code data.
std::uint32_t RawId(const Bytes& data) {
    std::uint32_t hash = 2166136261u;
    for (std::uint8_t b : data) {
        hash ^= b;
        hash *= 16777619u;
    }
    return kRawIdBase | ((hash ^ (hash >> 23)) & 0x7FFFFF);
}

bool HexPiece(std::string_view text, Bytes& out) {
    if (text.empty()) {
        out.clear();
        return true;
    }
    auto bytes = BytesOfHex(text);
    if (!bytes)
        return false;
    out = std::move(*bytes);
    return true;
}

}  // namespace

bool IsShortId(std::uint32_t id) {
    return (id >> 16) < kFirstOptionalProtocolId && (id & 0xFFFF) == 0;
}

bool IsRawId(std::uint32_t id) {
    return (id >> 16) >= kFirstRawId;
}

std::string FormatConvertedCode(const Record& record) {
    std::string text;
    text.reserve(6 + 2 + 2 * record.first.size() + 1 + 2 * record.second.size() + 3 +
                 2 * record.data.size());
    AppendHex(text, record.id & 0xFFFFFF, 6);
    text += "::";
    text += HexOfBytes(record.first);
    text += ":";
    text += HexOfBytes(record.second);
    text += ":::";
    text += HexOfBytes(record.data);
    return text;
}

std::optional<Record> ParseConvertedCode(std::string_view text) {
    const std::size_t idEnd = text.find("::");
    if (idEnd != 6)
        return std::nullopt;
    const auto id = ParseHexDigits(text.substr(0, 6));
    const std::size_t firstEnd = text.find(':', idEnd + 2);
    if (!id || firstEnd == std::string_view::npos)
        return std::nullopt;
    const std::size_t secondEnd = text.find(":::", firstEnd + 1);
    if (secondEnd == std::string_view::npos)
        return std::nullopt;
    Record record;
    record.id = *id;
    if (!HexPiece(text.substr(idEnd + 2, firstEnd - idEnd - 2), record.first) ||
        !HexPiece(text.substr(firstEnd + 1, secondEnd - firstEnd - 1), record.second) ||
        !HexPiece(text.substr(secondEnd + 3), record.data))
        return std::nullopt;
    return record;
}

Bytes EncodeFields(const RecordFields& fields, bool firstField) {
    Bytes out(kFieldBytes, 0);
    const Params& p = fields.params;
    if (firstField) {
        PutWord(out, 0, p[Param::kD]);
        PutWord(out, 2, p[Param::kS]);
        PutWord(out, 4, p[Param::kF]);
        PutWord(out, 6, (p[Param::kM] << 8) | p[Param::kN]);
    } else {
        out[0] = static_cast<std::uint8_t>(p[Param::kT]);
        out[1] = static_cast<std::uint8_t>(p[Param::kE]);
        out[2] = static_cast<std::uint8_t>(std::clamp(fields.repeats, 0, 255));
        PutWord(out, 4, std::min<std::uint32_t>(fields.carrierHz / 10, 0xFFFF));
    }
    return out;
}

RecordFields DecodeFields(const Bytes& first, const Bytes& second) {
    RecordFields fields;
    Params& p = fields.params;
    p[Param::kD] = Word(first, 0);
    p[Param::kS] = Word(first, 2);
    p[Param::kF] = Word(first, 4);
    p[Param::kM] = Word(first, 6) >> 8;
    p[Param::kN] = Word(first, 6) & 0xFF;
    p[Param::kT] = Byte(second, 0);
    p[Param::kE] = Byte(second, 1);
    fields.repeats = Byte(second, 2);
    fields.carrierHz = Word(second, 4) * 10;
    return fields;
}

Record ProtocolRecord(const Decoded& decoded, std::uint32_t carrierHz) {
    Record record;
    record.id = static_cast<std::uint32_t>(decoded.def->id) << 16;
    const RecordFields fields{decoded.params, decoded.repeats, carrierHz};
    record.first = EncodeFields(fields, true);
    record.second = EncodeFields(fields, false);
    if (!IsShortId(record.id))
        record.data = EncodeProtocol(*decoded.def);
    return record;
}

std::optional<Record> RawRecord(const Durations& signal, std::uint32_t carrierHz) {
    auto data = EncodeRaw(signal, kMaxDataUnits * kUnitBytes);
    if (!data)
        return std::nullopt;
    Record record;
    record.id = RawId(*data);
    const RecordFields fields{{}, 0, carrierHz};
    record.first = EncodeFields(fields, true);
    record.second = EncodeFields(fields, false);
    record.data = std::move(*data);
    return record;
}

std::optional<Record> ConvertSignal(const Durations& signal, std::uint32_t carrierHz) {
    if (auto decoded = Decode(signal, carrierHz))
        return ProtocolRecord(*decoded, carrierHz);
    return RawRecord(signal, carrierHz);
}

std::optional<Rendered> RenderRecord(std::uint32_t id, const Bytes& first, const Bytes& second,
                                     const Bytes& data) {
    const RecordFields fields = DecodeFields(first, second);
    if (IsRawId(id)) {
        auto signal = DecodeRaw(data);
        if (!signal)
            return std::nullopt;
        Rendered out;
        out.durations = std::move(*signal);
        out.leadIn.assign(out.durations.size(), false);
        out.frameStarts = {0};
        out.carrierHz = fields.carrierHz ? fields.carrierHz : kDefaultRawCarrierHz;
        return out;
    }
    if ((id & 0xFFFF) != 0)
        return std::nullopt;
    const auto protocolId = static_cast<std::uint8_t>(id >> 16);
    std::optional<ProtocolDef> def;
    if (!data.empty() && !IsShortId(id)) {
        def = DecodeProtocol(data, protocolId);
    } else if (const ProtocolDef* known = FindProtocolById(protocolId)) {
        def = *known;
    }
    if (!def)
        return std::nullopt;
    Rendered out = Render(*def, fields.params, fields.repeats);
    if (fields.carrierHz)
        out.carrierHz = fields.carrierHz;
    return out;
}

std::optional<Rendered> RenderRecord(const Record& record) {
    return RenderRecord(record.id, record.first, record.second, record.data);
}

}  // namespace quorvel
