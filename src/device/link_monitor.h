#pragma once
// LinkMonitor: the thread that watches the USB link to the remote while the window is open. Every
// 200 ms it asks whether the remote is attached and shows the answer; while the remote is away it
// takes the key controls from the user and asks, through the window, whether to wait for it; when
// the remote comes back it checks that it is the same remote as at start-up.
//
// It knows the window only as a LinkMonitorView, and never calls it from its own thread: the
// label and the key controls are posted to the view's context object (the window, on the UI
// thread), and the question is a blocking queued call there, so the monitor waits for the
// user's answer. A call whose event is dropped before it runs (the context was destroyed, or
// the window dropped it while joining the monitor) counts as an answer to end.

#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

class DeviceLibrary;

// The window's side, as the monitor needs it. Every call runs on the thread of the context
// object the monitor was given.
class LinkMonitorView {
  public:
    enum class LossAnswer {
        kKeepWatching,  // wait for the remote and look again
        kEnd,           // the user wants the program closed
    };

    virtual ~LinkMonitorView() = default;
    virtual void ShowLinkState(bool attached) = 0;
    // The key box and the learning, delete and clear buttons, all together.
    virtual void SetKeyControlsAvailable(bool available) = 0;
    // The remote is away: asks the user whether to keep waiting for it.
    virtual LossAnswer AskAfterLoss() = 0;
};

class LinkMonitor final : public QThread {
  public:
    enum class End {
        kRunning,        // not ended yet
        kStopRequested,  // RequestStop, or a question that was dropped unanswered
        kOtherRemote,    // after a reconnection the identity differs (or could not be read)
        kUserClosed,     // the user confirmed closing while the remote was away
        kNoIdentity,     // the remote was lost and start-up had read no identity to check
    };

    static constexpr std::chrono::milliseconds kCyclePause{200};

    // remoteIdText: the identity start-up accepted, compared exactly with the first 30
    // characters of the identity read after a reconnection. The device, the view and the
    // context must outlive the thread's run; view calls are carried out on context's thread.
    LinkMonitor(DeviceLibrary& device, std::string remoteIdText, LinkMonitorView& view,
                QObject& viewContext, QObject* parent = nullptr);
    ~LinkMonitor() override;

    // Asks the thread to end before its next cycle; wakes it from its pause at once. Any thread.
    void RequestStop();
    bool StopRequested() const { return stopRequested_.load(); }
    // Asks the thread to end and waits until it has. Only on the context object's thread: while
    // it waits it drops every call still queued to the context, the question included, so that
    // a monitor waiting for an answer is released instead of waiting on a thread that waits on
    // it. For an owner that is going away, whose queued calls would be dropped anyway.
    void StopAndJoin();
    // Why the thread ended; kRunning while it runs.
    End EndReason() const { return end_.load(); }

  protected:
    void run() override;

  private:
    End Watch();
    // Sleeps one cycle pause; false when a stop was requested before or during it.
    bool PauseUnlessStopped();
    void PostLinkState(bool attached);
    void PostKeyControlsAvailable(bool available);
    LinkMonitorView::LossAnswer AskAfterLossAndWait();
    bool SameRemoteIsBack();

    DeviceLibrary& device_;
    const std::string remoteIdText_;  // never changed after construction
    LinkMonitorView& view_;
    QObject& viewContext_;

    std::atomic<bool> stopRequested_{false};
    std::atomic<End> end_{End::kRunning};
    // Guards nothing but the wake-up of the pause: RequestStop takes it while setting
    // stopRequested_, so that the paused thread cannot miss the notification.
    std::mutex pauseMutex_;
    std::condition_variable pauseWake_;
};
