// The session without a window: opening the remote under its lock, the modes, a capture learned
// or failed on the session's own thread, delete and clear through its questions, the link
// watched, and closing. Questions are answered by a script; events are recorded from the
// session's signals.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "device/device_library.h"
#include "learning/remote_session.h"
#include "platform/remote_lock.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/fired_codes.h"
#include "tests/support/simulated_device.h"

namespace {

namespace d = default_remote;
using namespace std::chrono_literals;

// Runs the event loop until pred holds or the time is up.
bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit = 10s) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > limit.count())
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return true;
}

// Answers each question as set, and counts what was asked.
class ScriptedQuestions final : public SessionQuestions {
  public:
    bool RetryWithoutRemote() override { return Ask("retry without remote", false); }
    bool ConfirmRelearn(KeyCode) override { return Ask("relearn", relearn); }
    bool ConfirmDelete(KeyCode) override { return Ask("delete", yes); }
    bool ConfirmClear() override { return Ask("clear", yes); }
    bool KeepWaitingForRemote() override { return Ask("keep waiting", keepWaiting); }
    bool ConfirmCloseWithoutRemote() override { return Ask("close", false); }

    bool relearn = true;
    bool yes = true;
    bool keepWaiting = true;
    // Runs inside a question, before it is answered.
    std::function<void()> whileAsking;
    std::vector<std::string> asked;

  private:
    bool Ask(const char* what, bool answer) {
        asked.emplace_back(what);
        if (whileAsking)
            whileAsking();
        return answer;
    }
};

class RemoteSessionTest : public ::testing::Test {
  protected:
    void Make(const RemoteImageBuilder& remote = RemoteImageBuilder::DefaultRemote()) {
        session.reset();
        sim = std::make_unique<SimulatedRemote>(remote.Build());
        device = std::make_unique<SimulatedDevice>(*sim);
        library = std::make_unique<DeviceLibrary>(*device);
        SessionOptions options;
        options.lockFolder = lockFolder.path();
        options.converterFolder = QStringLiteral(KEYLEARN_CONVERTER_DIR);
        options.captureTiming.limit = captureLimit;
        session = std::make_unique<RemoteSession>(*library, options);
        session->SetQuestions(&questions);
        QObject::connect(session.get(), &RemoteSession::learningStarted,
                         [this](KeyCode key) { events.push_back("started " + Hex(key)); });
        QObject::connect(session.get(), &RemoteSession::keyLearned,
                         [this](KeyCode key, const CaptureLearning&) {
                             events.push_back("learned " + Hex(key));
                         });
        QObject::connect(session.get(), &RemoteSession::learningFailed,
                         [this](const LearningAttempt& failure) {
                             events.push_back(std::string(failure.captured ? "failed " : "none ") +
                                              Hex(failure.key));
                         });
        QObject::connect(session.get(), &RemoteSession::keyControlsAvailable,
                         [this](bool available) {
                             events.push_back(available ? "controls on" : "controls off");
                         });
        QObject::connect(session.get(), &RemoteSession::linkWatchEnded,
                         [this](LinkMonitor::End why) { ended = why; });
    }
    void Open(const RemoteImageBuilder& remote = RemoteImageBuilder::DefaultRemote()) {
        Make(remote);
        ASSERT_TRUE(session->Open(LockMode::kHold).Opened());
    }
    static std::string Hex(KeyCode key) {
        const char digits[] = "0123456789ABCDEF";
        return {digits[key >> 4], digits[key & 15]};
    }
    bool CaptureEnded() {
        return WaitUntil([&] { return !session->CaptureRunning(); });
    }
    // The remote hears a code only in capture mode, which the capture thread enters once it
    // has started.
    bool FireWhenListening(const std::string& capture) {
        return WaitUntil([&] { return sim->InCaptureMode(); }) && sim->QueueCapture(capture);
    }

    QTemporaryDir lockFolder;
    std::chrono::milliseconds captureLimit = 10s;
    ScriptedQuestions questions;
    std::vector<std::string> events;
    std::optional<LinkMonitor::End> ended;
    std::unique_ptr<SimulatedRemote> sim;
    std::unique_ptr<SimulatedDevice> device;
    std::unique_ptr<DeviceLibrary> library;
    std::unique_ptr<RemoteSession> session;
};

