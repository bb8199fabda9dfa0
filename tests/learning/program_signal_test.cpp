// A key programmed with a signal gets the record a capture of that signal gets: the same
// converter answer and the same bytes on the remote, for protocols held directly, built into
// the remote or in the code table, signals of no protocol and Pronto codes (down to what no
// capture holds as given); and programming fails as learning does when there is no record.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "converter/ir_render.h"
#include "converter/pronto_file.h"
#include "converter/protocol_request.h"
#include "converter/quorvel_record.h"
#include "converter/signal_text.h"
#include "ircapture/ir_capture_text.h"
#include "learning/learn_capture.h"
#include "learning/program_signal.h"
#include "sim/remote_image_builder.h"
#include "tests/support/started_remote.h"

namespace {

const QString kConverterDir = QStringLiteral(KEYLEARN_CONVERTER_DIR);

quorvel::ProtocolRequest Request(const std::vector<std::string>& words) {
    const auto request = quorvel::ParseProtocolRequest(words);
    EXPECT_TRUE(request) << request.Problem().text;
    return request ? *request : quorvel::ProtocolRequest{quorvel::FindProtocol("NEC1"), {}, 0, {}};
}

quorvel::Durations ProntoSignal(const std::string& pronto) {
    const std::optional<quorvel::TextSignal> signal = quorvel::ParsePronto(pronto);
    EXPECT_TRUE(signal) << pronto;
    return signal ? signal->durations : quorvel::Durations{};
}

struct ProgramCase {
    const char* name;
    // Durations, or a protocol the converter renders.
    std::variant<quorvel::Durations, quorvel::ProtocolRequest> signal;
    std::uint32_t carrierHz;  // what the capture measures
    // The record's protocol, or "raw", and how the key holds it.
    std::string recordedAs;
    LearnOutcome outcome = LearnOutcome::kLearnedDirect;
};

TEST(ProgramSignal, TheKeyGetsTheRecordACaptureOfTheSignalGives) {
    // No protocol: lead-in 3000/1000, then marks and spaces of three lengths.
    const quorvel::Durations unknown = {3000, -1000, 500, -1500, 500, -500,  1500, -500,
                                        500,  -1500, 500, -500,  500, -1500, 500,  -30000};
    const std::vector<ProgramCase> cases = {
        {"NEC1, held directly", Request({"NEC1", "D=4", "F=8"}), 38000, "NEC1"},
        {"RC5 with a repeat", Request({"RC5", "D=3", "F=9", "--repeats", "1"}), 36000, "RC5"},
        {"Sony12 with two repeats", Request({"Sony12", "D=1", "F=21", "--repeats", "2"}), 40000,
         "Sony12"},
        {"NEC1-f16, one of the remote's built-in codes", Request({"NEC1-f16", "D=4", "F=4660"}),
         38000, "NEC1-f16"},
        {"Kaseikyo", Request({"Kaseikyo", "D=1", "S=2", "F=3", "M=4", "N=5", "E=6"}), 37000,
         "Kaseikyo", LearnOutcome::kLearnedNewEntry},
        {"a signal of no protocol", unknown, 38000, "raw", LearnOutcome::kLearnedNewEntry},
        {"a Pronto code of a protocol",
         ProntoSignal(quorvel::ProntoText(quorvel::Render(
             *quorvel::FindProtocol("NEC1"), Request({"NEC1", "D=7", "F=200"}).params, 1))),
         38000, "NEC1"},
        // A 26 us space, a 27 ms mark and a 323 ms pause: none of them as a capture holds it.
        {"a Pronto code past what a capture holds",
         ProntoSignal("0000 006D 0004 0000 0060 0018 0018 0001 0400 0030 0018 3000"), 38000, "raw",
         LearnOutcome::kLearnedNewEntry},
    };
    for (const ProgramCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto* request = std::get_if<quorvel::ProtocolRequest>(&c.signal);
        StartedRemote programmed(RemoteImageBuilder::DefaultRemote());
        const ProgramResult result =
            request ? ProgramSignal(programmed.map, programmed.Device(), 0x01, *request->def,
                                    request->params, request->repeats, kConverterDir)
                    : ProgramSignal(programmed.map, programmed.Device(), 0x01,
                                    std::get<quorvel::Durations>(c.signal), kConverterDir);
        ASSERT_TRUE(result.Succeeded()) << result.conversion.text;
        const std::optional<quorvel::Record> record =
            quorvel::ParseConvertedCode(result.conversion.text);
        ASSERT_TRUE(record) << result.conversion.text;
        const quorvel::ProtocolDef* protocol = quorvel::FindProtocolById(record->id >> 16);
        EXPECT_EQ(quorvel::IsRawId(record->id) || protocol == nullptr ? "raw" : protocol->name,
                  c.recordedAs);
        EXPECT_EQ(result.learned->outcome, c.outcome);
        ExpectConsistentAndInStep(programmed);

        // The same signal fired at the remote and captured.
        const quorvel::Durations durations =
            request ? quorvel::Render(*request->def, request->params, request->repeats).durations
                    : std::get<quorvel::Durations>(c.signal);
        const std::optional<std::string> capture = ir_capture::CaptureText(
            durations, c.carrierHz, {ir_capture::kReceiverMarkExcessUs, true});
        ASSERT_TRUE(capture);
        StartedRemote captured(RemoteImageBuilder::DefaultRemote());
        const CaptureLearning learned =
            LearnCapture(captured.map, captured.Device(), 0x01, *capture, kConverterDir);
        ASSERT_TRUE(learned.Succeeded());

        EXPECT_EQ(result.conversion.text, learned.conversion.text);
        EXPECT_EQ(result.learned->outcome, learned.learned->outcome);
        EXPECT_EQ(result.learned->learnedCodeRef, learned.learned->learnedCodeRef);
        EXPECT_EQ(programmed.Sim().Image().banks, captured.Sim().Image().banks);
    }
}

TEST(ProgramSignal, ASignalLongerThanTheNormaliserReadsWholeGetsItsProtocol) {
    // NEC1 and a hundred repeat frames: its capture runs past 750 groups, with an even count,
    // so the normaliser cuts the last repeat frame's mark off. Programmed, the key gets the
    // protocol, as it was sent; so does the capture, whose cut copy the converter leaves out.
    const quorvel::ProtocolRequest request = Request({"NEC1", "D=4", "F=8", "--repeats", "100"});
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    const ProgramResult result = ProgramSignal(r.map, r.Device(), 0x01, *request.def,
                                               request.params, request.repeats, kConverterDir);
    ASSERT_TRUE(result.Succeeded());
    EXPECT_EQ(result.learned->outcome, LearnOutcome::kLearnedDirect);
    const std::optional<quorvel::Record> record =
        quorvel::ParseConvertedCode(result.conversion.text);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->id >> 16, request.def->id);
    ExpectConsistentAndInStep(r);

