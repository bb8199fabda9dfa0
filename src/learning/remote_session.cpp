#include "learning/remote_session.h"

#include <thread>
#include <utility>

#include "device/device_library.h"
#include "learning/capture_thread.h"
#include "learning/converter_library.h"
#include "learning/key_slots.h"

namespace {

// How often a lock another program holds is tried again while waiting for it.
constexpr std::chrono::milliseconds kLockRetryPause{20};

}  // namespace

RemoteSession::RemoteSession(DeviceLibrary& device, SessionOptions options, QObject* parent)
    : QObject(parent),
      device_(device),
      options_(std::move(options)),
      converterFolder_(options_.converterFolder.isEmpty() ? ConverterFolder()
                                                          : options_.converterFolder) {
    captureControl_.Start();
}

RemoteSession::~RemoteSession() {
    StopCaptureThread();
    // A monitor waiting for its question is released by the stop request, so this join never
    // waits on a thread that waits on this one.
    if (linkMonitor_)
        linkMonitor_->StopAndJoin();
}

bool RemoteSession::RemoteAttached() {
    return device_.IsAttached();
}

bool RemoteSession::WaitForRemote() {
    while (!device_.IsAttached())
        if (questions_ == nullptr || !questions_->RetryWithoutRemote())
            return false;
    return true;
}

RemoteOpening RemoteSession::Open(LockMode lockMode) {
    RemoteOpening opening;
    opening.reading = CheckRemoteAtStartup(device_);
    if (opening.reading.identityAccepted && lockMode == LockMode::kHold)
        opening = TakeLock(std::move(opening));
    if (opening.status != RemoteOpening::Status::kLockHeld &&
        opening.status != RemoteOpening::Status::kLockUnavailable) {
        // The tables are read under the lock, so that what a change is decided on is what the
        // remote holds while the change is made.
        ReadRemoteTables(device_, opening.reading);
        opening.status = opening.reading.status == StartupStatus::kReady
                             ? RemoteOpening::Status::kOpened
                             : RemoteOpening::Status::kNotAccepted;
    }
    map_ = opening.reading.map;
    tablesCurrent_ = opening.Opened();
    return opening;
}

RemoteOpening RemoteSession::TakeLock(RemoteOpening opening) {
    const QString identity = QString::fromStdString(opening.reading.map.remoteIdText);
    const auto deadline = std::chrono::steady_clock::now() + options_.lockWait;
    for (;;) {
        const RemoteLockStatus status =
            lock_.Take(identity, options_.holderName, options_.lockFolder);
        if (status == RemoteLockStatus::kTaken) {
            // Whoever held it before has let go.
            opening.status = RemoteOpening::Status::kNotAccepted;
            opening.holderName.clear();
            opening.holderProcess = 0;
            return opening;
        }
        if (status == RemoteLockStatus::kUnavailable) {
            opening.status = RemoteOpening::Status::kLockUnavailable;
            opening.lockProblem = lock_.Problem();
            return opening;
        }
        opening.status = RemoteOpening::Status::kLockHeld;
        // A holder between taking the lock and writing its name leaves none: the name seen
        // last is the one to tell.
        if (!lock_.HolderName().isEmpty() || opening.holderName.isEmpty()) {
            opening.holderName = lock_.HolderName();
            opening.holderProcess = lock_.HolderProcess();
        }
        // The window holds its lock until it is closed: waiting for it is pointless.
        if (lock_.HolderName() == kWindowHolderName || std::chrono::steady_clock::now() >= deadline)
            return opening;
        std::this_thread::sleep_for(kLockRetryPause);
    }
}

bool RemoteSession::RereadTables() {
    tablesCurrent_ = false;
    StartupReading reading = CheckRemoteAtStartup(device_);
    // Another remote's tables are never taken for this one's.
    if (!reading.identityAccepted || reading.map.remoteIdText != map_.remoteIdText)
        return false;
    ReadRemoteTables(device_, reading);
    if (reading.status != StartupStatus::kReady)
        return false;
    std::vector<KeyCode> changed;
    for (std::size_t i = 0; i < reading.map.keySlots.size(); ++i) {
        const KeySlot& now = reading.map.keySlots[i];
        if (i >= map_.keySlots.size() || map_.keySlots[i].state != now.state)
            changed.push_back(now.keyCode);
    }
    map_ = std::move(reading.map);
    tablesCurrent_ = true;
    emit tablesReread(changed);
    return true;
}

