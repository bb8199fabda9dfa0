// The learning pipeline's view of the converter: every protocol of the table, with a spread of
// parameters and one to three repeat frames, distorted as real receivers distort, written as
// the remote's raw capture, cut and normalised by the program's own normaliser and converted
// through ConvertCode must come back as the protocol and parameters it was sent with; and a
// signal of no protocol must replay as it was learned.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>

#include "converter/body_text.h"
#include "converter/hex_text.h"
#include "converter/ir_decode.h"
#include "converter/quorvel.h"
#include "converter/quorvel_record.h"
#include "converter/signal_text.h"
#include "ircapture/ir_capture_text.h"
#include "learning/normalise.h"
#include "tests/converter/foreign_signals.h"
#include "tests/converter/ir_test_signals.h"
#include "tests/converter/receiver_models.h"

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

TEST(ConverterCorpus, TheBodyOfASignalIsWhatTheNormaliserMakesOfItsCapture) {
    // A programmed signal is converted from FormatBody; a captured one from the normaliser's
    // body. Both must agree wherever the normaliser reads the capture whole (up to 750 groups;
    // past that it may cut the last mark of a capture off), down to the extremes a capture
    // holds: spaces shorter than the receiver's excess, marks longer than two groups, pauses
    // longer than nineteen, levels that repeat and zero durations.
    std::mt19937 random(7);
    const auto pick = [&random](std::initializer_list<std::int32_t> choices) {
        const auto at = std::uniform_int_distribution<std::size_t>(0, choices.size() - 1)(random);
        return *(choices.begin() + at);
    };
    int compared = 0;
    for (int signal = 0; signal < 3000; ++signal) {
        Durations durations;
        const int count = std::uniform_int_distribution<int>(1, 300)(random);
        for (int i = 0; i < count; ++i) {
            const std::int32_t us =
                pick({1,     20,    57,    58,    59,    300,   564,    1690,   10864,  10865,
                      10980, 10981, 20000, 21786, 21787, 30000, 218503, 218504, 219000, 500000}) +
                std::uniform_int_distribution<std::int32_t>(0, 3)(random);
            const bool mark = i % 2 == 0 ? std::uniform_int_distribution<int>(0, 20)(random) > 0
                                         : std::uniform_int_distribution<int>(0, 20)(random) == 0;
            durations.push_back(std::uniform_int_distribution<int>(0, 40)(random) == 0 ? 0
                                : mark                                                 ? us
                                                                                       : -us);
        }
        // The end marker of a capture this short lies within the first 3000 characters.
        const auto capture = ir_capture::CaptureText(durations, 38000);
        if (!capture || capture->size() > 2999 + kEndMarker.size() + 8)
            continue;
        const std::string captured = NormalisedBody(durations, 38000);
        if (captured.empty())
            continue;  // not a signal: no mark
        ASSERT_EQ(FormatBody(durations), captured) << FormatMicroseconds(durations);
        ++compared;
    }
    EXPECT_GT(compared, 2000);
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

// What came of one signal through capture, normalisation and ConvertCode.
struct Outcome {
    std::optional<Record> record;
    std::string body;
};

Outcome Learn(const Durations& received, std::uint32_t carrierHz) {
    // The receiver model has stretched the marks already; the capture adds nothing more.
    Outcome outcome;
    outcome.body = NormalisedBody(received, carrierHz, 0);
    if (!outcome.body.empty())
        outcome.record = ParseConvertedCode(ConvertCode(outcome.body.c_str(), QUORVEL_MODE));
    return outcome;
}

bool SameProtocol(const ProtocolDef& def, const Params& params, int repeats, const Record& record) {
    const ProtocolDef* decodedAs = FindProtocolById(record.id >> 16);
    if (IsRawId(record.id) || decodedAs == nullptr ||
        decodedAs->name != testing::ExpectedName(def, repeats, false))
        return false;
    const RecordFields fields = DecodeFields(record.first, record.second);
    for (int p = 0; p < kParamCount; ++p) {
        if (def.HasParam(static_cast<Param>(p)) && fields.params.values[p] != params.values[p])
            return false;
    }
    return fields.repeats == repeats;
}

// Whether what a key replays is the signal that was sent, within what the receiver and the
// remote's own departures from nominal timing can have changed. The silence that ends the
// signal is the recording's, not the remote's, and is not compared.
::testing::AssertionResult ReplaysAsSent(const Durations& sent, const Durations& replayed,
                                         int toleranceUs) {
    const Durations a = Tidy(sent);
    const Durations b = Tidy(replayed);
    if (a.size() != b.size())
        return ::testing::AssertionFailure()
               << a.size() << " durations sent, " << b.size() << " replayed";
    for (std::size_t i = 0; i + 1 < a.size(); ++i) {
        // The body keeps long pauses in whole milliseconds.
        const double allowed =
            toleranceUs + 0.05 * std::abs(a[i]) + (std::abs(a[i]) > 10000 ? 1000 : 0);
        if (std::abs(a[i] - b[i]) > allowed)
            return ::testing::AssertionFailure()
                   << "duration " << i << ": sent " << a[i] << ", replayed " << b[i];
    }
    return ::testing::AssertionSuccess();
}

TEST(ConverterCorpus, EveryProtocolDecodesUnderEveryReceiverModel) {
    std::mt19937 random(16);
    for (const testing::ReceiverModel& model : testing::ReceiverModels()) {
        int signals = 0;
        int decoded = 0;
        for (const ProtocolDef& def : ProtocolTable()) {
            int misses = 0;
            for (const Params& params : testing::ParamSpread(def, 16, 900 + def.id)) {
                for (int repeats = 1; repeats <= 4; ++repeats) {
                    // Half as the protocol writes it, half as real remotes send it; and each
                    // press once more with a copy more, cut off part-way, which the record
                    // leaves out.
                    for (const bool cut : {false, true}) {
                        const int sentRepeats = cut ? repeats + 1 : repeats;
                        Rendered sent = repeats % 2 == 0 ? testing::SendLikeARemote(
                                                               def, params, sentRepeats, random)
                                                         : Render(def, params, sentRepeats);
                        if (cut)
                            sent = testing::CutOffInTheLastFrame(sent, random);
                        const Outcome learned = Learn(testing::Receive(sent, model, random), 0);
                        ++signals;
                        if (learned.record && SameProtocol(def, params, repeats, *learned.record)) {
                            ++decoded;
                        } else if (++misses <= 2) {
                            ADD_FAILURE()
                                << model.name << ": " << def.name << " repeats " << repeats
                                << (cut ? " and a cut copy" : "") << " came back as "
                                << ConvertCode(learned.body.c_str(), 2) << "\n"
                                << learned.body;
                        }
                    }
                }
            }
        }
        std::printf("[ receiver ] %-26s %d of %d protocol signals decoded (%.2f %%)\n", model.name,
                    decoded, signals, 100.0 * decoded / signals);
        EXPECT_EQ(decoded, signals) << model.name;
    }
}

TEST(ConverterCorpus, TheDecoderAloneReadsWhatTheReceiverDelivers) {
    // Straight from the receiver, without the normaliser taking its share of the mark excess
    // back: the harder case, as for a capture pasted in microseconds.
    std::mt19937 random(61);
    for (const testing::ReceiverModel& model : testing::ReceiverModels()) {
        int signals = 0;
        int decoded = 0;
        for (const ProtocolDef& def : ProtocolTable()) {
            for (const Params& params : testing::ParamSpread(def, 12, 300 + def.id)) {
                for (int repeats = 1; repeats <= 3; ++repeats) {
                    for (const bool cut : {false, true}) {
                        Rendered sent = testing::SendLikeARemote(
                            def, params, cut ? repeats + 1 : repeats, random);
                        if (cut)
                            sent = testing::CutOffInTheLastFrame(sent, random);
                        const auto result = Decode(testing::Receive(sent, model, random));
                        ++signals;
                        const bool right =
                            result &&
                            result->def->name == testing::ExpectedName(def, repeats, false) &&
                            result->repeats == repeats && result->params == params;
                        decoded += right ? 1 : 0;
                        EXPECT_TRUE(right) << model.name << ": " << def.name << " repeats "
                                           << repeats << (cut ? " and a cut copy" : "") << " as "
                                           << (result ? result->def->name : "unknown");
                    }
                }
            }
        }
        std::printf("[ receiver ] %-26s %d of %d decoded without the normaliser\n", model.name,
                    decoded, signals);
    }
}

TEST(ConverterCorpus, ProtocolsTheTableDoesNotKnowAreStoredRaw) {
    std::mt19937 random(80);
    for (const testing::ReceiverModel& model : testing::ReceiverModels()) {
        int signals = 0;
        int wrong = 0;
        for (int variant = 0; variant < 24; ++variant) {
            for (const testing::ForeignSignal& foreign : testing::ForeignSignals(random, variant)) {
                // Whole, and cut off part-way through its last frame: what is left of a frame
                // must not pass for a cut copy of a known protocol either.
                for (const bool cut : {false, true}) {
                    const Rendered sent =
                        cut ? testing::CutOffInTheLastFrame(foreign.rendered, random)
                            : foreign.rendered;
                    const Outcome learned =
                        Learn(testing::Receive(sent, model, random), foreign.carrierHz);
                    ASSERT_TRUE(learned.record) << foreign.protocol << "\n" << learned.body;
                    ++signals;
                    if (!IsRawId(learned.record->id)) {
                        ++wrong;
                        ADD_FAILURE() << model.name << ": " << foreign.protocol
                                      << (cut ? " cut off" : "") << " decoded as "
                                      << FindProtocolById(learned.record->id >> 16)->name << "\n"
                                      << learned.body;
                    }
                }
            }
        }
        std::printf("[ receiver ] %-26s %d wrong decodes of %d foreign signals\n", model.name,
                    wrong, signals);
    }
}

TEST(ConverterCorpus, CaptureConvertAndReplayGiveBackTheSignalSent) {
    std::mt19937 random(33);
    const testing::ReceiverModel& weak = testing::ReceiverModels().back();
    // The receiver's excess and two edges' jitter, and the normaliser's 58 µs.
    const int receiverTolerance = weak.excessHigh + 2 * weak.edgeJitter + 58;
    for (const ProtocolDef& def : ProtocolTable()) {
        for (const Params& params : testing::ParamSpread(def, 6, 40 + def.id)) {
            for (int repeats = 1; repeats <= 3; ++repeats) {
                // A protocol record replays the protocol's nominal timing, whatever the remote
                // it was learned from departed from it by: it sends what that remote meant.
                const Rendered sent = Render(def, params, repeats);
                const Outcome learned = Learn(testing::Receive(sent, weak, random), 0);
                ASSERT_TRUE(learned.record) << def.name;
                const auto replayed = RenderRecord(*learned.record);
                ASSERT_TRUE(replayed) << def.name;
                EXPECT_TRUE(ReplaysAsSent(sent.durations, replayed->durations, 0))
                    << def.name << " repeats " << repeats;
            }
        }
    }
    for (int variant = 0; variant < 6; ++variant) {
        for (const testing::ForeignSignal& foreign : testing::ForeignSignals(random, variant)) {
            const Outcome learned =
                Learn(testing::Receive(foreign.rendered, weak, random), foreign.carrierHz);
            ASSERT_TRUE(learned.record) << foreign.protocol;
            const auto replayed = RenderRecord(*learned.record);
            ASSERT_TRUE(replayed) << foreign.protocol;
            EXPECT_TRUE(
                ReplaysAsSent(foreign.rendered.durations, replayed->durations, receiverTolerance))
                << foreign.protocol;
        }
    }
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
    EXPECT_FALSE(FitsCaptureBuffer(tooLong));
    // 2537 durations of one group each, the end marker and the carrier: 2559 of 2560 groups.
    tooLong.resize(2537);
    EXPECT_TRUE(CaptureText(tooLong, 38000));
    EXPECT_TRUE(FitsCaptureBuffer(tooLong));
    // Long marks and pauses take more than a group each: the same signal no longer fits.
    tooLong[0] = 15000;
    tooLong[1] = -400000;
    EXPECT_FALSE(CaptureText(tooLong, 38000));
    EXPECT_FALSE(FitsCaptureBuffer(tooLong));
}

}  // namespace
}  // namespace ir_capture
