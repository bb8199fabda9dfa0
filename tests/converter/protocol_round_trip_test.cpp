// Every protocol of the table, rendered with a spread of parameters and repeat frames, must
// come back as itself: cleanly through the body the program hands the converter, and through
// the distortions of a real receiver straight into the decoder.
#include <gtest/gtest.h>

#include "converter/body_text.h"
#include "converter/convert.h"
#include "converter/ir_decode.h"
#include "converter/quorvel_record.h"
#include "tests/converter/ir_test_signals.h"

namespace quorvel {
namespace {

using testing::Distort;
using testing::Distortion;
using testing::ExpectedName;
using testing::ParamSpread;

void ExpectSameParams(const ProtocolDef& def, const Params& expected, const Params& actual,
                      const std::string& context) {
    for (int p = 0; p < kParamCount; ++p) {
        if (def.HasParam(static_cast<Param>(p))) {
            EXPECT_EQ(expected.values[p], actual.values[p])
                << context << " parameter " << kParamNames[p];
        }
    }
}

TEST(ProtocolRoundTrip, EveryProtocolConvertsAndRendersBackExactly) {
    for (const ProtocolDef& def : ProtocolTable()) {
        for (const Params& params : ParamSpread(def, 12, def.id)) {
            for (int repeats = 0; repeats <= 3; ++repeats) {
                const std::string context = def.name + " repeats " + std::to_string(repeats);
                const Rendered rendered = Render(def, params, repeats);
                const std::string converted = ConvertBody(FormatBody(rendered.durations));
                const auto record = ParseConvertedCode(converted);
                ASSERT_TRUE(record) << context << ": " << converted;
                const ProtocolDef* decodedAs = FindProtocolById(record->id >> 16);
                ASSERT_NE(decodedAs, nullptr) << context << ": " << converted;
                EXPECT_EQ(decodedAs->name, ExpectedName(def, repeats, false)) << context;
                const RecordFields fields = DecodeFields(record->first, record->second);
                ExpectSameParams(def, params, fields.params, context);
                EXPECT_EQ(fields.repeats, repeats) << context;

                // What the key then sends, from the record alone, is the signal learned.
                if (decodedAs->name != def.name)
                    continue;
                const auto replayed = RenderRecord(*record);
                ASSERT_TRUE(replayed) << context;
                EXPECT_EQ(replayed->durations, rendered.durations) << context;
                EXPECT_EQ(replayed->carrierHz, def.carrierHz) << context;
            }
        }
    }
}

TEST(ProtocolRoundTrip, DistortedSignalsDecodeToTheirProtocolAndParameters) {
    // The receiver's excess after the normaliser has taken its 58 µs back: a strong signal
    // a little short, a weak one up to 140 µs long.
    const Distortion receiver{-30, 140, 60, 0.08};
    std::mt19937 random(7);
    for (const ProtocolDef& def : ProtocolTable()) {
        for (const Params& params : ParamSpread(def, 20, 100 + def.id)) {
            for (int repeats = 1; repeats <= 3; ++repeats) {
                const Rendered rendered = Render(def, params, repeats);
                const Durations received = Distort(rendered, receiver, random);
                // Within 700 Hz, so that Pioneer and NEC2, 1.6 kHz apart, stay apart.
                const int carrierError = std::uniform_int_distribution<int>(-700, 700)(random);
                const auto decoded = Decode(received, def.carrierHz + carrierError);
                const std::string context = def.name + " repeats " + std::to_string(repeats);
                ASSERT_TRUE(decoded) << context;
                EXPECT_EQ(decoded->def->name, ExpectedName(def, repeats, true)) << context;
                ExpectSameParams(def, params, decoded->params, context);
                EXPECT_EQ(decoded->repeats, repeats) << context;
            }
        }
    }
}

TEST(ProtocolRoundTrip, CarrierDecidesOnlyBetweenProtocolsThatDifferInNothingElse) {
    Params params;
    params[Param::kD] = 165;
    params[Param::kS] = 90;
    params[Param::kF] = 3;
    const Rendered pioneer = Render(*FindProtocol("Pioneer"), params, 1);
    EXPECT_EQ(Decode(pioneer.durations, 40000)->def->name, "Pioneer");
    EXPECT_EQ(Decode(pioneer.durations, 39500)->def->name, "Pioneer");
    EXPECT_EQ(Decode(pioneer.durations, 38000)->def->name, "NEC2");
    EXPECT_EQ(Decode(pioneer.durations, 0)->def->name, "NEC2");
    // Elsewhere a carrier far off changes nothing.
    const Rendered rc5 = Render(*FindProtocol("RC5"), params, 0);
    EXPECT_EQ(Decode(rc5.durations, 56000)->def->name, "RC5");
}

TEST(ProtocolRoundTrip, SpecificVendorsWinOverTheGeneralKaseikyo) {
    Params params;
    params[Param::kD] = 1;
    params[Param::kS] = 2;
    params[Param::kF] = 3;
    params[Param::kM] = 2;
    params[Param::kN] = 32;
    // A Kaseikyo frame with Panasonic's vendor id and a valid Panasonic check byte.
    const Rendered panasonic = Render(*FindProtocol("Panasonic"), params, 0);
    EXPECT_EQ(Decode(panasonic.durations)->def->name, "Panasonic");
    const Rendered sharp = Render(
        *FindProtocol("Kaseikyo"),
        [&] {
            Params p = params;
            p[Param::kM] = 170;
            p[Param::kN] = 90;
            return p;
        }(),
        0);
    const auto decoded = Decode(sharp.durations);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->def->name, "Kaseikyo");
    EXPECT_EQ(decoded->params[Param::kM], 170u);
}

TEST(ProtocolRoundTrip, SignalsWithAWrongCheckOrAForeignTailStayUndecoded) {
    Params params;
    params[Param::kD] = 4;
    params[Param::kF] = 8;
    Durations nec = Render(*FindProtocol("NEC1"), params, 0).durations;
    // Function 8 and its inversion turned into 8 and 8: the frame of no protocol but NEC1-f16.
    Durations broken = nec;
    const std::size_t lastInvertedBit = 2 + 2 * 31 + 1;
    broken[lastInvertedBit] = nec[2 + 2 * 23 + 1];
    EXPECT_EQ(Decode(broken)->def->name, "NEC1-f16");
    // A frame followed by half a frame reads as a press cut off in its second copy
    // (remote_shapes_test.cpp), but only while that half agrees with the whole frame: here
    // bit 2 of the device, a one, comes as a zero.
    Durations tail = nec;
    tail.push_back(-40000);
    tail.insert(tail.end(), nec.begin(), nec.begin() + 20);
    ASSERT_EQ(tail[nec.size() + 1 + 2 + 2 * 2 + 1], -3 * 564);
    tail[nec.size() + 1 + 2 + 2 * 2 + 1] = -564;
    EXPECT_FALSE(Decode(tail));
    // Nor is a mark longer than any of the protocol's what a cut left of one.
    Durations longMark = nec;
    longMark.insert(longMark.end(), {-40000, 20000});
    EXPECT_FALSE(Decode(longMark));
}

TEST(ProtocolRoundTrip, DishCopiesWithoutTheirLeadInDecodeOnlyAsTwoOrMoreThatAgree) {
    Params params;
    params[Param::kD] = 31;
    params[Param::kS] = 31;
    params[Param::kF] = 63;
    const ProtocolDef& dish = *FindProtocol("Dish_Network");
    auto withoutLeadIn = [&](int repeats) {
        const Durations full = Render(dish, params, repeats).durations;
        return Durations(full.begin() + 2, full.end());
    };
    // Three copies back to back: the key sends the lead-in and three copies again.
    const auto three = Decode(withoutLeadIn(2));
    ASSERT_TRUE(three);
    EXPECT_EQ(three->def->name, "Dish_Network");
    EXPECT_EQ(three->params, params);
    EXPECT_EQ(three->repeats, 2);
    // One copy alone is sixteen bits that any remote could send.
    EXPECT_FALSE(Decode(withoutLeadIn(0)));
    // Copies with a long pause between them are frames of something else (Mitsubishi's
    // all-ones frame pulses much like them).
    Durations apart = withoutLeadIn(1);
    apart[33] = -24000;
    EXPECT_FALSE(Decode(apart));
}

}  // namespace
}  // namespace quorvel
