#pragma once
// MainWindow, the program's one window: the picture of the remote with its keys, the action
// buttons, the information labels and the status panel. It is a view of its RemoteSession, which
// owns the remote, the modes and both threads: the window turns the user's clicks into the
// session's operations and what the session reports into pictures, texts and boxes. It makes no
// device call and starts no thread of its own.
//
// Its handlers are spread over files by concern: main_window_startup.cpp (opening the remote
// when the window is created), main_window_layout.cpp (the components, from the table in
// window_layout.h), main_window_keys.cpp (key selection and key states),
// main_window_learning.cpp (learning mode and the capture's outcome), main_window_delete.cpp
// (deleting one key and clearing all), main_window_link.cpp (the link and the close query),
// main_window_show.cpp (the show handler and the round buttons), main_window_skins.cpp (the
// skin bundles and the animation file) and main_window_questions.cpp (the session's questions).
//
// The window reads no command line, environment or configuration: everything comes from the
// remote through the device library it is given.

#include <QHash>
#include <QMap>
#include <QPixmap>
#include <QVector>
#include <QWidget>
#include <functional>
#include <future>
#include <memory>
#include <optional>

#include "learning/remote_session.h"
#include "ui/animation_file.h"
#include "ui/key_pictures.h"
#include "ui/skin_reading.h"
#include "ui/window_pictures.h"
#include "ui/window_services.h"

class DeviceLibrary;
class Prompter;
class PictureButton;
class PictureView;
class QLabel;
class QMovie;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;

class MainWindow : public QWidget, private SessionQuestions {
    Q_OBJECT