    const quorvel::Durations sent =
        quorvel::Render(*request.def, request.params, request.repeats).durations;
    StartedRemote captured(RemoteImageBuilder::DefaultRemote());
    const CaptureLearning learned = LearnCapture(
        captured.map, captured.Device(), 0x01,
        ir_capture::CaptureText(sent, 38000, {ir_capture::kReceiverMarkExcessUs, true}).value(),
        kConverterDir);
    // The capture lost its last mark to the normaliser; the converter leaves the cut copy out
    // and stores the protocol all the same, with one repeat fewer.
    ASSERT_TRUE(learned.Succeeded());
    EXPECT_EQ(quorvel::ParseConvertedCode(learned.conversion.text)->id, record->id);
}

TEST(ProgramSignal, FailsAsLearningDoesWithoutARecordToWrite) {
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    const RemoteImage before = r.Sim().Image();
    // No mark: nothing the converter can record, and nothing is written.
    const ProgramResult nothing = ProgramSignal(r.map, r.Device(), 0x01, {-5000}, kConverterDir);
    EXPECT_EQ(nothing.conversion.status, ConversionStatus::kConverted);
    EXPECT_EQ(nothing.conversion.text, "");
    ASSERT_TRUE(nothing.learned);
    EXPECT_EQ(nothing.learned->outcome, LearnOutcome::kMalformedResult);
    EXPECT_FALSE(nothing.Succeeded());

    QTemporaryDir noConverter;
    ASSERT_TRUE(noConverter.isValid());
    const ProgramResult missing =
        ProgramSignal(r.map, r.Device(), 0x01, {9000, -4500, 560, -40000}, noConverter.path());
    EXPECT_EQ(missing.conversion.status, ConversionStatus::kNoConverter);
    EXPECT_FALSE(missing.learned);
    EXPECT_FALSE(missing.Succeeded());
    EXPECT_EQ(r.Sim().Image().banks, before.banks);
}

}  // namespace
