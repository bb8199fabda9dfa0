// The converter loaded by its file name from a folder, as the program loads it from its own:
// a missing library or entry point gives no text, a call that fails inside is told apart, and
// the real converter's record of a signal learns a key that then replays the signal.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "ircapture/ir_capture_text.h"
#include "learning/converter_library.h"
#include "learning/normalise.h"
#include "learning/write_learned_code.h"
#include "sim/key_replay.h"
#include "sim/remote_image_builder.h"
#include "sim/remote_image_check.h"
#include "tests/support/started_remote.h"

namespace {

const QString kConverterDir = QStringLiteral(KEYLEARN_CONVERTER_DIR);
const QString kFakeConverterDir = QStringLiteral(KEYLEARN_FAKE_CONVERTER_DIR);

// A signal of no protocol the converter knows (marks positive, spaces negative, in µs): it goes
// to the code table as timings.
const quorvel::Durations kOddSignal = {3000, -1000, 500, -1500, 500, -500,  1500, -500,
                                       500,  -1500, 500, -500,  500, -1500, 500,  -30000};

std::string BodyOf(const quorvel::Durations& signal) {
    const auto capture = ir_capture::CaptureText(signal, 38000);
    EXPECT_TRUE(capture);
    const auto normalised = NormaliseRawCodeParts(CutAtEndMarker(capture.value_or("")));
    EXPECT_TRUE(normalised);
    return normalised ? normalised->body : std::string();
}

TEST(ConverterLibrary, AMissingLibraryOrEntryPointGivesNoText) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    QTemporaryDir withoutEntry;
    ASSERT_TRUE(withoutEntry.isValid());
    // A library of the right name that is not the converter.
    ASSERT_TRUE(QFile::copy(QStringLiteral(KEYLEARN_OTHER_LIBRARY),
                            withoutEntry.filePath(QStringLiteral("libquorvel.so"))));
    QTemporaryDir notALibrary;
    ASSERT_TRUE(notALibrary.isValid());
    QFile junk(notALibrary.filePath(QStringLiteral("libquorvel.so")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a library");
    junk.close();

    for (const QString& folder : {empty.path(), empty.filePath(QStringLiteral("missing")),
                                  withoutEntry.path(), notALibrary.path()}) {
        SCOPED_TRACE(folder.toStdString());
        const Conversion conversion = ConvertWithLibrary(BodyOf(kOddSignal), folder);
        EXPECT_EQ(conversion.status, ConversionStatus::kNoConverter);
        EXPECT_EQ(conversion.text, "");
    }
}

TEST(ConverterLibrary, AFailureInsideTheCallIsToldApartFromAnEmptyAnswer) {
    EXPECT_EQ(ConvertWithLibrary("null", kFakeConverterDir).status,
              ConversionStatus::kFailedInside);
    EXPECT_EQ(ConvertWithLibrary("throw", kFakeConverterDir).status,
              ConversionStatus::kFailedInside);
    const Conversion answered = ConvertWithLibrary("A::B:C:::", kFakeConverterDir);
    EXPECT_EQ(answered.status, ConversionStatus::kConverted);
    EXPECT_EQ(answered.text, "A::B:C:::");
    // The real converter cannot convert this: it answers, with no text.
    const Conversion nothing = ConvertWithLibrary("XYZ", kConverterDir);
    EXPECT_EQ(nothing.status, ConversionStatus::kConverted);
    EXPECT_EQ(nothing.text, "");
}

TEST(ConverterLibrary, ALearnedSignalIsWhatTheKeyReplays) {
    const Conversion conversion = ConvertWithLibrary(BodyOf(kOddSignal), kConverterDir);
    ASSERT_EQ(conversion.status, ConversionStatus::kConverted);
    ASSERT_FALSE(conversion.text.empty());

    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    const LearnResult result = WriteLearnedCode(r.map, r.Device(), 0x01, conversion.text);
    EXPECT_EQ(result.outcome, LearnOutcome::kLearnedNewEntry);

    const RemoteImage image = r.Sim().Image();
    EXPECT_EQ(CheckCodeTableConsistent(image), "");
    const auto replay = ir_capture::ReplayKey(image, 0x01);
    ASSERT_TRUE(replay);
    EXPECT_EQ(replay->state, "learned");
    ASSERT_TRUE(replay->signal) << replay->problem;
    // The marks and spaces come back within the capture's resolution.
    const quorvel::Durations& sent = replay->signal->durations;
    ASSERT_GE(sent.size(), kOddSignal.size() - 1);
    for (std::size_t i = 0; i + 1 < kOddSignal.size(); ++i)
        EXPECT_NEAR(sent[i], kOddSignal[i], 100) << "duration " << i;
}

}  // namespace