bool RemoteSession::EnsureTablesCurrent() {
    return tablesCurrent_ || RereadTables();
}

void RemoteSession::AfterUncertainWrite() {
    tablesCurrent_ = false;
    RereadTables();
}

bool RemoteSession::MayReclaimLeakedEntries() const {
    return lock_.Held() && tablesCurrent_;
}

LeakedEntries RemoteSession::LeakedEntriesPolicy() const {
    return MayReclaimLeakedEntries() ? LeakedEntries::kReclaimedWhenFull
                                     : LeakedEntries::kLeftAlone;
}

EntryReclaim RemoteSession::ReclaimLeakedEntries() {
    if (!MayReclaimLeakedEntries())
        return {};
    EntryReclaim reclaim = ::ReclaimLeakedEntries(map_, device_);
    if (reclaim.outcome == EntryReclaim::Outcome::kUnknown)
        AfterUncertainWrite();
    return reclaim;
}

bool RemoteSession::AnyKeyLearned() const {
    return ::AnyKeyLearned(map_.keySlots);
}

bool RemoteSession::KeyIsLearned(KeyCode key) const {
    return ::KeyIsLearned(map_.keySlots, key);
}

// ---- Learning

LearningSwitch RemoteSession::SwitchLearning() {
    if (deleteMode_)
        return {LearningSwitch::Result::kRefusedWhileDeleting, std::nullopt};
    learningMode_ = !learningMode_;
    if (learningMode_)
        return {LearningSwitch::Result::kSwitchedOn, std::nullopt};
    // The capture ends by itself once told to; its end handler finds no key waiting.
    captureControl_.Stop();
    return {LearningSwitch::Result::kSwitchedOff, std::exchange(pendingKey_, std::nullopt)};
}

KeyChoice RemoteSession::ChooseKey(KeyCode key) {
    if (pendingKey_)
        return KeyChoice::kKeyPending;
    if (!learningMode_)
        return KeyChoice::kLearningOff;
    const bool relearn = KeyIsLearned(key);
    if (relearn) {
        const bool yes = questions_ != nullptr && questions_->ConfirmRelearn(key);
        // The session may have been closed, or learning switched off, while the question was
        // open: then no capture is started for a user who has gone.
        if (!yes || closing_ || !learningMode_ || pendingKey_)
            return KeyChoice::kDeclined;
    }
    pendingKey_ = key;
    StartCapture();
    return relearn ? KeyChoice::kRechosen : KeyChoice::kChosen;
}

namespace {

// What a change that could not start returns: the tables could not be read again, and the
// converter was never asked.
LearnResult TablesNotRead() {
    LearnResult refused;
    refused.outcome = LearnOutcome::kTablesNotRead;
    return refused;
}

}  // namespace

CaptureLearning RemoteSession::LearnFromCapture(KeyCode key, std::string_view capture) {
    if (!EnsureTablesCurrent()) {
        CaptureLearning refused;
        refused.conversion.status = ConversionStatus::kConverted;
        refused.learned = TablesNotRead();
        return refused;
    }
    CaptureLearning attempt =
        LearnCapture(map_, device_, key, capture, converterFolder_, LeakedEntriesPolicy());
    if (attempt.learned && attempt.learned->remoteUncertain)
        AfterUncertainWrite();
    return attempt;
}

ProgramResult RemoteSession::Program(KeyCode key, const quorvel::Durations& signal) {
    if (!EnsureTablesCurrent()) {
        ProgramResult refused;
        refused.conversion.status = ConversionStatus::kConverted;
        refused.learned = TablesNotRead();
        return refused;
    }
    ProgramResult programmed =
        ProgramSignal(map_, device_, key, signal, converterFolder_, LeakedEntriesPolicy());
    if (programmed.learned && programmed.learned->remoteUncertain)
        AfterUncertainWrite();
    return programmed;
}

std::vector<PlannedKey> RemoteSession::PlanImport(
    const std::vector<ImportRequest>& requests) const {
    return ::PlanImport(map_, requests, converterFolder_, MayReclaimLeakedEntries());
}

