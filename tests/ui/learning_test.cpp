// Learning through the real window: the learn button, a key chosen, the capture thread waiting
// on the in-process simulated remote, and the end handler learning with the real converter.
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <optional>
#include <string>

#include "sim/key_replay.h"
#include "sim/remote_image_check.h"
#include "tests/support/fired_codes.h"
#include "tests/support/forwarding_entry_points.h"
#include "tests/ui/window_test.h"

namespace {

namespace d = default_remote;
using namespace window_test;
using fired_codes::ProtocolCapture;
using fired_codes::RawCapture;
using namespace std::chrono_literals;

const QString kConverterDir = QStringLiteral(KEYLEARN_CONVERTER_DIR);

// The default remote without its learned key.
RemoteImageBuilder NothingLearned() {
    return RemoteImageBuilder::DefaultRemote().KeyEntry(d::kSlotOfKey30, {});
}

class LearningTest : public WindowTest {
  protected:
    // limit: how long a capture waits for its code.
    void OpenLearning(const RemoteImageBuilder& remote = RemoteImageBuilder::DefaultRemote(),
                      std::chrono::milliseconds limit = 300ms) {
        options.converterFolder = kConverterDir;
        options.captureTiming.limit = limit;
        Open(remote);
    }
    void OpenLearning(std::chrono::milliseconds limit) {
        OpenLearning(RemoteImageBuilder::DefaultRemote(), limit);
    }

    // Waits until no capture thread is left and its end handler has run.
    void WaitForAttemptEnd() {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->Session().CaptureRunning(); }, 10000));
        QCoreApplication::processEvents();
    }

    // The tips panel shown, by its object name; several or none give an empty text.
    QString TipsShown() const {
        QString shown;
        for (PictureView* tips : {window->tipsSomeLearned, window->tipsLearning,
                                  window->tipsDeleting, window->tipsNoneLearned}) {
            if (tips->isVisibleTo(window.get())) {
                if (!shown.isEmpty())
                    return {};
                shown = tips->objectName();
            }
        }
        return shown;
    }

    void ExpectLearningWaitsForAKey() {
        EXPECT_EQ(window->statusLabel->text(),
                  QStringLiteral("请在左面遥控器上点击待学习的按键！"));
        EXPECT_EQ(NamedPictureShown(window->hintPicture), "jpgjingtai");
        EXPECT_FALSE(window->hintPicture->isHidden());
        EXPECT_TRUE(window->learningAnimation->isHidden());
        EXPECT_TRUE(!window->Session().PendingKey());
        EXPECT_TRUE(window->Session().LearningMode());
        EXPECT_FALSE(window->learnButton->HasEnabledLook());
    }

    void ExpectMemoryConsistent() {
        const RemoteMemoryCheck check = CheckRemoteMemory(sim->Image());
        EXPECT_TRUE(check.Consistent()) << ::testing::PrintToString(check.findings);
    }
};

