#include "device/link_monitor.h"

#include <QMetaObject>
#include <algorithm>
#include <string_view>
#include <utility>

#include "device/device_library.h"

namespace {

// The identity is compared on the characters start-up kept of it.
constexpr std::size_t kIdentityTextLength = 30;

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Start-up writes the identity as upper-case hex; the device library may answer in either case.
bool SameIdentity(std::string_view read, std::string_view accepted) {
    read = read.substr(0, kIdentityTextLength);
    return std::equal(read.begin(), read.end(), accepted.begin(), accepted.end(),
                      [](char a, char b) { return UpperAscii(a) == UpperAscii(b); });
}

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
    StopAndJoin();
}

void LinkMonitor::RequestStop() {
    {
        std::lock_guard lock(handover_->mutex);
        handover_->stopRequested = true;
    }
    handover_->changed.notify_all();
}

bool LinkMonitor::StopRequested() const {
    std::lock_guard lock(handover_->mutex);
    return handover_->stopRequested;
}

void LinkMonitor::StopAndJoin() {
    RequestStop();
    wait();
    // QThread::wait learns of the end inside Qt. The thread's last act of its own was under this
    // mutex, so taking it also shows the thread sanitizer that everything the thread did is
    // done before the caller goes on (and, say, destroys the monitor).
    std::lock_guard lock(handover_->mutex);
}

void LinkMonitor::run() {
    const End end = Watch();
    std::lock_guard lock(handover_->mutex);
    end_.store(end);
}

LinkMonitor::End LinkMonitor::Watch() {
    // Lost since the last cycle that found the remote: the next good cycle checks the identity
    // and gives the key controls back.
    bool lostSinceGoodCycle = false;
    while (!StopRequested()) {
        bool attached = device_.IsAttached();
        PostLinkState(attached);
        if (attached && lostSinceGoodCycle) {
            switch (CheckReturningRemote()) {
                case Return::kSameRemote:
                    break;
                case Return::kOtherRemote:
                    return End::kOtherRemote;
                case Return::kStopped:
                    return End::kStopRequested;
                case Return::kAwayAgain:
                    // This cycle counts as one without the remote.
                    attached = false;
                    PostLinkState(false);
                    break;
            }
        }
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

LinkMonitor::Return LinkMonitor::CheckReturningRemote() {
    for (int attempt = 1;; ++attempt) {
        if (const std::optional<std::string> identity = device_.Identity())
            return SameIdentity(*identity, remoteIdText_) ? Return::kSameRemote
                                                          : Return::kOtherRemote;
        // A remote that has only just come back may not answer yet; one that never does
        // cannot be told from another remote.
        if (attempt == kIdentityReadAttempts)
            return Return::kOtherRemote;
        if (!PauseUnlessStopped(kIdentityRetryPause))
            return Return::kStopped;
        if (!device_.IsAttached())
            return Return::kAwayAgain;
    }
}

bool LinkMonitor::PauseUnlessStopped(std::chrono::milliseconds pause) {
    std::unique_lock lock(handover_->mutex);
    return !handover_->changed.wait_for(lock, pause, [this] { return handover_->stopRequested; });
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
    int question = 0;
    {
        std::lock_guard lock(handover_->mutex);
        question = ++handover_->question;
        handover_->answer.reset();
    }
    QMetaObject::invokeMethod(
        &viewContext_,
        [handover = handover_, &view = view_, question] {
            {
                std::lock_guard lock(handover->mutex);
                if (handover->stopRequested || handover->question != question)
                    return;
            }
            const LinkMonitorView::LossAnswer answer = view.AskAfterLoss();
            {
                std::lock_guard lock(handover->mutex);
                if (handover->question == question)
                    handover->answer = answer;
            }
            handover->changed.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(handover_->mutex);
    handover_->changed.wait(
        lock, [this] { return handover_->stopRequested || handover_->answer.has_value(); });
    if (handover_->stopRequested)
        return LinkMonitorView::LossAnswer::kEnd;
    return *handover_->answer;
}
