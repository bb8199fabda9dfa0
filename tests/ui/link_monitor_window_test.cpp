// The link monitor through the real window: the simulated remote is unplugged, replugged or
// swapped while the window is shown, and every box is scripted (the hooked prompter acts while a
// box is open, as the user or the remote would).
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollArea>
#include <QTest>
#include <QThread>
#include <chrono>
#include <functional>
#include <memory>

#include "device/device_library.h"
#include "device/link_monitor.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/hooked_prompter.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/simulated_device.h"
#include "tests/ui/test_window_services.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/texts.h"

namespace {

constexpr int kWaitMs = 5000;
const std::string kOtherIdentity = "000000000000000000000000000000";

// The window on the default remote (key 30 learned, so delete and clear are enabled).
class LinkMonitorWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The window before goes first: it holds the remote's lock.
        window.reset();
        WindowServices windowServices = services.Services();
        windowServices.session.captureTiming = captureTiming;
        window = std::make_unique<MainWindow>(library, prompter, windowServices);
        ASSERT_FALSE(window->StartupFailed());
    }
    void TearDown() override { window.reset(); }
    bool Watching() const { return window->Session().WatchingLink(); }

    // Shows the window, which starts the monitor, and waits for its first label.
    void ShowAndWaitForTheLink() {
        window->show();
        ASSERT_TRUE(Watching());
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->linkStateLabel->text() == texts::kLinkUp; }, kWaitMs));
    }
    bool WaitUntilClosedAndMonitorEnded() {
        return QTest::qWaitFor([&] { return !window->isVisible() && !Watching(); }, kWaitMs);
    }
    bool WaitForMonitorEnd() {
        return QTest::qWaitFor([&] { return !Watching(); }, kWaitMs);
    }

    // The key box and the three buttons: true when all are available, false when none is.
    struct KeyControls {
        bool boxShown, learn, remove, clear;
        bool operator==(const KeyControls&) const = default;
    };
    KeyControls Controls() const {
        return {!window->remoteBox->isHidden(), window->learnButton->isEnabled(),
                window->deleteButton->isEnabled(), window->clearButton->isEnabled()};
    }
    static constexpr KeyControls kAvailable{true, true, true, true};
    static constexpr KeyControls kTakenAway{false, false, false, false};

    void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Run while a box of the window is open: the remote goes away and the monitor ends the
    // window (the user answers its boxes Cancel, then OK; or, with swapping, another remote
    // comes back after Retry). Waits here until the window has closed.
    void CloseThroughTheMonitor() {
        remote.Unplug();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, kWaitMs));
    }
    void ExpectTheUserToClose() {
        script.ExpectRetryCancel(texts::kReconnectRemote, false)
            .ExpectOkCancel(texts::kConfirmClose, true);
    }
    // Hooks the box with text: runs action while it is open.
    void WhileOpen(const QString& text, std::function<void()> action) {
        prompter.SetHook([this, text, action = std::move(action)](const QString& shown) {
            if (shown == texts::kReconnectRemote && swapping) {
                remote.SetIdentityOverride(kOtherIdentity);
                remote.Plug();
            }
            if (shown == text)
                action();
        });
    }

    CaptureTiming captureTiming;
    // The remote that comes back after a loss is another one.
    bool swapping = false;
    SimulatedRemote remote{DefaultRemoteImage()};
    SimulatedDevice entryPoints{remote};
    DeviceLibrary library{entryPoints};
    ScriptedPrompter script;
    HookedPrompter prompter{script};
    TestWindowServices services;
    std::unique_ptr<MainWindow> window;
};

TEST_F(LinkMonitorWindowTest, UnplugTakesTheKeysAwayAndAsksUntilTheSameRemoteIsBack) {
    ShowAndWaitForTheLink();
    EXPECT_EQ(Controls(), kAvailable);
    remote.ClearCallLog();

    script.ExpectRetryCancel(texts::kReconnectRemote, true)
        .ExpectRetryCancel(texts::kReconnectRemote, true);
    std::vector<QString> labelsAtBox;
    std::vector<KeyControls> controlsAtBox;
    prompter.SetHook([&](const QString&) {
        labelsAtBox.push_back(window->linkStateLabel->text());
        controlsAtBox.push_back(Controls());
        // Retry while still away, then the same remote comes back before the second Retry.
        if (labelsAtBox.size() == 2)
            remote.Plug();
    });
    remote.Unplug();

    ASSERT_TRUE(QTest::qWaitFor([&] { return labelsAtBox.size() == 2 && Controls() == kAvailable; },
                                kWaitMs));
    EXPECT_EQ(labelsAtBox, (std::vector<QString>{texts::kLinkDown, texts::kLinkDown}));
    EXPECT_EQ(controlsAtBox, (std::vector<KeyControls>{kTakenAway, kTakenAway}));
    EXPECT_EQ(window->linkStateLabel->text(), texts::kLinkUp);
    EXPECT_EQ(remote.CallCount(DeviceCall::kBasicInfo), 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(Watching());
}

TEST_F(LinkMonitorWindowTest, ControlsComeBackAllTogetherAlsoWithNothingLearned) {
    // No key learned: delete and clear come back all the same.
    remote.ReplaceImage(
        RemoteImageBuilder::DefaultRemote().KeyEntry(default_remote::kSlotOfKey30, {}).Build());
    SetUp();
    ASSERT_FALSE(window->Session().AnyKeyLearned());
    ShowAndWaitForTheLink();
    script.ExpectRetryCancel(texts::kReconnectRemote, true);
    prompter.SetHook([&](const QString&) { remote.Plug(); });
    remote.Unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return script.Shown().size() == 1 && Controls().boxShown; },
                                kWaitMs));
    EXPECT_EQ(Controls(), kAvailable);
}

