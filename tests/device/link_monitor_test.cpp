// The link monitor against the in-process simulated remote, with a window side that records what
// it was told on the test's thread (the UI thread here) and answers the question from a script.
#include "device/link_monitor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "device/device_library.h"
#include "sim/remote_image_builder.h"
#include "tests/support/forwarding_entry_points.h"
#include "tests/support/simulated_device.h"

namespace {

using Answer = LinkMonitorView::LossAnswer;
using End = LinkMonitor::End;

// Runs the test thread's events until the condition holds or five seconds passed.
bool ProcessEventsUntil(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.hasExpired(5000))
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Everything it records is touched only on the test's thread, where the monitor's calls run.
class RecordingView final : public QObject, public LinkMonitorView {
  public:
    std::vector<bool> linkStates;
    std::vector<bool> keyControls;
    int questions = 0;
    // Answers in order; once used up, the monitor is told to keep watching.
    std::deque<Answer> answers;
    // Runs at every question before it is answered.
    std::function<void()> onQuestion;

    void ShowLinkState(bool attached) override { linkStates.push_back(attached); }
    void SetKeyControlsAvailable(bool available) override { keyControls.push_back(available); }
    Answer AskAfterLoss() override {
        ++questions;
        if (onQuestion)
            onQuestion();
        if (answers.empty())
            return Answer::kKeepWatching;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class LinkMonitorTest : public ::testing::Test {
  protected:
    void Start(std::string identity = default_remote::kIdentityText) {
        monitor = std::make_unique<LinkMonitor>(library, std::move(identity), view, view);
        monitor->start();
    }
    bool Ended() { return monitor->isFinished(); }
    bool EndsWith(End reason) {
        return ProcessEventsUntil([&] { return Ended(); }) && monitor->EndReason() == reason;
    }
    void TearDown() override {
        if (monitor)
            monitor->StopAndJoin();
    }

    SimulatedRemote remote{DefaultRemoteImage()};
    SimulatedDevice entryPoints{remote};
    DeviceLibrary library{entryPoints};
    RecordingView view;
    std::unique_ptr<LinkMonitor> monitor;
};

TEST_F(LinkMonitorTest, ShowsTheLinkEveryCycleAndAsksNothingWhileTheRemoteStays) {
    Start();
    ASSERT_TRUE(ProcessEventsUntil([&] { return view.linkStates.size() >= 3; }));
    monitor->StopAndJoin();
    EXPECT_EQ(monitor->EndReason(), End::kStopRequested);
    EXPECT_EQ(std::count(view.linkStates.begin(), view.linkStates.end(), false), 0);
    EXPECT_TRUE(view.keyControls.empty());
    EXPECT_EQ(view.questions, 0);
    EXPECT_EQ(remote.CallCount(DeviceCall::kBasicInfo), 0);
}

TEST_F(LinkMonitorTest, UnplugTakesTheKeysAndAsksAgainEachCycleUntilTheSameRemoteIsBack) {
    remote.Unplug();
    view.onQuestion = [&] {
        if (view.questions == 2)
            remote.Plug();
    };
    Start();
    ASSERT_TRUE(ProcessEventsUntil([&] {
        return !view.keyControls.empty() && view.keyControls.back() && view.linkStates.size() >= 5;
    }));
    EXPECT_EQ(view.linkStates.front(), false);
    EXPECT_EQ(view.questions, 2);
    // Taken once per cycle away, given back once; the identity read once per reconnection.
    EXPECT_EQ(view.keyControls, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(remote.CallCount(DeviceCall::kBasicInfo), 1);
    EXPECT_EQ(view.linkStates.back(), true);
    EXPECT_FALSE(Ended());
}

TEST_F(LinkMonitorTest, EndsWithoutAQuestionWhenAnotherRemoteComesBack) {
    struct Case {
        const char* name;
        std::function<void(SimulatedRemote&)> change;
    };
    const std::vector<Case> cases = {
        {"another identity",
         [](SimulatedRemote& r) { r.SetIdentityOverride("000000000000000000000000000000"); }},
        {"identity unreadable", [](SimulatedRemote& r) { r.FailCall(DeviceCall::kBasicInfo); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedRemote other(DefaultRemoteImage());
        SimulatedDevice otherEntryPoints(other);
        DeviceLibrary otherLibrary(otherEntryPoints);
        RecordingView otherView;
        other.Unplug();
        otherView.onQuestion = [&] {
            c.change(other);
            other.Plug();
        };
        LinkMonitor m(otherLibrary, default_remote::kIdentityText, otherView, otherView);
        m.start();
        EXPECT_TRUE(ProcessEventsUntil([&] { return m.isFinished(); }));
        EXPECT_EQ(m.EndReason(), End::kOtherRemote);
        EXPECT_EQ(otherView.questions, 1);
        m.StopAndJoin();
    }
}

// The remote's identity as a device library may give it: in lower case, or refused a number of
// times before it is given (as by a remote that has only just come back).
class IdentityAnswers final : public ForwardingEntryPoints {
  public:
    using ForwardingEntryPoints::ForwardingEntryPoints;
    bool lowerCase = false;
    std::atomic<int> refusals{0};
    // Runs at every refusal, on the monitor's thread.
    std::function<void()> onRefusal;

    bool RBasicInfo(char* buffer) override {
        if (refusals > 0) {
            --refusals;
            if (onRefusal)
                onRefusal();
            return false;
        }
        if (!ForwardingEntryPoints::RBasicInfo(buffer))
            return false;
        if (lowerCase)
            for (char* c = buffer; *c != '\0'; ++c)
                *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        return true;
    }
};

TEST_F(LinkMonitorTest, TheSameRemoteIsKnownInEitherCaseAndAfterAFewRefusedReads) {
    struct Case {
        const char* name;
        bool lowerCase;
        int refusals;
        bool sameRemote;
        int reads;  // RBasicInfo calls after the reconnection
    };
    const Case cases[] = {
        {"lower-case hex", true, 0, true, 1},
        {"refused once", false, 1, true, 2},
        {"refused but the last time", true, LinkMonitor::kIdentityReadAttempts - 1, true,
         LinkMonitor::kIdentityReadAttempts},
        {"refused every time", false, LinkMonitor::kIdentityReadAttempts, false,
         LinkMonitor::kIdentityReadAttempts},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedRemote back(DefaultRemoteImage());
        SimulatedDevice backEntryPoints(back);
        IdentityAnswers answers(backEntryPoints);
        answers.lowerCase = c.lowerCase;
        answers.refusals = c.refusals;
        DeviceLibrary backLibrary(answers);
        RecordingView backView;
        back.Unplug();
        backView.onQuestion = [&] { back.Plug(); };
        LinkMonitor m(backLibrary, default_remote::kIdentityText, backView, backView);
        m.start();
        if (c.sameRemote) {
            EXPECT_TRUE(ProcessEventsUntil(
                [&] { return !backView.keyControls.empty() && backView.keyControls.back(); }));
            EXPECT_FALSE(m.isFinished());
        } else {
            EXPECT_TRUE(ProcessEventsUntil([&] { return m.isFinished(); }));
            EXPECT_EQ(m.EndReason(), End::kOtherRemote);
        }
        EXPECT_EQ(back.CallCount(DeviceCall::kBasicInfo), c.reads - c.refusals);
        EXPECT_EQ(answers.refusals, 0);
        EXPECT_EQ(backView.questions, 1);
        m.StopAndJoin();
    }
}

TEST_F(LinkMonitorTest, ARemoteGoneAgainWhileItsIdentityIsReadAgainIsAwayNotAnother) {
    IdentityAnswers answers(entryPoints);
    answers.refusals = 1;
    // The link drops again before the identity could be read.
    answers.onRefusal = [&] { remote.Unplug(); };
    DeviceLibrary flakyLibrary(answers);
    remote.Unplug();
    view.onQuestion = [&] { remote.Plug(); };
    monitor =
        std::make_unique<LinkMonitor>(flakyLibrary, default_remote::kIdentityText, view, view);
    monitor->start();
    EXPECT_TRUE(
        ProcessEventsUntil([&] { return !view.keyControls.empty() && view.keyControls.back(); }));
    EXPECT_FALSE(Ended());
    // Asked once for the first loss and once more for the second, each shown as a loss.
    EXPECT_EQ(view.questions, 2);
    EXPECT_EQ(std::count(view.linkStates.begin(), view.linkStates.end(), false), 2);
    // Joined before the entry points it calls go.
    monitor->StopAndJoin();
}

TEST_F(LinkMonitorTest, EndsWhenTheUserConfirmsClosing) {
    remote.Unplug();
    view.answers = {Answer::kKeepWatching, Answer::kEnd};
    Start();
    EXPECT_TRUE(EndsWith(End::kUserClosed));
    EXPECT_EQ(view.questions, 2);
}

TEST_F(LinkMonitorTest, WithoutAStartupIdentityTheFirstLossEndsAfterTheQuestion) {
    remote.Unplug();
    Start("");
    EXPECT_TRUE(EndsWith(End::kNoIdentity));
    EXPECT_EQ(view.questions, 1);
}

TEST_F(LinkMonitorTest, StopWakesItFromItsPause) {
    Start();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !view.linkStates.empty(); }));
    // The first cycle has posted its label and sleeps now; a stop ends it long before the
    // pause would.
    monitor->RequestStop();
    EXPECT_TRUE(monitor->wait(QDeadlineTimer(LinkMonitor::kCyclePause.count() * 10)));
    EXPECT_EQ(monitor->EndReason(), End::kStopRequested);
}

TEST_F(LinkMonitorTest, StopReleasesAMonitorWaitingForAnAnswer) {
    remote.Unplug();
    Start();
    // No event runs on this thread meanwhile: after its first cycle the monitor waits for the
    // answer to a question queued here, as when the window goes away while the box is due.
    QThread::msleep(LinkMonitor::kCyclePause.count() * 2);
    monitor->StopAndJoin();
    EXPECT_TRUE(Ended());
    EXPECT_EQ(monitor->EndReason(), End::kStopRequested);
    // The question still queued here is withdrawn, never asked.
    QCoreApplication::processEvents();
    EXPECT_EQ(view.questions, 0);
}

}  // namespace
