// Waiting for a code: how a capture ends, on the in-process simulated remote, with the limit
// measured on a clock the test steps.
#include <gtest/gtest.h>

#include <thread>

#include "learning/capture_loop.h"
#include "learning/capture_thread.h"
#include "tests/support/started_remote.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A clock that moves one second every time it is read.
struct SteppingClock {
    Clock::time_point now{};
    Clock::time_point operator()() { return now += 1s; }
};

// Fires a code at the remote as soon as it is listening.
void FireOnceListening(SimulatedRemote& remote, const std::string& code) {
    while (!remote.InCaptureMode())
        std::this_thread::sleep_for(1ms);
    ASSERT_TRUE(remote.QueueCapture(code));
}

TEST(CaptureLoop, TheLimitIsElapsedTimeOnTheGivenClock) {
    // Read once at the start and once per poll: with whole-second steps the eighth second is
    // still within the limit and the ninth ends the capture, wherever the clock started (a
    // start two seconds before midnight included: only differences are used).
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    r.Sim().SetCollectWait(0ms);
    CaptureControl control;
    CaptureTiming timing;
    timing.pollPause = 0ms;
    timing.now = SteppingClock{};
    const CaptureResult result = WaitForCapture(r.Device(), control, timing);
    EXPECT_EQ(result.end, CaptureEnd::kTimedOut);
    EXPECT_EQ(result.capture, "");
    EXPECT_EQ(r.Sim().CallCount(DeviceCall::kCollectCodeInfo), 8);
}

TEST(CaptureLoop, EndsAsSoonAsItsCauseIsThere) {
    struct Case {
        const char* name;
        std::function<void(SimulatedRemote&)> before;  // before the capture starts
        std::function<void(SimulatedRemote&, CaptureControl&)> during;
        CaptureEnd end;
    } cases[] = {
        {"a code arrives",
         {},
         [](SimulatedRemote& remote, CaptureControl&) { FireOnceListening(remote, "80458012"); },
         CaptureEnd::kCaptured},

        {"a stop is requested",
         {},
         [](SimulatedRemote&, CaptureControl& control) { control.Stop(); },
         CaptureEnd::kStopped},
        {"the remote is unplugged",
         {},
         [](SimulatedRemote& remote, CaptureControl&) { remote.Unplug(); },
         CaptureEnd::kRemoteGone},
        {"capture mode is refused",
         [](SimulatedRemote& remote) { remote.FailCall(DeviceCall::kSetCodeCarrierWave); },
         {},
         CaptureEnd::kCaptureModeRefused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartedRemote r(RemoteImageBuilder::DefaultRemote());
        if (c.before)
            c.before(r.Sim());
        CaptureControl control;
        CaptureTiming timing;
        timing.limit = 60s;  // never reached: each case ends for its own cause
        std::jthread cause;
        if (c.during)
            cause = std::jthread([&] {
                std::this_thread::sleep_for(50ms);
                c.during(r.Sim(), control);
            });
        const CaptureResult result = WaitForCapture(r.Device(), control, timing);
        EXPECT_EQ(result.end, c.end);
        if (c.end == CaptureEnd::kCaptured) {
            // The buffer as the library fills it: the code, then zero bytes to its size.
            EXPECT_EQ(result.capture.substr(0, 8), "80458012");
            EXPECT_EQ(result.capture.size(), SimulatedRemote::kCaptureBufferSize);
        } else {
            EXPECT_EQ(result.capture, "");
        }
    }
}

TEST(CaptureLoop, ACodeFiredBeforeTheCaptureStartedIsNotCaught) {
    // The remote heard nothing before it was put into capture mode: an old code never becomes
    // the next key's.
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    r.Sim().SetCollectWait(0ms);
    ASSERT_TRUE(r.Sim().SetCodeCarrierWave());
    ASSERT_TRUE(r.Sim().QueueCapture("80458012"));
    CaptureControl control;
    CaptureTiming timing;
    timing.pollPause = 0ms;
    timing.now = SteppingClock{};
    EXPECT_EQ(WaitForCapture(r.Device(), control, timing).end, CaptureEnd::kTimedOut);
}

TEST(CaptureThread, HandsOverWhatItCaughtAndStopsWhenDeleted) {
    StartedRemote r(RemoteImageBuilder::DefaultRemote());
    CaptureControl control;
    {
        CaptureThread thread(r.Device(), control, CaptureTiming{});
        thread.start();
        FireOnceListening(r.Sim(), "80458012");
        ASSERT_TRUE(thread.wait(10000));
        const CaptureResult result = thread.TakeResult();
        EXPECT_EQ(result.end, CaptureEnd::kCaptured);
        EXPECT_EQ(thread.TakeResult().capture, "") << "handed over once";
    }
    control.Start();
    {
        // Deleting a thread still waiting for a code stops and joins it.
        CaptureThread thread(r.Device(), control, CaptureTiming{.limit = 60s});
        thread.start();
    }
    EXPECT_TRUE(control.StopRequested());
}

}  // namespace
