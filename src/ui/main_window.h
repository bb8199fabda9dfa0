#pragma once
// MainWindow, the program's one window: the picture of the remote with its keys, the action
// buttons, the information labels and the status panel. It holds all state of a session: the
// remote's memory map read at start-up, the key slots, the window's modes and the two threads.
//
// Its handlers are spread over files by concern: main_window_startup.cpp (reading the remote
// when the window is created), main_window_layout.cpp (the components, from the table in
// window_layout.h), main_window_keys.cpp (key selection and key states),
// main_window_learning.cpp (learning mode and the capture), main_window_delete.cpp (deleting
// one key and clearing all), main_window_link.cpp (the link monitor and the close query),
// main_window_show.cpp (the show handler and the round buttons) and main_window_skins.cpp (the
// skin bundles and the animation file).
//
// The window reads no command line, environment or configuration: everything comes from the
// remote through the device library it is given.

#include <QHash>
#include <QList>
#include <QMap>
#include <QPixmap>
#include <QVector>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "device/link_monitor.h"
#include "device/remote_map.h"
#include "device/startup_reading.h"
#include "learning/capture_loop.h"
#include "learning/key_pictures.h"
#include "ui/window_services.h"

class CaptureThread;
class DeviceLibrary;
struct CaptureLearning;
class Prompter;
class PictureButton;
class PictureView;
class QLabel;
class QMovie;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTemporaryDir;
class QThread;

class MainWindow : public QWidget, private LinkMonitorView {
    Q_OBJECT