TEST_F(LinkMonitorWindowTest, AnotherRemoteEndsLearningAndClosesWithoutAMessage) {
    enum class Mode { kIdle, kLearning, kCapturing };
    for (const Mode mode : {Mode::kIdle, Mode::kLearning, Mode::kCapturing}) {
        SCOPED_TRACE(static_cast<int>(mode));
        // A capture that polls seldom: it is still waiting when the other remote is found, as
        // one is that never saw the remote go (swapped between two of its polls).
        captureTiming.pollPause =
            mode == Mode::kCapturing ? std::chrono::seconds(2) : CaptureTiming().pollPause;
        SetUp();
        ShowAndWaitForTheLink();
        if (mode != Mode::kIdle)
            Click(window->learnButton);
        if (mode == Mode::kCapturing) {
            Click(window->KeyButton(QStringLiteral("00")));
            ASSERT_TRUE(window->Session().CaptureRunning());
            // In capture mode, and past its first poll: the capture now waits in its pause.
            ASSERT_TRUE(QTest::qWaitFor([&] { return remote.InCaptureMode(); }, kWaitMs));
            QTest::qWait(200);
        }
        remote.ClearCallLog();
        script.ExpectRetryCancel(texts::kReconnectRemote, true);
        prompter.SetHook([&](const QString& text) {
            if (text == texts::kReconnectRemote) {
                remote.SetIdentityOverride(kOtherIdentity);
                remote.Plug();
            }
        });
        remote.Unplug();
        ASSERT_TRUE(WaitUntilClosedAndMonitorEnded());
        QApplication::processEvents();
        // Nothing more is asked, learned or written: the remote is not the one that was read.
        script.VerifyAllShown();
        EXPECT_TRUE(window->Session().Closing());
        EXPECT_FALSE(window->Session().LearningMode());
        EXPECT_FALSE(window->Session().CaptureRunning());
        EXPECT_FALSE(window->Session().PendingKey());
        EXPECT_TRUE(remote.Writes().empty());
        prompter.SetHook({});
        remote.SetIdentityOverride("");
    }
}

// A box the window opens stays open while the monitor ends the window under it; once it is
// answered, the code after it must neither crash nor start anything on the closed window.
TEST_F(LinkMonitorWindowTest, TheWindowClosedUnderALearningFailureBoxStaysWhole) {
    using namespace std::chrono_literals;
    captureTiming.limit = 300ms;
    SetUp();
    ShowAndWaitForTheLink();
    Click(window->learnButton);
    WhileOpen(texts::kLearningFailed, [&] { CloseThroughTheMonitor(); });
    ExpectTheUserToClose();
    script.ExpectPlainMessage(texts::kLearningFailed);
    Click(window->KeyButton(QStringLiteral("00")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return script.Shown().size() == 3; }, kWaitMs));
    script.VerifyAllShown();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->Session().Closing());
    EXPECT_FALSE(window->Session().PendingKey());
    EXPECT_FALSE(window->Session().CaptureRunning());
}

TEST_F(LinkMonitorWindowTest, AYesToTheRelearnQuestionOfAClosedWindowStartsNoCapture) {
    ShowAndWaitForTheLink();
    Click(window->learnButton);
    PictureButton* learned = window->KeyButton(QStringLiteral("30"));
    const QPixmap learnedPicture = learned->Picture();
    WhileOpen(texts::RelearnQuestion(learned->Label()), [&] { CloseThroughTheMonitor(); });
    ExpectTheUserToClose();
    script.ExpectQuestion(texts::RelearnQuestion(learned->Label()), true);
    Click(learned);
    script.VerifyAllShown();
    EXPECT_TRUE(window->Session().Closing());
    EXPECT_FALSE(window->Session().PendingKey());
    EXPECT_FALSE(window->Session().CaptureRunning());
    EXPECT_EQ(learned->Picture().cacheKey(), learnedPicture.cacheKey());
    EXPECT_TRUE(window->learningAnimation->isHidden());
}

