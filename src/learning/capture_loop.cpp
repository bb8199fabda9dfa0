#include "learning/capture_loop.h"

#include "device/device_library.h"

void CaptureControl::Start() {
    const std::lock_guard lock(mutex);
    value = 1;
}

void CaptureControl::Stop() {
    {
        const std::lock_guard lock(mutex);
        value = 2;
    }
    changed.notify_all();
}

bool CaptureControl::StopRequested() const {
    return Value() >= 2;
}

int CaptureControl::Value() const {
    const std::lock_guard lock(mutex);
    return value;
}

void CaptureControl::Pause(std::chrono::steady_clock::duration pause) {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, pause, [this] { return value >= 2; });
}

CaptureResult WaitForCapture(DeviceLibrary& device, CaptureControl& control,
                             const CaptureTiming& timing) {
    const auto start = timing.now();
    if (!device.EnterCaptureMode())
        return {CaptureEnd::kCaptureModeRefused, {}};
    for (;;) {
        if (control.StopRequested())
            return {CaptureEnd::kStopped, {}};
        if (timing.now() - start > timing.limit)
            return {CaptureEnd::kTimedOut, {}};
        if (std::optional<std::string> capture = device.CollectCapture();
            capture && !capture->empty())
            return {CaptureEnd::kCaptured, std::move(*capture)};
        if (!device.IsAttached())
            return {CaptureEnd::kRemoteGone, {}};
        control.Pause(timing.pollPause);
    }
}
