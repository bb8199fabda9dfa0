#include "learning/capture_thread.h"

#include <utility>

CaptureThread::CaptureThread(DeviceLibrary& device, CaptureControl& control, CaptureTiming timing,
                             QObject* parent)
    : QThread(parent), device_(device), control_(control), timing_(std::move(timing)) {
    setObjectName(QStringLiteral("captureThread"));
}

CaptureThread::~CaptureThread() {
    // Whoever deletes a running capture must not leave it polling a library about to go. A
    // finished one leaves the control alone: it may already serve the next capture.
    if (isRunning())
        control_.Stop();
    wait();
}

CaptureResult CaptureThread::TakeResult() {
    return std::exchange(result_, CaptureResult{});
}

void CaptureThread::run() {
    result_ = WaitForCapture(device_, control_, timing_);
}