void RemoteSession::StartCapture() {
    // A capture thread that still exists keeps its place: the pending key waits for that
    // thread's end handler instead of a second thread.
    if (captureThread_ != nullptr)
        return;
    captureControl_.Start();
    captureThread_ = new CaptureThread(device_, captureControl_, options_.captureTiming, this);
    // Connected before the thread runs, with the session as context: the end handler runs on
    // the UI thread, and never once the session is gone.
    connect(captureThread_, &QThread::finished, this, &RemoteSession::OnCaptureEnded);
    captureThread_->start();
}

void RemoteSession::StopCaptureThread() {
    if (captureThread_ == nullptr)
        return;
    // The end handler must not run for a session that is closing: it would report to a front
    // end that is going.
    disconnect(captureThread_, nullptr, this, nullptr);
    captureControl_.Stop();
    captureThread_->wait();
    delete std::exchange(captureThread_, nullptr);
}

void RemoteSession::OnCaptureEnded() {
    CaptureThread* ended = std::exchange(captureThread_, nullptr);
    if (ended == nullptr)
        return;
    CaptureResult result = ended->TakeResult();
    ended->deleteLater();
    // A key chosen after learning was switched off and on again, while the stopped capture
    // was still ending: that capture was never meant for it, so it gets one of its own.
    if (result.end == CaptureEnd::kStopped && learningMode_ && pendingKey_) {
        StartCapture();
        return;
    }
    // Learning was switched off while the thread was ending: the attempt is over.
    if (!pendingKey_)
        return;
    const KeyCode key = *pendingKey_;
    if (result.capture.empty()) {
        pendingKey_.reset();
        emit learningFailed(LearningAttempt{key, false, {}});
        return;
    }
    emit learningStarted(key);
    LearningAttempt done{key, true, LearnFromCapture(key, result.capture)};
    // The key waits no more, whatever the front end does while it tells the user.
    pendingKey_.reset();
    if (!done.attempt.Succeeded()) {
        emit learningFailed(done);
        return;
    }
    // Every write is done: the front end may now wait for the user without leaving the remote
    // half written if the program dies meanwhile.
    emit keyLearned(key, done.attempt);
}

// ---- Deleting

bool RemoteSession::SwitchDeleteMode() {
    if (learningMode_)
        return false;
    deleteMode_ = !deleteMode_;
    return true;
}

std::optional<DeleteOutcome> RemoteSession::DeleteRefusal(KeyCode key) const {
    return ::DeleteRefusal(map_.keySlots, key);
}

KeyDeletion RemoteSession::DeleteKey(KeyCode key) {
    KeyDeletion deletion;
    if (!EnsureTablesCurrent()) {
        // Nothing is decided on tables the remote may no longer hold.
        deletion.request = KeyDeletion::Result::kDone;
        deletion.result.outcome = DeleteOutcome::kNotDeleted;
        deletion.result.release.keyCode = key;
        deletion.result.release.outcome = ReleaseOutcome::kEntryNotReadable;
        return deletion;
    }
    if (const std::optional<DeleteOutcome> refusal = DeleteRefusal(key)) {
        deletion.result.outcome = *refusal;
        return deletion;
    }
    // The session may have been closed while the question was open (another remote among the
    // reasons): then nothing is written.
    if (questions_ == nullptr || !questions_->ConfirmDelete(key) || closing_) {
        deletion.request = KeyDeletion::Result::kDeclined;
        return deletion;
    }
    deletion.request = KeyDeletion::Result::kDone;
    deletion.result = DeleteLearnedKey(map_, device_, key);
    if (deletion.result.release.remoteUncertain)
        AfterUncertainWrite();
    EndDeleteModeIfNothingLearned();
    return deletion;
}