TEST_F(RemoteSessionTest, TheLockIsTakenAfterTheIdentityAndBeforeTheTables) {
    // Another program holds the remote: the identity is read, nothing after it.
    RemoteLock other;
    ASSERT_EQ(other.Take(QString::fromStdString(d::kIdentityText), "remotectl", lockFolder.path()),
              RemoteLockStatus::kTaken);
    Make();
    const RemoteOpening held = session->Open(LockMode::kHold);
    EXPECT_EQ(held.status, RemoteOpening::Status::kLockHeld);
    EXPECT_EQ(held.holderName, QStringLiteral("remotectl"));
    EXPECT_EQ(held.reading.map.remoteIdText, d::kIdentityText);
    EXPECT_EQ(sim->CallCount(DeviceCall::kReadData), 1);  // the info block only
    EXPECT_TRUE(session->Map().keySlots.empty());

    // A session that only reads needs no lock.
    Make();
    const RemoteOpening reading = session->Open(LockMode::kNone);
    EXPECT_TRUE(reading.Opened());
    EXPECT_EQ(session->Map().keySlots.size(), static_cast<std::size_t>(d::kKeyCount));

    // Once the other program has ended, the lock is this session's until it goes.
    other.Release();
    Make();
    EXPECT_TRUE(session->Open(LockMode::kHold).Opened());
    RemoteLock second;
    EXPECT_EQ(second.Take(QString::fromStdString(d::kIdentityText), "x", lockFolder.path()),
              RemoteLockStatus::kHeld);
    session.reset();
    EXPECT_EQ(second.Take(QString::fromStdString(d::kIdentityText), "x", lockFolder.path()),
              RemoteLockStatus::kTaken);
}

TEST_F(RemoteSessionTest, ARemoteTurnedAwayIsNotLockedAndItsTablesAreNotRead) {
    Make(RemoteImageBuilder::DefaultRemote().Model("8888"));
    const RemoteOpening opening = session->Open(LockMode::kHold);
    EXPECT_EQ(opening.status, RemoteOpening::Status::kNotAccepted);
    EXPECT_EQ(opening.reading.status, StartupStatus::kFirmwareTooOld);
    RemoteLock other;
    EXPECT_EQ(other.Take(QString::fromStdString(d::kIdentityText), "x", lockFolder.path()),
              RemoteLockStatus::kTaken);
}

TEST_F(RemoteSessionTest, TheModesExcludeEachOther) {
    Open();
    EXPECT_EQ(session->ChooseKey(0x01), KeyChoice::kLearningOff);
    ASSERT_TRUE(session->SwitchDeleteMode());
    EXPECT_EQ(session->SwitchLearning().result, LearningSwitch::Result::kRefusedWhileDeleting);
    EXPECT_EQ(session->ClearKeys().request, KeysClearing::Result::kRefusedWhileDeleting);
    ASSERT_TRUE(session->SwitchDeleteMode());
    EXPECT_EQ(session->SwitchLearning().result, LearningSwitch::Result::kSwitchedOn);
    EXPECT_FALSE(session->SwitchDeleteMode());
    EXPECT_EQ(session->ClearKeys().request, KeysClearing::Result::kRefusedWhileLearning);
    EXPECT_EQ(session->ChooseKey(0x01), KeyChoice::kChosen);
    EXPECT_EQ(session->ChooseKey(0x00), KeyChoice::kKeyPending);
    EXPECT_EQ(session->PendingKey(), KeyCode{0x01});
    // Switched off, the waiting key is handed back and its capture told to stop.
    const LearningSwitch off = session->SwitchLearning();
    EXPECT_EQ(off.result, LearningSwitch::Result::kSwitchedOff);
    EXPECT_EQ(off.keyPutBack, KeyCode{0x01});
    EXPECT_FALSE(session->PendingKey());
    EXPECT_TRUE(CaptureEnded());
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(questions.asked.empty());
}

TEST_F(RemoteSessionTest, ACapturedCodeIsLearnedOnTheUiThreadAndReported) {
    Open(RemoteImageBuilder::DefaultRemote().KeyEntry(d::kSlotOfKey30, {}));
    session->SwitchLearning();
    ASSERT_EQ(session->ChooseKey(0x01), KeyChoice::kChosen);
    ASSERT_TRUE(FireWhenListening(fired_codes::ProtocolCapture({"NEC1", "D=4", "F=8"})));
    ASSERT_TRUE(CaptureEnded());
    EXPECT_EQ(events, (std::vector<std::string>{"started 01", "learned 01"}));
    EXPECT_FALSE(session->PendingKey());
    EXPECT_TRUE(session->LearningMode());
    EXPECT_TRUE(session->KeyIsLearned(0x01));
}

TEST_F(RemoteSessionTest, ACaptureThatRunsOutFailsWithoutAnAttempt) {
    captureLimit = 200ms;
    Open();
    session->SwitchLearning();
    ASSERT_EQ(session->ChooseKey(0x01), KeyChoice::kChosen);
    ASSERT_TRUE(CaptureEnded());
    EXPECT_EQ(events, (std::vector<std::string>{"none 01"}));
    EXPECT_FALSE(session->PendingKey());
    EXPECT_EQ(sim->CallCount(DeviceCall::kWriteData), 0);
}