TEST_F(LearningTest, OnAndStraightOffShowsTheTipsOfWhatIsLearned) {
    struct Case {
        const char* name;
        RemoteImageBuilder remote;
        const char* idleTips;
    } cases[] = {{"a key learned", RemoteImageBuilder::DefaultRemote(), "tipsSomeLearned"},
                 {"nothing learned", NothingLearned(), "tipsNoneLearned"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenLearning(c.remote);
        SwitchLearning();
        EXPECT_EQ(TipsShown(), "tipsLearning");
        ExpectLearningWaitsForAKey();

        SwitchLearning();
        EXPECT_FALSE(window->Session().LearningMode());
        EXPECT_EQ(window->statusLabel->text(), "");
        EXPECT_EQ(NamedPictureShown(window->hintPicture), "giftovani");
        EXPECT_FALSE(window->hintPicture->isHidden());
        EXPECT_EQ(TipsShown(), c.idleTips);
        EXPECT_TRUE(window->learnButton->HasEnabledLook());
        EXPECT_EQ(sim->CallCount(DeviceCall::kWriteData), 0);
    }
}

TEST_F(LearningTest, TheLearnButtonIsRefusedInDeleteMode) {
    OpenLearning();
    Click(window->deleteButton);
    ASSERT_TRUE(window->Session().DeleteMode());
    prompter.ExpectInformation(QStringLiteral("现在在删除状态，要学习请先停止删除！"));
    SwitchLearning();
    prompter.VerifyAllShown();
    EXPECT_FALSE(window->Session().LearningMode());
    EXPECT_TRUE(window->learnButton->HasEnabledLook());
}

// Every way a capture ends without a code fails the attempt the same way: the failure dialog,
// the key back to what it shows, learning still on for the next key.
TEST_F(LearningTest, ACaptureWithoutACodeFailsTheAttempt) {
    struct Case {
        const char* name;
        std::function<void(SimulatedRemote&)> during;  // what happens while the key waits
    } cases[] = {
        {"the limit passes", [](SimulatedRemote&) {}},
        {"the remote is unplugged", [](SimulatedRemote& remote) { remote.Unplug(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenLearning();
        SwitchLearning();
        Click(window->KeyButton("01"));
        ASSERT_TRUE(window->Session().CaptureRunning());
        c.during(*sim);
        prompter.ExpectPlainMessage(QStringLiteral("学习失败！"));
        WaitForAttemptEnd();
        prompter.VerifyAllShown();
        EXPECT_EQ(window->statusLabel->text(), QStringLiteral("请重新选择按键进行学习！"));
        EXPECT_EQ(KeyPictureShown(window->KeyButton("01")), NotLearned(0x01));
        EXPECT_EQ(NamedPictureShown(window->hintPicture), "jpgjingtai");
        EXPECT_TRUE(window->learningAnimation->isHidden());
        EXPECT_TRUE(!window->Session().PendingKey());
        EXPECT_TRUE(window->Session().LearningMode());
        EXPECT_EQ(sim->CallCount(DeviceCall::kWriteData), 0);
    }
}

// A device whose capture call succeeds with nothing but zero bytes in its buffer.
class ZeroCaptureDevice final : public ForwardingEntryPoints {
  public:
    using ForwardingEntryPoints::ForwardingEntryPoints;
    bool RCollectCodeInfo(char* /*buffer*/) override { return true; }
};

TEST_F(LearningTest, AnAllZeroCaptureReachesTheConverterAndFailsWithBothBoxes) {
    SimulatedRemote remote(RemoteImageBuilder::DefaultRemote().Build());
    SimulatedDevice inner(remote);
    ZeroCaptureDevice zeros(inner);
    DeviceLibrary zeroLibrary(zeros);
    WindowServices services;
    services.session.converterFolder = kConverterDir;
    MainWindow zeroWindow(zeroLibrary, prompter, services);

    Click(zeroWindow.learnButton);
    Click(zeroWindow.KeyButton("01"));
    // The converter answers the empty body with nothing: its own box, then the failure dialog.
    prompter.ExpectInformation(QStringLiteral("学习失败！"));
    prompter.ExpectPlainMessage(QStringLiteral("学习失败！"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !zeroWindow.Session().CaptureRunning(); }, 10000));
    QCoreApplication::processEvents();
    prompter.VerifyAllShown();
    EXPECT_TRUE(!zeroWindow.Session().PendingKey());
    EXPECT_EQ(remote.CallCount(DeviceCall::kWriteData), 0);
}

TEST_F(LearningTest, SwitchingOffWhileAKeyWaitsPutsTheKeyBackWithoutABox) {
    OpenLearning(10s);  // the switch, not the limit, ends a capture
    SwitchLearning();
    prompter.ExpectQuestion(QStringLiteral("CBL/音量+键编码已学习过，要重新学习吗?"), true);
    Click(window->KeyButton("30"));  // learned: chosen after its question
    ASSERT_EQ(KeyPictureShown(window->KeyButton("30")), Learning(0x30));

    SwitchLearning();
    EXPECT_TRUE(!window->Session().PendingKey());
    EXPECT_EQ(KeyPictureShown(window->KeyButton("30")), Learned(0x30));
    EXPECT_FALSE(window->KeyButton("30")->HasEnabledLook());
    WaitForAttemptEnd();  // the thread stops within a poll; its end handler shows nothing
    prompter.VerifyAllShown();
    EXPECT_EQ(KeyPictureShown(window->KeyButton("30")), Learned(0x30));
    EXPECT_EQ(sim->CallCount(DeviceCall::kWriteData), 0);
}

TEST_F(LearningTest, AKeyChosenBeforeTheStoppedCaptureEndedGetsACaptureOfItsOwn) {
    OpenLearning(10s);  // the switch, not the limit, ends a capture
    SwitchLearning();
    // Each poll answers slowly, so the stopped thread is still running at the next click.
    sim->SetCallDelay(200ms);
    Click(window->KeyButton("01"));
    SwitchLearning();
    SwitchLearning();
    Click(window->KeyButton("00"));
    ASSERT_EQ(PendingKey(), window->KeyButton("00"));
    sim->SetCallDelay(0ms);

    // The old capture ends with nothing, and key 00 gets a capture of its own instead of a
    // failure it never had a chance to avoid.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return sim->CallCount(DeviceCall::kSetCodeCarrierWave) == 2; }, 10000));
    ASSERT_TRUE(FireWhenListening(*sim, ProtocolCapture({"NEC1", "D=4", "F=8"})));
    prompter.ExpectInformation(QStringLiteral("已接收到遥控器编码！"));
    WaitForAttemptEnd();
    prompter.VerifyAllShown();
    EXPECT_EQ(window->statusLabel->text(), QStringLiteral("POWER/TV键学习成功！"));
    EXPECT_EQ(ir_capture::ReplayKey(sim->Image(), 0x00)->protocol.rfind("NEC1 D=4", 0), 0u);
}

TEST_F(LearningTest, ACodeFiredAtTheRemoteIsLearnedIntoTheKey) {
    struct Case {
        const char* name;
        std::string capture;
        const char* replayed;  // what the key sends afterwards
    } cases[] = {{"a protocol code", ProtocolCapture({"NEC1", "D=4", "F=8"}), "NEC1 D=4 S=251 F=8"},
                 {"a raw code", RawCapture(), "raw"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenLearning(10s);  // the switch, not the limit, ends a capture
        SwitchLearning();
        Click(window->KeyButton("01"));
        ASSERT_FALSE(c.capture.empty());
        ASSERT_TRUE(FireWhenListening(*sim, c.capture));
        prompter.ExpectInformation(QStringLiteral("已接收到遥控器编码！"));
        WaitForAttemptEnd();
        prompter.VerifyAllShown();

        EXPECT_EQ(KeyPictureShown(window->KeyButton("01")), Learned(0x01));
        EXPECT_EQ(window->statusLabel->text(), QStringLiteral("TV/静音键学习成功！"));
        EXPECT_EQ(NamedPictureShown(window->hintPicture), "giftovani");
        EXPECT_FALSE(window->hintPicture->isHidden());
        EXPECT_TRUE(window->learningAnimation->isHidden());
        EXPECT_TRUE(!window->Session().PendingKey());
        EXPECT_TRUE(window->Session().LearningMode());
        EXPECT_FALSE(window->learnButton->HasEnabledLook());
        EXPECT_TRUE(window->deleteButton->isEnabled());
        EXPECT_TRUE(window->clearButton->isEnabled());
        EXPECT_EQ(NamedPictureShown(window->deleteButton), "delete");
        EXPECT_EQ(NamedPictureShown(window->clearButton), "clear");
        // The log holds the normalised text and the converter's answer.
        EXPECT_EQ(window->learningLog->toPlainText().count('\n'), 1);

        ExpectMemoryConsistent();
        const auto replay = ir_capture::ReplayKey(sim->Image(), 0x01);
        ASSERT_TRUE(replay);
        EXPECT_EQ(replay->state, "learned");
        EXPECT_EQ(replay->protocol, c.replayed);
    }
}

TEST_F(LearningTest, AFailureAtTheRemoteLeavesTheKeyAsTheRemoteHasIt) {
    OpenLearning(10s);  // the switch, not the limit, ends a capture
    SwitchLearning();
    Click(window->KeyButton("01"));
    sim->FailNthWrite(1);  // the raw code's data is refused
    ASSERT_TRUE(FireWhenListening(*sim, RawCapture()));
    prompter.ExpectPlainMessage(QStringLiteral("学习失败！"));
    WaitForAttemptEnd();
    prompter.VerifyAllShown();
    EXPECT_EQ(KeyPictureShown(window->KeyButton("01")), NotLearned(0x01));
    EXPECT_EQ(window->statusLabel->text(), QStringLiteral("请重新选择按键进行学习！"));
    EXPECT_TRUE(window->Session().LearningMode());
    ExpectMemoryConsistent();
    EXPECT_FALSE(ir_capture::ReplayKey(sim->Image(), 0x01)->signal);
}

TEST_F(LearningTest, ClosingWithTheRemoteDetachedStopsTheCaptureWithoutABox) {
    OpenLearning(10s);  // the switch, not the limit, ends a capture
    SwitchLearning();
    Click(window->KeyButton("01"));
    sim->Unplug();
    // The capture may see the unplug first; the close must win either way without a box.
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->Session().CaptureRunning());
    QCoreApplication::processEvents();
    Close();
    prompter.VerifyAllShown();
}

}  // namespace
