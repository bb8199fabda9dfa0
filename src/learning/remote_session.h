#pragma once
// RemoteSession: the one owner of an open remote. It opens the remote (its identity, then the
// lock, then the tables), keeps the map and the modes (learning, delete, the key waiting for its
// code), owns the capture thread and the link monitor, and offers the operations every front end
// needs. It shows nothing: a synchronous operation returns a typed outcome, and what happens on
// its own (a capture ending, the link changing) is reported as a Qt signal. A question it needs
// answered goes through the front end's SessionQuestions, so that the session decides what
// happens after the answer, also when the session was closed while the question was open.
//
// The window and remotectl are front ends. The session lives on the UI thread: every read and
// write of the remote's tables happens there; the threads only wait for a code and watch the
// link.

#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/link_monitor.h"
#include "device/remote_map.h"
#include "device/startup_reading.h"
#include "learning/capture_loop.h"
#include "learning/delete_keys.h"
#include "learning/import_plan.h"
#include "learning/leaked_entries.h"
#include "learning/learn_capture.h"
#include "learning/program_signal.h"
#include "platform/remote_lock.h"

class CaptureThread;
class DeviceLibrary;

// What the session asks its front end. Each answer is the user's; the session acts on it.
class SessionQuestions {
  public:
    virtual ~SessionQuestions() = default;
    // No remote is attached at start-up: true to look again.
    virtual bool RetryWithoutRemote() = 0;
    // The chosen key already holds a learned code: true to learn it again.
    virtual bool ConfirmRelearn(KeyCode key) = 0;
    // true to take the learned code off the key.
    virtual bool ConfirmDelete(KeyCode key) = 0;
    // true to take every learned code off the remote.
    virtual bool ConfirmClear() = 0;
    // The remote went away while the session watched the link: true to keep waiting for it;
    // false asks ConfirmCloseWithoutRemote next.
    virtual bool KeepWaitingForRemote() = 0;
    // true to end the session while the remote is away.
    virtual bool ConfirmCloseWithoutRemote() = 0;
};

// The name the window's lock gives its holder: a program that finds it waits for no lock, since
// the window holds its lock until it is closed.
inline const QString kWindowHolderName = QStringLiteral("keylearn");

struct SessionOptions {
    // The name the lock file gives to a second program that asks who has the remote.
    QString holderName = kWindowHolderName;
    // Where lock files lie; empty: the user's lock folder (ProcessLockFolder). A lock that cannot
    // be taken there is a refusal, never waved through.
    QString lockFolder;
    // How long opening waits for a lock another program holds (a remotectl command, which lets
    // go within moments); 0 refuses at once. A lock the window holds is refused at once.
    std::chrono::milliseconds lockWait{0};
    // How long a capture waits for its code, and how it polls.
    CaptureTiming captureTiming;
    // Where the converter is loaded from at every attempt; empty: the program's folder.
    QString converterFolder;
};

enum class LockMode {
    kNone,  // a session that only reads
    kHold,  // taken before the tables are read, held until the session ends
};

// What opening the remote found.
struct RemoteOpening {
    enum class Status {
        kOpened,           // every table was read (and the lock taken, when one was wanted)
        kNotAccepted,      // reading.status says why the remote was turned away or not read
        kLockHeld,         // another program holds the remote's lock: holderName, holderProcess
        kLockUnavailable,  // the lock could not be taken (no lock folder, a file that cannot be
                           // made): lockProblem
    };
    Status status = Status::kNotAccepted;
    StartupReading reading;  // as far as the opening got
    // kLockHeld: the holder's program name as its lock file gives it (empty when it wrote none;
    // any text, so a terminal gets it escaped).
    QString holderName;
    qint64 holderProcess = 0;
    QString lockProblem;

    bool Opened() const { return status == Status::kOpened; }
};

// Switching learning mode with the learn button.
struct LearningSwitch {
    enum class Result { kRefusedWhileDeleting, kSwitchedOn, kSwitchedOff };
    Result result = Result::kSwitchedOn;
    // kSwitchedOff: the key that was waiting for its code, which waits no more.
    std::optional<KeyCode> keyPutBack;
};

