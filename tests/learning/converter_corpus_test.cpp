// The learning pipeline's view of the converter: every protocol of the table, with a spread of
// parameters and one to three repeat frames, distorted as real receivers distort, written as
// the remote's raw capture, cut and normalised by the program's own normaliser and converted
// through ConvertCode must come back as the protocol and parameters it was sent with; and a
// signal of no protocol must replay as it was learned.
#include <gtest/gtest.h>

#include <random>

#include "hex_text.h"
#include "ir_capture_text.h"
#include "ir_test_signals.h"
#include "normalise.h"
#include "quorvel.h"
#include "quorvel_record.h"

namespace quorvel {
namespace {

// The body the program hands the converter for a capture of this signal.
std::string NormalisedBody(const Durations& signal, std::uint32_t carrierHz,
                           int markExcessUs = ir_capture::kReceiverMarkExcessUs) {
    const auto capture = ir_capture::CaptureText(signal, carrierHz, {markExcessUs, true});
    if (!capture)
        return {};
    const auto normalised = NormaliseRawCodeParts(CutAtEndMarker(*capture));
    return normalised ? normalised->body : std::string();
}

TEST(ConverterCorpus, EveryProtocolSurvivesReceiverCaptureAndNormalisation) {
    std::mt19937 random(2024);
    const testing::Distortion receiver;  // +30..+150 µs marks, +-60 µs, lead-in +-8 %
    int signals = 0;
    for (const ProtocolDef& def : ProtocolTable()) {
        for (const Params& params : testing::ParamSpread(def, 24, 500 + def.id)) {
            for (int repeats = 1; repeats <= 3; ++repeats) {
                const Rendered rendered = Render(def, params, repeats);
                const Durations received = testing::Distort(rendered, receiver, random);
                const int carrierError = std::uniform_int_distribution<int>(-2000, 2000)(random);
                // The distortion already holds the receiver's excess.
                const std::string body = NormalisedBody(received, def.carrierHz + carrierError, 0);
                const std::string context = def.name + " repeats " + std::to_string(repeats);
                ASSERT_FALSE(body.empty()) << context;
                const auto record = ParseConvertedCode(ConvertCode(body.c_str(), QUORVEL_MODE));
                ASSERT_TRUE(record) << context << "\n" << body;
                const ProtocolDef* decodedAs = FindProtocolById(record->id >> 16);
                ASSERT_NE(decodedAs, nullptr) << context << "\n" << body;
                EXPECT_EQ(decodedAs->name, testing::ExpectedName(def, repeats, false)) << context;
                const RecordFields fields = DecodeFields(record->first, record->second);
                for (int p = 0; p < kParamCount; ++p) {
                    if (def.HasParam(static_cast<Param>(p))) {
                        EXPECT_EQ(fields.params.values[p], params.values[p])
                            << context << " " << kParamNames[p];
                    }
                }
                EXPECT_EQ(fields.repeats, repeats) << context;
                ++signals;
            }
        }
    }
    EXPECT_EQ(signals, static_cast<int>(ProtocolTable().size()) * 24 * 3);
}

TEST(ConverterCorpus, UnknownSignalReplaysWithinTheNormalisersRounding) {
    // Lead-in 2600/2600, 24 bits of 500/700 and 500/1500, sent three times 45 ms apart.
    Durations frame = {2600, -2600};
    for (int bit = 0; bit < 24; ++bit) {
        frame.push_back(500);
        frame.push_back((0xC35A96 >> bit) & 1 ? -1500 : -700);
    }
    frame.push_back(500);
    Durations signal;
    for (int f = 0; f < 3; ++f) {
        signal.insert(signal.end(), frame.begin(), frame.end());
        signal.push_back(-45000);
    }
    const std::string body = NormalisedBody(signal, 38000);
    const auto record = ParseConvertedCode(ConvertCode(body.c_str(), QUORVEL_MODE));
    ASSERT_TRUE(record) << body;
    EXPECT_TRUE(IsRawId(record->id));
    const auto replayed = RenderRecord(*record);
    ASSERT_TRUE(replayed);
    // Every mark and space as sent; the pauses to the millisecond the body keeps.
    ASSERT_EQ(replayed->durations.size(), signal.size());
    for (std::size_t i = 0; i + 1 < signal.size(); ++i) {
        if (std::abs(signal[i]) > 10980)
            EXPECT_EQ(replayed->durations[i], signal[i] / 1000 * 1000) << i;
        else
            EXPECT_EQ(replayed->durations[i], signal[i]) << i;
    }
    // Learned again from its own replay, the key gets the same record.
    EXPECT_EQ(NormalisedBody(replayed->durations, replayed->carrierHz), body);
}

}  // namespace
}  // namespace quorvel

namespace ir_capture {
namespace {

TEST(CaptureText, CarrierLongPausesAndLongMarksReadBackThroughTheNormaliser) {
    // Every whole kHz the normaliser's carrier field can show reads back as itself.
    for (std::uint32_t kHz = 12; kHz <= 94; ++kHz) {
        const auto capture = CaptureText({600, -600, 600}, kHz * 1000);
        ASSERT_TRUE(capture);
        const auto normalised = NormaliseRawCodeParts(CutAtEndMarker(*capture));
        ASSERT_TRUE(normalised) << kHz;
        EXPECT_EQ(normalised->carrierField,
                  quorvel::HexOfBytes({static_cast<std::uint8_t>(kHz)}) + "12");
    }
    EXPECT_EQ(
        NormaliseRawCodeParts(CutAtEndMarker(*CaptureText({600, -600, 600}, 0)))->carrierField,
        "0000");

    // A pause of a whole number of 7FFF counts, one too long to be anything but the end, and a
    // mark longer than one group.
    const quorvel::Durations signal = {600, -(32767 / 3 * 2 + 58), 600, -400000, 15000, -600, 600};
    const auto normalised = NormaliseRawCodeParts(CutAtEndMarker(*CaptureText(signal, 38000)));
    ASSERT_TRUE(normalised);
    EXPECT_EQ(normalised->frameCount, 3);
    // 21 ms, then the longest pause before the end marker (19 groups and the longest rest:
    // 218 ms), then the 15 ms mark in one element.
    EXPECT_EQ(normalised->body,
              "0258FEFE0015EDED0258FEFE00DAEDED3A980258"
              "0258EDED");

    // A signal longer than the capture buffer gives no capture.
    quorvel::Durations tooLong;
    for (int i = 0; i < 2600; ++i)
        tooLong.push_back(i % 2 == 0 ? 500 : -500);
    EXPECT_FALSE(CaptureText(tooLong, 38000));
    tooLong.resize(2501);
    EXPECT_TRUE(CaptureText(tooLong, 38000));
}

}  // namespace
}  // namespace ir_capture