KeysClearing RemoteSession::ClearKeys() {
    KeysClearing clearing;
    // The learned keys are the remote's as it holds them now; when they cannot be read, every
    // key the session knew as learned is reported as not cleared.
    if (!learningMode_ && !deleteMode_ && !EnsureTablesCurrent()) {
        clearing.request = KeysClearing::Result::kDone;
        clearing.result.outcome = ClearOutcome::kPartlyCleared;
        for (std::size_t slot = 0; slot < map_.keySlots.size(); ++slot) {
            if (map_.keySlots[slot].state != SlotState::kLearned)
                continue;
            KeyRelease release;
            release.slotIndex = slot;
            release.keyCode = map_.keySlots[slot].keyCode;
            release.outcome = ReleaseOutcome::kEntryNotReadable;
            clearing.result.failed.push_back(release);
        }
        return clearing;
    }
    if (learningMode_)
        clearing.request = KeysClearing::Result::kRefusedWhileLearning;
    else if (deleteMode_)
        clearing.request = KeysClearing::Result::kRefusedWhileDeleting;
    else if (!AnyKeyLearned())
        clearing.request = KeysClearing::Result::kNothingLearned;
    else if (questions_ == nullptr || !questions_->ConfirmClear() || closing_)
        clearing.request = KeysClearing::Result::kDeclined;
    else {
        clearing.request = KeysClearing::Result::kDone;
        clearing.result = ClearLearnedKeys(map_, device_);
        for (const std::vector<KeyRelease>* releases :
             {&clearing.result.cleared, &clearing.result.failed}) {
            for (const KeyRelease& release : *releases) {
                if (release.remoteUncertain) {
                    AfterUncertainWrite();
                    return clearing;
                }
            }
        }
    }
    return clearing;
}

void RemoteSession::EndDeleteModeIfNothingLearned() {
    if (!AnyKeyLearned())
        deleteMode_ = false;
}

// ---- The link and the end

void RemoteSession::WatchLink() {
    if (linkMonitor_ || closing_)
        return;
    linkMonitor_ = new LinkMonitor(device_, map_.remoteIdText, *this, *this, this);
    // With the session as context the end handler runs on the UI thread, and never after the
    // session is gone.
    connect(linkMonitor_, &QThread::finished, this, &RemoteSession::OnLinkMonitorEnded);
    linkMonitor_->start();
}

void RemoteSession::OnLinkMonitorEnded() {
    LinkMonitor::End why = LinkMonitor::End::kStopRequested;
    if (linkMonitor_) {
        // Its body has returned, so this waits on nothing but the thread's last steps before
        // the object goes.
        linkMonitor_->StopAndJoin();
        why = linkMonitor_->EndReason();
        linkMonitor_->deleteLater();
        linkMonitor_ = nullptr;
    }
    // Another remote is attached: what was read is not its memory, so nothing more may be
    // learned onto it, and the session must be able to close although learning was on.
    if (why == LinkMonitor::End::kOtherRemote)
        EndLearning();
    emit linkWatchEnded(why);
}

void RemoteSession::EndLearning() {
    learningMode_ = false;
    // Stopped and joined now: a capture that ended meanwhile would learn onto the other remote.
    StopCaptureThread();
    pendingKey_.reset();
}

CloseRequest RemoteSession::Close() {
    if (learningMode_ && device_.IsAttached())
        return CloseRequest::kRefusedWhileLearning;
    closing_ = true;
    // Learning with the remote detached may leave a capture waiting: it is stopped and joined
    // now, so it never reports to a front end that is going.
    StopCaptureThread();
    pendingKey_.reset();
    // Not joined here: the close may come from inside the monitor's own question, which this
    // thread is showing. The monitor ends by itself; the destructor joins what is left.
    if (linkMonitor_)
        linkMonitor_->RequestStop();
    return CloseRequest::kClosing;
}

void RemoteSession::ShowLinkState(bool attached) {
    emit linkStateChanged(attached);
}

void RemoteSession::SetKeyControlsAvailable(bool available) {
    // The monitor gives the key controls back once the same remote is back. It may have been
    // changed while away (on another computer, another simulator image), so nothing is decided
    // on the tables read before: they are read again first, and the front end redraws every
    // key before the user can touch one.
    if (!available)
        tablesCurrent_ = false;
    else if (!tablesCurrent_ && !closing_)
        RereadTables();
    emit keyControlsAvailable(available);
}

LinkMonitorView::LossAnswer RemoteSession::AskAfterLoss() {
    // A session that is closing asks nothing more: the monitor has been told to stop, and a
    // question asked now would outlive the window the user closed.
    if (closing_ || questions_ == nullptr)
        return LossAnswer::kEnd;
    if (questions_->KeepWaitingForRemote())
        return LossAnswer::kKeepWatching;
    // The session may have been closed while the first question was open.
    if (closing_)
        return LossAnswer::kEnd;
    return questions_->ConfirmCloseWithoutRemote() ? LossAnswer::kEnd : LossAnswer::kKeepWatching;
}