TEST_F(RemoteSessionTest, ALearnedKeyIsChosenAgainOnlyAfterItsQuestion) {
    Open();  // key 30 is learned
    session->SwitchLearning();
    questions.relearn = false;
    EXPECT_EQ(session->ChooseKey(0x30), KeyChoice::kDeclined);
    EXPECT_FALSE(session->CaptureRunning());
    questions.relearn = true;
    EXPECT_EQ(session->ChooseKey(0x30), KeyChoice::kRechosen);
    EXPECT_TRUE(session->CaptureRunning());
    EXPECT_EQ(questions.asked, (std::vector<std::string>{"relearn", "relearn"}));
}

TEST_F(RemoteSessionTest, NoCaptureStartsForASessionClosedWhileItsQuestionWasOpen) {
    Open();
    session->SwitchLearning();
    // The remote goes and the user closes while the question is open.
    questions.whileAsking = [&] {
        sim->Unplug();
        EXPECT_EQ(session->Close(), CloseRequest::kClosing);
    };
    EXPECT_EQ(session->ChooseKey(0x30), KeyChoice::kDeclined);
    EXPECT_FALSE(session->CaptureRunning());
    EXPECT_FALSE(session->PendingKey());
}

TEST_F(RemoteSessionTest, DeleteAndClearAskFirstAndDeleteModeEndsWithTheLastKey) {
    Open();
    questions.yes = false;
    EXPECT_EQ(session->DeleteKey(0x30).request, KeyDeletion::Result::kDeclined);
    EXPECT_EQ(session->ClearKeys().request, KeysClearing::Result::kDeclined);
    EXPECT_EQ(sim->CallCount(DeviceCall::kWriteData), 0);
    EXPECT_EQ(session->DeleteKey(0x01).request, KeyDeletion::Result::kRefused);

    questions.yes = true;
    ASSERT_TRUE(session->SwitchDeleteMode());
    const KeyDeletion deletion = session->DeleteKey(0x30);
    EXPECT_EQ(deletion.request, KeyDeletion::Result::kDone);
    EXPECT_EQ(deletion.result.outcome, DeleteOutcome::kDeleted);
    EXPECT_FALSE(session->AnyKeyLearned());
    EXPECT_FALSE(session->DeleteMode());
    EXPECT_EQ(session->ClearKeys().request, KeysClearing::Result::kNothingLearned);
    EXPECT_EQ(questions.asked, (std::vector<std::string>{"delete", "clear", "delete"}));
}

TEST_F(RemoteSessionTest, TheLinkIsWatchedUntilAnotherRemoteComesBack) {
    Open();
    session->WatchLink();
    ASSERT_TRUE(session->WatchingLink());
    // Kept waiting for, and back while the question is open.
    questions.whileAsking = [&] { sim->Plug(); };
    sim->Unplug();
    ASSERT_TRUE(WaitUntil([&] {
        return events == std::vector<std::string>{"controls off", "controls on"};
    }));
    EXPECT_EQ(questions.asked, (std::vector<std::string>{"keep waiting"}));

    // Away again, and back as another remote: the watch ends.
    sim->SetIdentityOverride("000000000000000000000000000000");
    sim->Unplug();
    ASSERT_TRUE(WaitUntil([&] { return ended.has_value(); }));
    EXPECT_EQ(*ended, LinkMonitor::End::kOtherRemote);
    EXPECT_FALSE(session->WatchingLink());
}

TEST_F(RemoteSessionTest, CloseIsRefusedWhileLearningWithTheRemoteThereAndStopsTheCapture) {
    Open();
    session->WatchLink();
    session->SwitchLearning();
    ASSERT_EQ(session->ChooseKey(0x01), KeyChoice::kChosen);
    EXPECT_EQ(session->Close(), CloseRequest::kRefusedWhileLearning);
    EXPECT_TRUE(session->CaptureRunning());
    EXPECT_FALSE(session->Closing());

    sim->Unplug();
    EXPECT_EQ(session->Close(), CloseRequest::kClosing);
    EXPECT_TRUE(session->Closing());
    EXPECT_FALSE(session->CaptureRunning());
    EXPECT_FALSE(session->PendingKey());
    // The monitor was asked to stop; it ends without a question.
    ASSERT_TRUE(WaitUntil([&] { return !session->WatchingLink(); }));
    EXPECT_TRUE(questions.asked.empty());
}

}  // namespace
