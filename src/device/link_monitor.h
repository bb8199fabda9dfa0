#pragma once
// LinkMonitor: the thread that watches the USB link to the remote while the window is open. Every
// 200 ms it asks whether the remote is attached and shows the answer; while the remote is away it
// takes the key controls from the user and asks, through the window, whether to wait for it; when
// the remote comes back it checks that it is the same remote as at start-up. An identity that
// cannot be read is asked for again a few times (a remote that has only just come back may not
// answer yet) before the remote counts as another one.
//
// It knows the window only as a LinkMonitorView, and never calls it from its own thread: the
// label and the key controls are posted to the view's context object (the window, on the UI
// thread), queued and dropped unrun once the context is gone. The question after a loss is
// posted the same way, and the monitor then waits for the answer, like a blocking queued call,
// except that its wait is on a condition that a stop request also satisfies. So a thread that
// asks the monitor to stop can always join it, even while the monitor waits for a box that the
// same thread would have to show: waiting on each other is impossible by construction, not by
// the window's care. (It also keeps every hand-over between the threads on a std::mutex, which
// the thread sanitizer sees; Qt's own blocking call synchronises inside Qt, where it does not.)
// A question still queued when the monitor stops is not asked.

#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
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
        kOtherRemote,    // after a reconnection the identity differs (or could not be read
                         // in kIdentityReadAttempts tries)
        kUserClosed,     // the user confirmed closing while the remote was away
        kNoIdentity,     // the remote was lost and start-up had read no identity to check
    };

    static constexpr std::chrono::milliseconds kCyclePause{200};
    // How often a returning remote's identity is read before a failed read means another
    // remote, and the pause between the reads.
    static constexpr int kIdentityReadAttempts = 3;
    static constexpr std::chrono::milliseconds kIdentityRetryPause{100};

    // remoteIdText: the identity start-up accepted, compared with the first 30 characters of
    // the identity read after a reconnection, without regard to case (a device library may
    // answer its hex digits in either). The device, the view and the context must outlive the
    // thread's run; view calls are carried out on context's thread.
    LinkMonitor(DeviceLibrary& device, std::string remoteIdText, LinkMonitorView& view,
                QObject& viewContext, QObject* parent = nullptr);
    ~LinkMonitor() override;

    // Asks the thread to end before its next cycle; wakes it from its pause at once. Any thread.
    void RequestStop();
    bool StopRequested() const;
    // Asks the thread to end and waits until it has: from any thread, also the UI thread while
    // the monitor waits for an answer.
    void StopAndJoin();
    // Why the thread ended; kRunning while it runs.
    End EndReason() const { return end_.load(); }

  protected:
    void run() override;

  private:
    // What a reconnection found.
    enum class Return {
        kSameRemote,
        kOtherRemote,
        kAwayAgain,  // gone again before its identity could be read
        kStopped,    // a stop was requested while the identity was being read again
    };

    End Watch();
    // Sleeps for pause; false when a stop was requested before or during it.
    bool PauseUnlessStopped(std::chrono::milliseconds pause = kCyclePause);
    void PostLinkState(bool attached);
    void PostKeyControlsAvailable(bool available);
    LinkMonitorView::LossAnswer AskAfterLossAndWait();
    Return CheckReturningRemote();

    DeviceLibrary& device_;
    const std::string remoteIdText_;  // never changed after construction
    LinkMonitorView& view_;
    QObject& viewContext_;

    // What the monitor's thread waits on, shared with the questions it has posted: a question
    // may run on the UI thread after the monitor has stopped, or even after it is gone.
    struct Handover {
        // Guards every field below.
        std::mutex mutex;
        // Signalled when a stop is requested and when a question is answered.
        std::condition_variable changed;
        bool stopRequested = false;
        // The question being asked (counted from 1) and its answer once given.
        int question = 0;
        std::optional<LinkMonitorView::LossAnswer> answer;
    };
    const std::shared_ptr<Handover> handover_ = std::make_shared<Handover>();
    std::atomic<End> end_{End::kRunning};
};
