// The stored record: code ids that the program sorts into direct and table form correctly,
// protocol definitions that survive the code area, and raw signals that replay as learned.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "converter/body_text.h"
#include "converter/convert.h"
#include "converter/protocol_code.h"
#include "converter/quorvel_record.h"
#include "converter/raw_record.h"

namespace quorvel {
namespace {

// A remote of no known protocol: lead-in 3000/1500, bits of 400/400 and 400/1200, 20 of them,
// three frames 30 ms apart.
Durations UnknownSignal(std::uint32_t code = 0x5A3C1) {
    Durations frame = {3000, -1500};
    for (int bit = 0; bit < 20; ++bit) {
        frame.push_back(400);
        frame.push_back((code >> bit) & 1 ? -1200 : -400);
    }
    frame.push_back(400);
    Durations signal;
    for (int f = 0; f < 3; ++f) {
        signal.insert(signal.end(), frame.begin(), frame.end());
        signal.push_back(-30000);
    }
    return signal;
}

TEST(Record, ProtocolIdsAreFixedUniqueAndSortedIntoShortAndOptional) {
    std::set<std::uint8_t> ids;
    std::set<std::string> names;
    for (const ProtocolDef& def : ProtocolTable()) {
        EXPECT_TRUE(ids.insert(def.id).second) << def.name;
        EXPECT_TRUE(names.insert(def.name).second) << def.name;
        EXPECT_GT(def.id, 0);
        EXPECT_LT(def.id, kFirstRawId) << def.name;
        const std::uint32_t id = static_cast<std::uint32_t>(def.id) << 16;
        EXPECT_EQ(IsShortId(id), def.id < 0x22) << def.name;
        EXPECT_FALSE(IsRawId(id));
    }
    // The ids remotes already hold.
    EXPECT_EQ(FindProtocol("NEC1")->id, 0x01);
    EXPECT_EQ(FindProtocol("RC5")->id, 0x08);
    EXPECT_EQ(FindProtocol("NEC1-f16")->id, 0x22);
    EXPECT_EQ(FindProtocol("Thomson")->id, 0x2A);
    EXPECT_FALSE(IsShortId(0x210001));
    EXPECT_TRUE(IsShortId(0x210000));
    EXPECT_FALSE(IsShortId(0x220000));
}

TEST(Record, EveryDefinitionSurvivesTheCodeArea) {
    for (const ProtocolDef& def : ProtocolTable()) {
        const Bytes data = EncodeProtocol(def);
        EXPECT_EQ(data.size() % kUnitBytes, 0u) << def.name;
        EXPECT_LE(data.size(), kMaxDataUnits * kUnitBytes) << def.name;
        const auto decoded = DecodeProtocol(data, def.id);
        ASSERT_TRUE(decoded) << def.name;
        EXPECT_EQ(*decoded, def) << def.name;
    }
}

TEST(Record, ConvertedCodeHasTheShapeTheProgramSplits) {
    Params params;
    params[Param::kD] = 0x1234;
    params[Param::kF] = 0xBEEF;
    params[Param::kT] = 1;
    Record record;
    record.id = 0x2A0000;
    record.first = EncodeFields({params, 2, 36000}, true);
    record.second = EncodeFields({params, 2, 36000}, false);
    record.data = {0x50, 1, 2, 3, 4, 5, 6, 7};
    const std::string text = FormatConvertedCode(record);
    EXPECT_EQ(text, "2A0000::34120000EFBE0000:01000200100E0000:::5001020304050607");
    const auto parsed = ParseConvertedCode(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->id, record.id);
    EXPECT_EQ(parsed->data, record.data);
    const RecordFields fields = DecodeFields(parsed->first, parsed->second);
    EXPECT_EQ(fields.params, params);
    EXPECT_EQ(fields.repeats, 2);
    EXPECT_EQ(fields.carrierHz, 36000u);
    for (const char* bad : {"", "2A0000", "2A0000:01:02:::", "2A000::01:02:::", "2A0000::0G:02:::",
                            "2A0000::01:02::"})
        EXPECT_FALSE(ParseConvertedCode(bad)) << bad;
}

TEST(Record, UnknownSignalReplaysAsLearnedAndSharesItsIdOnlyWithItself) {
    const std::string body = FormatBody(UnknownSignal());
    const auto record = ParseConvertedCode(ConvertBody(body));
    ASSERT_TRUE(record);
    EXPECT_TRUE(IsRawId(record->id));
    EXPECT_FALSE(IsShortId(record->id));
    EXPECT_EQ(record->data.size() % kUnitBytes, 0u);
    // Five lengths, 129 durations of four bits each: 11 units.
    EXPECT_EQ(record->data.size(), 11 * kUnitBytes);
    const auto replayed = RenderRecord(*record);
    ASSERT_TRUE(replayed);
    // Captured again and normalised, the replay gives the very body that was learned.
    EXPECT_EQ(FormatBody(replayed->durations), body);
    EXPECT_EQ(replayed->carrierHz, 38000u);

    EXPECT_EQ(ParseConvertedCode(ConvertBody(body))->id, record->id);
    EXPECT_NE(ParseConvertedCode(ConvertBody(FormatBody(UnknownSignal(0x5A3C3))))->id, record->id);
}

TEST(Record, JitteryUnknownSignalKeepsEveryDurationWithinItsCluster) {
    Durations signal = UnknownSignal();
    std::mt19937 random(3);
    std::uniform_int_distribution<int> jitter(-6, 6);
    for (std::int32_t& d : signal)
        d += d > 0 ? jitter(random) : -jitter(random);
    const auto data = EncodeRaw(signal, kMaxDataUnits * kUnitBytes);
    ASSERT_TRUE(data);
    const auto back = DecodeRaw(*data);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), signal.size());
    for (std::size_t i = 0; i + 1 < signal.size(); ++i)
        EXPECT_NEAR((*back)[i], signal[i], std::abs(signal[i]) / 60.0 + 2) << i;
    EXPECT_LE(data->size(), 12 * kUnitBytes);
}