  public:
    // Runs BuildLayout, then RunStartup: when the constructor returns, start-up is over, with
    // every message box it showed. The device library, the prompter and what services points
    // at must outlive the window.
    MainWindow(DeviceLibrary& device, Prompter& prompter, const WindowServices& services = {},
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // The session the window shows: what start-up read, the modes, the threads.
    const RemoteSession& Session() const { return *session_; }
    const RemoteMap& Map() const { return session_->Map(); }
    // What opening the remote found (a lock another program holds among it).
    const RemoteOpening& Opening() const { return opening_; }
    bool StartupFailed() const { return startupFailed_; }
    // The key pictures, named pictures and animation file the window shows.
    const WindowPictures& Pictures() const { return pictures_; }

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
    PictureButton* KeyButton(const QString& code) const { return keyButtons_.value(code); }
    PictureButton* KeyButton(KeyCode code) const;
    const QMap<QString, PictureButton*>& KeyButtons() const { return keyButtons_; }

    // Key selection (main_window_keys.cpp). Every click on a key of the remote's picture goes
    // through KeyClick: in delete mode it deletes the key, while a key waits for its code it is
    // refused, in learning mode it chooses the key for learning, otherwise it is refused.
    void KeyClick(PictureButton* button);
    // Gives every key button the picture its slot state calls for.
    void ShowKeyStates();
    // Puts the delete and clear buttons in step with whether any key is learned.
    void UpdateDeleteButtons();
    // The session read the tables again (the remote was away, or a write's outcome was not
    // known): every key, the delete and clear buttons and the tips show what it holds now.
    void ShowTablesReread(const std::vector<KeyCode>& changedKeys);
    // What the link monitor reports: shows or hides the key box and enables or disables the
    // learning, delete and clear buttons together.
    void SetKeyControlsAvailable(bool available);

    // Learning (main_window_learning.cpp). The learn button switches learning mode on and off;
    // a key chosen in learning mode waits for its code, and the session reports what came of
    // the capture.
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
    // otherwise the window closes, the session stops its capture and asks the link monitor to
    // stop, without waiting for it, and the animation file is deleted.
    void closeEvent(QCloseEvent* event) override;

  private:
    // Creates and places every component (main_window_layout.cpp).
    void BuildLayout();
    void BuildRemoteBox();
    // A picture button could not start the program its path names.
    void TellFolderNotEntered(const QString& path);
    // The creation handler: start-up handshake with the remote (main_window_startup.cpp).
    void RunStartup();
    void ConnectSession();

    // What start-up changes in the window (main_window_startup.cpp).
    void SetApplicationTitle(const QString& title);
    // Takes in what opening the remote read and shows what it found.
    void ShowOpening();

    // The link (main_window_link.cpp): what the session's link monitor reports.
    void ShowLinkState(bool attached);
    void OnLinkWatchEnded();

    // The session's questions (main_window_questions.cpp), asked through the prompter.
    bool RetryWithoutRemote() override;
    bool ConfirmRelearn(KeyCode key) override;
    bool ConfirmDelete(KeyCode key) override;
    bool ConfirmClear() override;
    bool KeepWaitingForRemote() override;
    bool ConfirmCloseWithoutRemote() override;

    // Key selection (main_window_keys.cpp).
    void ChooseKeyForLearning(PictureButton* button, KeyCode key);
    // The label a key shows in texts ("TV/静音"); empty for a key without a button.
    QString LabelOf(KeyCode key) const;
    // The delete branch of KeyClick (main_window_delete.cpp): takes the key's learned code off
    // the remote after a question.
    void DeleteKeyClick(PictureButton* button, KeyCode key);
    // Shows one tips panel and hides the other three; the idle one says whether any key is
    // learned (main_window_delete.cpp).
    void ShowTipsPanel(PictureView* panel);
    void ShowIdleTips();
    // Learning (main_window_learning.cpp): what the session reports of a capture.
    void ShowKeyBeingLearned(KeyCode key);
    void ShowKeyLearned(KeyCode key, const CaptureLearning& attempt);
    void ShowLearningFailed(const LearningAttempt& failure);
    void FailLearning(KeyCode key);
    void TellLearningFailed(const CaptureLearning& attempt);
    void LogAttempt(const CaptureLearning& attempt);
    // Learning switched off with a key pending: the key shows its state again.
    void PutBackPendingKey(KeyCode key);
    void PlayAnimation();
    void StopAnimation();
    // Shows the key's picture of a set; a key without a picture keeps what it shows.
    void ShowKeyPicture(PictureButton* button, KeyPictureSet set);
    QPixmap Named(const QString& name) const;

    // The show handler (main_window_show.cpp), run when the window is first shown: acts on
    // the start-up result, starts watching the link, loads the skins and puts the window into
    // the state its slots call for. A box it raises waits until the window is shown.
    void OnFirstShow();
    void CheckScreenResolution();
    // Runs box once the window is shown, unless the window is closing by then.
    void WhenShown(std::function<void()> box);
    // The help, update and close buttons, and the hand pointer over the six action buttons.
    void ConnectActionButtons();
    void HelpClicked();
    void UpdateClicked();
    // The skins (main_window_skins.cpp): key pictures, named pictures and the animation file,
    // read from the five bundles in the program's folder, unless the services gave pictures of
    // their own. The reading starts on a thread of its own once start-up has succeeded, so that
    // it is done while the splash is up; LoadSkins takes its result at the first show. False
    // when a bundle, a key picture or a named picture is missing; what was loaded before the
    // stop stays.
    void StartReadingSkins();
    bool LoadSkins();
    // Deletes the animation file and its folder (at close).
    void DeleteAnimationFile();
    QString ProgramFolder() const;

    Prompter& prompter_;
    WindowServices services_;
    std::unique_ptr<RemoteSession> session_;
    RemoteOpening opening_;

    bool startupFailed_ = false;
    bool shownOnce_ = false;

    // Filled when the skins are loaded (or given by the services); a missing picture is a null
    // pixmap, which shows nothing.
    WindowPictures pictures_;
    // The file behind pictures.animationFile, when the skins wrote it.
    AnimationFile animation_;
    // The skins being read while the splash is up; taken by LoadSkins. A window that goes
    // before it is shown waits here for the reading to end.
    std::future<SkinReading> skinReading_;
    // The key buttons by key code.
    QMap<QString, PictureButton*> keyButtons_;
    QMovie* animationMovie_ = nullptr;
};