TEST_F(LinkMonitorWindowTest, AYesToDeleteOrClearAfterAnotherRemoteCameWritesNothing) {
    struct Case {
        const char* name;
        QString question;
        std::function<void()> ask;
    };
    const Case cases[] = {
        {"delete", texts::kDeleteQuestion,
         [&] {
             Click(window->deleteButton);
             Click(window->KeyButton(QStringLiteral("30")));
         }},
        {"clear", texts::kClearQuestion, [&] { Click(window->clearButton); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        ShowAndWaitForTheLink();
        remote.ClearCallLog();
        swapping = true;
        WhileOpen(c.question, [&] { CloseThroughTheMonitor(); });
        script.ExpectRetryCancel(texts::kReconnectRemote, true).ExpectQuestion(c.question, true);
        c.ask();
        script.VerifyAllShown();
        EXPECT_TRUE(window->Session().Closing());
        EXPECT_TRUE(remote.Writes().empty());
        EXPECT_TRUE(window->Session().KeyIsLearned(0x30));
        swapping = false;
        prompter.SetHook({});
        remote.SetIdentityOverride("");
    }
}

TEST_F(LinkMonitorWindowTest, CancelThenCancelKeepsWatchingAndCancelThenOkCloses) {
    ShowAndWaitForTheLink();
    // The remote is away, so learning does not hold the close back.
    Click(window->learnButton);
    script.ExpectRetryCancel(texts::kReconnectRemote, false)
        .ExpectOkCancel(texts::kConfirmClose, false)
        .ExpectRetryCancel(texts::kReconnectRemote, false)
        .ExpectOkCancel(texts::kConfirmClose, true);
    remote.Unplug();
    ASSERT_TRUE(WaitUntilClosedAndMonitorEnded());
    EXPECT_TRUE(window->Session().Closing());
}

TEST_F(LinkMonitorWindowTest, WithoutAnIdentityTheFirstLossClosesAfterTheFirstBox) {
    struct Case {
        const char* name;
        bool retry;
    };
    for (const Case& c : {Case{"retry", true}, Case{"cancel, cancel", false}}) {
        SCOPED_TRACE(c.name);
        // The info block cannot be read: the window opens without the remote's identity.
        remote.FailReadsAt(0xB000);
        script.ExpectInformation(texts::kNoRemote);
        SetUp();
        remote.ClearFaults();
        ASSERT_TRUE(window->Map().remoteIdText.empty());
        ShowAndWaitForTheLink();
        script.ExpectRetryCancel(texts::kReconnectRemote, c.retry);
        if (!c.retry)
            script.ExpectOkCancel(texts::kConfirmClose, false);
        remote.Unplug();
        EXPECT_TRUE(WaitUntilClosedAndMonitorEnded());
        script.VerifyAllShown();
        remote.Plug();
    }
}

TEST_F(LinkMonitorWindowTest, CloseIsRefusedOnlyWhileLearningWithTheRemoteAttached) {
    struct Case {
        bool learning;
        bool attached;
        bool refused;
    };
    const Case cases[] = {
        {true, true, true}, {true, false, false}, {false, true, false}, {false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "learning " << c.learning << ", attached " << c.attached);
        SetUp();
        ShowAndWaitForTheLink();
        if (c.learning)
            Click(window->learnButton);
        // Taken away and back within the close, so that the monitor never sees the loss.
        prompter.SetHook([&](const QString&) {});
        if (c.refused)
            script.ExpectInformation(texts::kStopLearningBeforeClosing);
        if (!c.attached)
            remote.Unplug();
        const bool closed = window->close();
        remote.Plug();
        EXPECT_EQ(closed, !c.refused);
        EXPECT_EQ(window->Session().Closing(), !c.refused);
        if (c.refused) {
            EXPECT_TRUE(Watching());
            EXPECT_TRUE(window->isVisible());
        } else {
            // Asked to stop while it sleeps, the monitor ends without another cycle.
            EXPECT_TRUE(WaitForMonitorEnd());
        }
        script.VerifyAllShown();
    }
}

TEST_F(LinkMonitorWindowTest, ClosingWhileTheMonitorsBoxIsOpenEndsItWithoutAnotherBox) {
    for (const bool retry : {true, false}) {
        SCOPED_TRACE(retry ? "then retry" : "then cancel");
        SetUp();
        ShowAndWaitForTheLink();
        script.ExpectRetryCancel(texts::kReconnectRemote, retry);
        prompter.SetHook([&](const QString&) { EXPECT_TRUE(window->close()); });
        remote.Unplug();
        EXPECT_TRUE(WaitUntilClosedAndMonitorEnded());
        script.VerifyAllShown();
        prompter.SetHook({});
        remote.Plug();
    }
}

TEST_F(LinkMonitorWindowTest, DestroyingTheWindowReleasesAMonitorWaitingForItsBox) {
    ShowAndWaitForTheLink();
    remote.Unplug();
    // No event runs meanwhile: the monitor's box is queued to this thread and never shown.
    QThread::msleep(LinkMonitor::kCyclePause.count() * 3);
    window.reset();
    EXPECT_TRUE(script.Shown().empty());
}

}  // namespace
