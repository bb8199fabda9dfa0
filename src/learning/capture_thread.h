#pragma once
// The capture thread: waits for one code on its own thread, so the window stays responsive
// while the user fires the code. It touches no window: what it caught is handed over through
// TakeResult once the thread has finished, and the end handler (connected to QThread::finished
// with the window as context, before the thread starts) runs on the UI thread.

#include <QThread>

#include "learning/capture_loop.h"

class DeviceLibrary;

class CaptureThread final : public QThread {
  public:
    // The device library and the control must outlive the thread.
    CaptureThread(DeviceLibrary& device, CaptureControl& control, CaptureTiming timing,
                  QObject* parent = nullptr);
    ~CaptureThread() override;

    // What the capture ended with. Only after the thread has finished.
    CaptureResult TakeResult();

  protected:
    void run() override;

  private:
    DeviceLibrary& device_;
    CaptureControl& control_;
    const CaptureTiming timing_;
    // Written by run(), read by TakeResult() after finished: the thread's end orders the two.
    CaptureResult result_;
};