// Choosing a key to learn.
enum class KeyChoice {
    kKeyPending,   // another key waits for its code: nothing changed
    kLearningOff,  // learning mode is off: nothing changed
    kDeclined,     // a learned key whose re-learning the user declined: nothing changed
    kChosen,       // the key waits for its code and a capture runs for it
    kRechosen,     // the same, for a key that held a learned code
};

// Deleting one key, as the front end sees it.
struct KeyDeletion {
    enum class Result {
        kRefused,   // result.outcome says why (no keys at all, or not learned): nothing asked
        kDeclined,  // the user said no: nothing changed
        kDone,      // result says what came of it
    };
    Result request = Result::kRefused;
    DeleteResult result;
};

// Clearing every learned key.
struct KeysClearing {
    enum class Result {
        kRefusedWhileLearning,
        kRefusedWhileDeleting,
        kNothingLearned,
        kDeclined,
        kDone,  // result says what came of it
    };
    Result request = Result::kNothingLearned;
    ClearResult result;
};

// Closing the session (the window's close query).
enum class CloseRequest {
    kRefusedWhileLearning,  // learning with the remote attached: nothing changed
    kClosing,               // the capture is stopped, the link monitor asked to stop
};

// A capture that ended in a learning attempt, or without one.
struct LearningAttempt {
    KeyCode key = 0;
    // Whether a capture arrived; without one, attempt is empty.
    bool captured = false;
    CaptureLearning attempt;
};

class RemoteSession final : public QObject, private LinkMonitorView {
    Q_OBJECT

  public:
    // The device must outlive the session.
    explicit RemoteSession(DeviceLibrary& device, SessionOptions options = {},
                           QObject* parent = nullptr);
    // Stops and joins both threads: no thread outlives the session.
    ~RemoteSession() override;
    RemoteSession(const RemoteSession&) = delete;
    RemoteSession& operator=(const RemoteSession&) = delete;

    // The front end that answers questions; null answers every question no. Not owned.
    void SetQuestions(SessionQuestions* questions) { questions_ = questions; }

    // ---- Opening
    bool RemoteAttached();
    // Asks RetryWithoutRemote while no remote is attached; false when the user gives up.
    bool WaitForRemote();
    // Reads the remote's identity, takes the lock when asked to (the identity names it), then
    // reads the tables a change relies on. Every later operation works on what this read.
    RemoteOpening Open(LockMode lockMode);
    // Reads the tables again, from the identity on: the remote may have been changed while it
    // was away (on another computer, or another image in the simulator). Only the same remote's
    // tables are taken; then tablesReread is emitted. False, with the tables marked as not
    // current, when they could not be read (every change then reads them first, and is refused
    // while they cannot be). Done by itself when the link comes back and after a write whose
    // outcome could not be learned.
    bool RereadTables();
    // Whether the tables are what the remote holds, as far as the session knows: read by Open or
    // RereadTables and kept in step with every write since.
    bool TablesCurrent() const { return tablesCurrent_; }

    // ---- State
    const RemoteMap& Map() const { return map_; }
    bool LearningMode() const { return learningMode_; }
    bool DeleteMode() const { return deleteMode_; }
    std::optional<KeyCode> PendingKey() const { return pendingKey_; }
    bool AnyKeyLearned() const;
    bool KeyIsLearned(KeyCode key) const;
    // A capture thread exists (it may be ending).
    bool CaptureRunning() const { return captureThread_ != nullptr; }
    // The running capture has been told to stop.
    bool CaptureStopRequested() const { return captureControl_.StopRequested(); }
    bool WatchingLink() const { return linkMonitor_ != nullptr; }
    bool Closing() const { return closing_; }
    DeviceLibrary& Device() { return device_; }

    // ---- Learning
    LearningSwitch SwitchLearning();
    // Chooses key for learning (asking ConfirmRelearn for a learned key) and starts its
    // capture. The outcome of the capture comes as learningStarted, then keyLearned or
    // learningFailed.
    KeyChoice ChooseKey(KeyCode key);
    // One learning attempt from a capture, without the modes (remotectl).
    CaptureLearning LearnFromCapture(KeyCode key, std::string_view capture);
    // Gives key a signal nobody fired at the remote, as a capture of it would.
    ProgramResult Program(KeyCode key, const quorvel::Durations& signal);
    // Where each signal of an import would go, on the tables as read (import_plan.h), leaked
    // entries reclaimed where a code would not fit otherwise, as Program does under the lock.
    std::vector<PlannedKey> PlanImport(const std::vector<ImportRequest>& requests) const;