  public:
    // Runs BuildLayout, then RunStartup: when the constructor returns, start-up is over, with
    // every message box it showed. The device library, the prompter and what services points
    // at must outlive the window.
    MainWindow(DeviceLibrary& device, Prompter& prompter, const WindowServices& services = {},
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // What start-up read (fields filled as far as it got).
    const RemoteMap& Map() const { return remoteMap; }
    bool StartupFailed() const { return startupFailed; }

    // Components. The window owns them through Qt's parent chain; the layout creates them.
    PictureView* background = nullptr;
    PictureView* hintPicture = nullptr;
    PictureButton* learnButton = nullptr;  // start and stop learning
    PictureButton* helpButton = nullptr;
    PictureButton* updateButton = nullptr;
    PictureButton* clearButton = nullptr;  // clear every learned key
    QLabel* statusLabel = nullptr;
    PictureButton* closeButton = nullptr;
    PictureView* tipsSomeLearned = nullptr;  // tips: idle, some key learned
    PictureView* tipsLearning = nullptr;     // tips: learning mode
    PictureView* tipsDeleting = nullptr;     // tips: delete mode
    PictureView* tipsNoneLearned = nullptr;  // tips: idle, no key learned
    QLabel* linkStateLabel = nullptr;
    QLabel* remoteTypeLabel = nullptr;
    QLabel* firmwareLabel = nullptr;
    QLabel* versionLabel = nullptr;
    PictureButton* deleteButton = nullptr;   // delete mode on and off
    QScrollArea* remoteBox = nullptr;        // the remote's picture and its keys
    PictureView* remotePicture = nullptr;    // inside remoteBox
    QPlainTextEdit* learningLog = nullptr;   // hidden: what learning converted
    QPlainTextEdit* codeTableLog = nullptr;  // hidden: the code table as start-up read it
    QLabel* learningAnimation = nullptr;
    QPushButton* replayCaptureButton = nullptr;  // hidden: for a support person

    // The key buttons of the remote's picture, by key code ("00", "01", "30", "33"); null for a
    // code the picture has no key for.
    PictureButton* KeyButton(const QString& code) const { return keyButtons.value(code); }
    const QMap<QString, PictureButton*>& KeyButtons() const { return keyButtons; }

    // Key selection (main_window_keys.cpp). Every click on a key of the remote's picture goes
    // through KeyClick: in delete mode it deletes the key, while a key waits for its code it is
    // refused, in learning mode it chooses the key for learning, otherwise it is refused.
    void KeyClick(PictureButton* button);
    // Gives every key button the picture its slot state calls for.
    void ShowKeyStates();
    // Puts the delete and clear buttons in step with whether any key is learned.
    void UpdateDeleteButtons();
    bool AnyKeyLearned() const;

    // The link (main_window_link.cpp). Shows or hides the key box and enables or disables the
    // learning, delete and clear buttons together; delete and clear come back only when a key
    // is learned, as they would be without the loss.
    void SetKeyControlsAvailable(bool available) override;

    // Learning (main_window_learning.cpp). The learn button switches learning mode on and off;
    // a key chosen in learning mode starts the capture thread, whose end handler
    // LearnCapturedCode learns the captured code into the pending key or fails the attempt.
    void LearnButtonClicked();
    // Deleting (main_window_delete.cpp). The delete button switches delete mode on and off;
    // the clear button takes every learned code off the remote after a question. Both refuse
    // while learning, and work also when no key is learned (the link monitor may have enabled
    // them again).
    void DeleteButtonClicked();
    void ClearButtonClicked();

    // The hidden replay button (main_window_replay.cpp): cuts and normalises the saved diagnostic
    // capture again and discards the result.
    void ReplaySavedCaptureClicked();

  protected:
    void showEvent(QShowEvent* event) override;
    // The close query (main_window_link.cpp): refused while learning with the remote attached;
    // otherwise the window closes, the link monitor is asked to stop, without waiting for it,
    // and the animation file is deleted.
    void closeEvent(QCloseEvent* event) override;

  private:
    // Creates and places every component (main_window_layout.cpp).
    void BuildLayout();
    void BuildRemoteBox();
    // A picture button could not start the program its path names.
    void TellFolderNotEntered(const QString& path);
    // The creation handler: start-up handshake with the remote (main_window_startup.cpp).
    void RunStartup();

    // What start-up changes in the window (main_window_startup.cpp).
    void SetApplicationTitle(const QString& title);
    void ResetWindowState();
    // Waits until the remote is attached; false when the user gives up.
    bool WaitForRemote();
    // Takes in what start-up read and shows what it found.
    void ShowStartupReading(StartupReading reading);

    // The link monitor (main_window_link.cpp): created by the show handler, ended by its end
    // handler, which closes the window unless it is closing already.
    void StartLinkMonitor();
    void OnLinkMonitorEnd();
    // What the monitor asks of the window, run on the UI thread.
    void ShowLinkState(bool attached) override;
    LossAnswer AskAfterLoss() override;

    // Tests reach the window's state through this class (tests/ui/main_window_probe.h).
    friend class MainWindowProbe;

    // Key selection (main_window_keys.cpp).
    void ChooseKeyForLearning(PictureButton* button);
    // The key a button stands for; none for an action button.
    static std::optional<KeyCode> KeyCodeOf(const PictureButton* button);
    // The delete branch of KeyClick (main_window_delete.cpp): takes the key's learned code off
    // the remote after a question.
    void DeleteKeyClick(PictureButton* button);
    // Shows one tips panel and hides the other three; the idle one says whether any key is
    // learned (main_window_delete.cpp).
    void ShowTipsPanel(PictureView* panel);
    void ShowIdleTips();
    // Learning (main_window_learning.cpp).
    // Starts capturing the pending key's code, unless a capture thread still exists.
    void StartCapture();
    // Tells a running capture thread to stop and joins it, without its end handler.
    void StopCaptureThread();
    void LearnCapturedCode();
    void FailLearning();
    void TellLearningFailed(const CaptureLearning& attempt);
    void FinishLearnedKey(PictureButton* key);
    void LogAttempt(const CaptureLearning& attempt);
    // Learning switched off with a key pending: the key shows its state again.
    void PutBackPendingKey();
    void PlayAnimation();
    void StopAnimation();
    // Shows the key's picture of a set; a key without a picture keeps what it shows.
    void ShowKeyPicture(PictureButton* button, KeyPictureSet set);

    // The show handler (main_window_show.cpp), run when the window is first shown: acts on
    // the start-up result, starts the link monitor, loads the skins and puts the window into the
    // state its slots call for. A box it raises waits until the window is shown.
    void OnFirstShow();
    void CheckScreenResolution();
    // Runs box once the window is shown, unless the window is closing by then.
    void WhenShown(std::function<void()> box);
    // The help, update and close buttons, and the hand pointer over the six action buttons.
    void ConnectActionButtons();
    void HelpClicked();
    void UpdateClicked();
    // The skins (main_window_skins.cpp): key pictures, named pictures and the animation file,
    // read from the five bundles in the program's folder. False when a bundle, a key picture
    // or a named picture is missing; what was loaded before the stop stays.
    bool LoadSkins();
    // Writes the animation into a folder of this run only; a failure leaves no animation.
    void WriteAnimationFile(const QByteArray& animation);
    // Deletes the animation file and its folder (at close).
    void DeleteAnimationFile();
    QString ProgramFolder() const;

    DeviceLibrary& device;
    Prompter& prompter;
    WindowServices services;

    // Read from the remote at start-up; the key operations keep it in step with their writes.
    RemoteMap remoteMap;

    // Flags: all false when the window is created. All belong to the UI thread; the threads
    // read none of them.
    bool startupFailed = false;
    // Set once the close query has let the window close: the monitor's end then closes nothing.
    bool closingDown = false;
    bool learningMode = false;
    bool deleteMode = false;
    bool shownOnce = false;

    // The key waiting for a captured code (at most one). Not owned: the window owns its keys.
    QList<PictureButton*> pendingKeys;
    // The two threads, while they run; each is deleted once it has ended. The link monitor is
    // the window's child, so one whose end handler never ran is still deleted with it (after
    // the destructor has joined it).
    CaptureThread* captureThread = nullptr;
    LinkMonitor* linkMonitor = nullptr;
    // Tells the capture thread to keep polling or to stop; shared with the capture thread.
    CaptureControl captureControl;
    // How long a capture waits for its code, and how it polls (tests shorten the wait).
    CaptureTiming captureTiming;
    // Where the converter is loaded from at every attempt: the program's folder.
    QString converterFolder;

    // Four sets of key pictures, index 1 + 168 x set + key code (key_pictures.h), and the named
    // pictures by resource name ("delete", "clearhui", ...). Filled when the skins are loaded;
    // a missing picture is a null pixmap, which shows nothing.
    QVector<QPixmap> keyPictures = QVector<QPixmap>(static_cast<qsizetype>(kKeyPictureCount));
    QHash<QString, QPixmap> namedPictures;
    // The learning animation, written out with the skins into animationFolder (private to this
    // user and this run) and played in learningAnimation. Empty until the skins are loaded.
    QString animationFile;
    std::unique_ptr<QTemporaryDir> animationFolder;
    // The key buttons by key code.
    QMap<QString, PictureButton*> keyButtons;
    QMovie* animationMovie = nullptr;
};