TEST(Record, SignalTooLargeForTheCodeAreaGivesNoRecord) {
    // 3000 durations of 200 different lengths need more than 255 units.
    Durations signal;
    for (int i = 0; i < 1500; ++i) {
        signal.push_back(300 + 40 * (i % 200));
        signal.push_back(-(300 + 40 * ((i * 7) % 200)));
    }
    const std::string body = FormatBody(signal);
    ASSERT_LE(body.size(), kMaxBodyLength);
    EXPECT_EQ(ConvertBody(body), "");
    // Half as long, it fits.
    signal.resize(1000);
    const auto record = ParseConvertedCode(ConvertBody(FormatBody(signal)));
    ASSERT_TRUE(record);
    EXPECT_LE(record->data.size(), kMaxDataUnits * kUnitBytes);
    const Durations replayed = RenderRecord(*record)->durations;
    ASSERT_EQ(replayed.size(), signal.size());
    for (std::size_t i = 0; i + 1 < signal.size(); ++i)
        EXPECT_NEAR(replayed[i], signal[i], std::abs(signal[i]) / 60.0 + 2) << i;
}

TEST(Record, RecordsNamingNothingKnownDoNotRender) {
    const Bytes fields(8, 0);
    EXPECT_FALSE(RenderRecord(0x7E0000, fields, fields, {}));         // no such protocol
    EXPECT_FALSE(RenderRecord(0x7E0000, fields, fields, {0x50, 0}));  // a cut definition
    EXPECT_FALSE(RenderRecord(0x010001, fields, fields, {}));         // not a protocol id
    EXPECT_FALSE(RenderRecord(0x812345, fields, fields, {0x52, 4}));  // a cut raw record
    EXPECT_FALSE(RenderRecord(0x812345, fields, fields, {0x52, 4, 1, 2, 0, 0x10, 0, 0x20}));
    // A definition of a protocol this converter has never heard of still renders.
    ProtocolDef custom = *FindProtocol("JVC");
    Bytes data = EncodeProtocol(custom);
    EXPECT_TRUE(RenderRecord(0x7E0000, fields, fields, data));
}

}  // namespace
}  // namespace quorvel
