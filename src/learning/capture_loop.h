#pragma once
// Waiting for the remote to receive an infrared code: the body of the capture thread, and of any
// other caller that waits for a code (the command-line tool). No Qt: it runs on whatever thread
// the caller gives it.
//
// The remote answers a poll at once, with or without a code, so the loop pauses between polls;
// the pause ends early when a stop is requested, which keeps stopping prompt and the wait cheap.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

class DeviceLibrary;

// Tells a running capture to stop. Its value follows the window's old convention (1: keep
// polling, 2 or more: stop at the next check), which the tests read.
class CaptureControl {
  public:
    // Keep polling (set before a capture starts).
    void Start();
    // Stop at the next check; wakes a capture that is pausing between polls.
    void Stop();
    bool StopRequested() const;
    int Value() const;
    // Waits up to `pause`; returns at once when a stop is requested meanwhile.
    void Pause(std::chrono::steady_clock::duration pause);

  private:
    // Guards value; waiting pauses sleep on changed.
    mutable std::mutex mutex;
    std::condition_variable changed;
    int value = 1;
};

enum class CaptureEnd {
    kCaptured,            // a code arrived: capture holds it
    kCaptureModeRefused,  // the remote did not enter capture mode
    kTimedOut,            // the limit passed without a code
    kStopped,             // a stop was requested
    kRemoteGone,          // the remote was detached
};

struct CaptureResult {
    CaptureEnd end = CaptureEnd::kTimedOut;
    // The capture as the library leaves it (zero fill included); empty unless kCaptured.
    std::string capture;
};

struct CaptureTiming {
    // A capture ends once more than this has passed since it started.
    std::chrono::steady_clock::duration limit = std::chrono::seconds(8);
    // The pause between two polls.
    std::chrono::steady_clock::duration pollPause = std::chrono::milliseconds(20);
    // The clock the limit is measured on: monotonic, so a change of the time of day (or
    // midnight) neither ends a capture early nor keeps it waiting.
    std::function<std::chrono::steady_clock::time_point()> now = [] {
        return std::chrono::steady_clock::now();
    };
};

// Puts the remote into capture mode and polls it until a code arrives, the limit passes, a
// stop is requested, or the remote goes. A capture of only zero bytes is a code: it is not
// empty, and the normaliser decides what it is worth.
CaptureResult WaitForCapture(DeviceLibrary& device, CaptureControl& control,
                             const CaptureTiming& timing = {});
