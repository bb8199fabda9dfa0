// The link monitor against the in-process simulated remote, with a window side that records what
// it was told on the test's thread (the UI thread here) and answers the question from a script.
#include "device/link_monitor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "device/device_library.h"
#include "sim/remote_image_builder.h"
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