    // ---- Deleting
    // Delete mode on or off; false when refused because learning is on.
    bool SwitchDeleteMode();
    // Why deleting key would be refused before anything is asked, or none.
    std::optional<DeleteOutcome> DeleteRefusal(KeyCode key) const;
    // Takes the learned code off key after ConfirmDelete. Delete mode ends with the last
    // learned key.
    KeyDeletion DeleteKey(KeyCode key);
    // Takes every learned code off the remote after ConfirmClear.
    KeysClearing ClearKeys();

    // ---- Leaked code-table entries (leaked_entries.h)
    // Whether leaked entries may be reclaimed: the lock has been held since the whole key table
    // was read, and the tables are current. Learning then reclaims them when the table is full
    // or the code area has no room.
    bool MayReclaimLeakedEntries() const;
    // Frees them (remotectl repair); kNothingLeaked unless MayReclaimLeakedEntries.
    EntryReclaim ReclaimLeakedEntries();

    // ---- The link and the end
    // Starts watching the link (once); the monitor then reports through linkStateChanged,
    // keyControlsAvailable and linkWatchEnded.
    void WatchLink();
    CloseRequest Close();

  signals:
    // A capture arrived for key and is being learned now (before any write).
    void learningStarted(KeyCode key);
    // Every write is done: key holds the learned code.
    void keyLearned(KeyCode key, const CaptureLearning& attempt);
    // The attempt for key ended without a learned code; key waits no more.
    void learningFailed(const LearningAttempt& failure);
    void linkStateChanged(bool attached);
    void keyControlsAvailable(bool available);
    // The link monitor has ended (and is gone). For kOtherRemote the session has ended learning
    // first, stopping a capture that waited, so that a close is no longer refused.
    void linkWatchEnded(LinkMonitor::End why);
    // The tables were read again: changedKeys are the keys whose state is not what the tables
    // read before said (learned, downloaded or empty elsewhere meanwhile).
    void tablesReread(const std::vector<KeyCode>& changedKeys);

  private:
    void StartCapture();
    void StopCaptureThread();
    void OnCaptureEnded();
    void OnLinkMonitorEnded();
    // Learning mode off, the capture stopped and joined, no key waiting: nothing more is learned.
    void EndLearning();
    void EndDeleteModeIfNothingLearned();
    RemoteOpening TakeLock(RemoteOpening opening);
    // Before a change: the tables are current, read again when they are not.
    bool EnsureTablesCurrent();
    // A write could not be confirmed or read back: the tables are read again (now, or before
    // the next change when they cannot be).
    void AfterUncertainWrite();
    LeakedEntries LeakedEntriesPolicy() const;

    // LinkMonitorView, on the UI thread.
    void ShowLinkState(bool attached) override;
    void SetKeyControlsAvailable(bool available) override;
    LossAnswer AskAfterLoss() override;

    DeviceLibrary& device_;
    const SessionOptions options_;
    QString converterFolder_;
    SessionQuestions* questions_ = nullptr;
    RemoteLock lock_;

    // Read from the remote when it is opened (and again after it was away); the key operations
    // keep it in step with their writes.
    RemoteMap map_;
    // map_ is what the remote holds: false until it is read, while the remote is away, and after
    // a write whose outcome could not be learned.
    bool tablesCurrent_ = false;

    // All belong to the UI thread; the threads read none of them.
    bool learningMode_ = false;
    bool deleteMode_ = false;
    // Set once the session is closing: nothing more is asked or started.
    bool closing_ = false;
    std::optional<KeyCode> pendingKey_;

    // The two threads, while they run; each is deleted once it has ended. Both are children
    // of the session, so one whose end was never handled goes with it (after the destructor
    // has joined it).
    CaptureThread* captureThread_ = nullptr;
    LinkMonitor* linkMonitor_ = nullptr;
    // Tells the capture thread to keep polling or to stop; shared with the capture thread.
    CaptureControl captureControl_;
};
