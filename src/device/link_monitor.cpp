#include "device/link_monitor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QMetaObject>
#include <utility>

#include "device/device_library.h"

namespace {

// The identity is compared on the characters start-up kept of it.
constexpr std::size_t kIdentityTextLength = 30;

}  // namespace

LinkMonitor::LinkMonitor(DeviceLibrary& device, std::string remoteIdText, LinkMonitorView& view,
                         QObject& viewContext, QObject* parent)
    : QThread(parent),
      device_(device),
      remoteIdText_(std::move(remoteIdText)),
      view_(view),
      viewContext_(viewContext) {}

LinkMonitor::~LinkMonitor() {
    // The owner joins before it lets go; this only keeps a forgotten join from destroying a
    // running thread.
    if (isRunning())
        StopAndJoin();
}

void LinkMonitor::RequestStop() {
    {
        std::lock_guard lock(pauseMutex_);
        stopRequested_.store(true);
    }
    pauseWake_.notify_all();
}

void LinkMonitor::StopAndJoin() {
    RequestStop();
    // The thread may post the question between a drop and the next wait: drop again until it
    // has ended. Deleting an unrun blocking call releases its caller.
    constexpr int kDropIntervalMs = 10;
    while (!wait(QDeadlineTimer(kDropIntervalMs)))
        QCoreApplication::removePostedEvents(&viewContext_, QEvent::MetaCall);
}

void LinkMonitor::run() {
    end_.store(Watch());
}

LinkMonitor::End LinkMonitor::Watch() {
    // Lost since the last cycle that found the remote: the next good cycle checks the identity
    // and gives the key controls back.
    bool lostSinceGoodCycle = false;
    while (!StopRequested()) {
        const bool attached = device_.IsAttached();
        PostLinkState(attached);
        if (attached && lostSinceGoodCycle && !SameRemoteIsBack())
            return End::kOtherRemote;
        if (!PauseUnlessStopped())
            return End::kStopRequested;
        if (!attached) {
            PostKeyControlsAvailable(false);
            lostSinceGoodCycle = true;
            switch (AskAfterLossAndWait()) {
                case LinkMonitorView::LossAnswer::kEnd:
                    return StopRequested() ? End::kStopRequested : End::kUserClosed;
                case LinkMonitorView::LossAnswer::kKeepWatching:
                    break;
            }
            // Without the identity start-up read, a returning remote cannot be told apart
            // from another one.
            if (remoteIdText_.empty())
                return End::kNoIdentity;
        } else if (lostSinceGoodCycle) {
            lostSinceGoodCycle = false;
            PostKeyControlsAvailable(true);
        }
    }
    return End::kStopRequested;
}

bool LinkMonitor::SameRemoteIsBack() {
    // A failed read gives an empty text, which no accepted remote has: another remote.
    const std::string identity = device_.Identity().value_or(std::string());
    return identity.substr(0, kIdentityTextLength) == remoteIdText_;
}

bool LinkMonitor::PauseUnlessStopped() {
    std::unique_lock lock(pauseMutex_);
    return !pauseWake_.wait_for(lock, kCyclePause, [this] { return stopRequested_.load(); });
}

void LinkMonitor::PostLinkState(bool attached) {
    // Queued with the context: dropped, never run, once the window is gone.
    QMetaObject::invokeMethod(
        &viewContext_, [&view = view_, attached] { view.ShowLinkState(attached); },
        Qt::QueuedConnection);
}

void LinkMonitor::PostKeyControlsAvailable(bool available) {
    QMetaObject::invokeMethod(
        &viewContext_, [&view = view_, available] { view.SetKeyControlsAvailable(available); },
        Qt::QueuedConnection);
}

LinkMonitorView::LossAnswer LinkMonitor::AskAfterLossAndWait() {
    // The monitor waits here for the user. Qt releases the wait when the call has run, and also
    // when its event is deleted unrun (the context destroyed, or the window dropping it while it
    // joins this thread); the answer then stays "end". The UI thread must never wait on this
    // thread without dropping such a call: see the window's join.
    constexpr int kUnanswered = -1;
    std::atomic<int> answer{kUnanswered};
    QMetaObject::invokeMethod(
        &viewContext_,
        [&view = view_, &answer] { answer.store(static_cast<int>(view.AskAfterLoss())); },
        Qt::BlockingQueuedConnection);
    const int given = answer.load();
    if (given == kUnanswered)
        return LinkMonitorView::LossAnswer::kEnd;
    return static_cast<LinkMonitorView::LossAnswer>(given);
}
