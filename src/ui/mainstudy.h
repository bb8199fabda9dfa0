#pragma once
// Tmainkeylearn, the program's one window: the picture of the remote with its keys, the action
// buttons, the information labels and the status panel. It holds all state of a session: the
// remote's memory map read at start-up, the key slots, the window's modes and the two threads.
//
// Its handlers are spread over files named by subsystem: mainstudy_startup.cpp (FormCreate, the
// handshake with the remote), mainstudy_layout.cpp (BuildLayout: creating and placing the
// components), and the files of the later subsystems.
//
// The window reads no command line, environment or configuration: everything comes from the
// remote through the device library it is given.

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QVector>
#include <QWidget>
#include <atomic>
#include <string>

#include "key_pictures.h"
#include "remote_map.h"
#include "startup_reading.h"
#include "startup_texts.h"

class DeviceLibrary;
class Prompter;
class IBtn;
class PictureView;
class QLabel;
class QMovie;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QThread;

class Tmainkeylearn : public QWidget {
    Q_OBJECT

  public:
    // Runs BuildLayout, then FormCreate: when the constructor returns, start-up is over, with
    // every message box it showed. The device library and the prompter must outlive the window.
    Tmainkeylearn(DeviceLibrary& device, Prompter& prompter, QWidget* parent = nullptr);
    ~Tmainkeylearn() override;

    // What start-up read (fields filled as far as it got).
    const RemoteMap& Map() const { return remoteMap; }
    bool StartupFailed() const { return startupFailed; }

    // Components. The window owns them through Qt's parent chain; the layout creates them.
    PictureView* Image1 = nullptr;     // background
    PictureView* Imagehint = nullptr;  // hint picture
    IBtn* beginstudyibtn = nullptr;
    IBtn* helpibtn = nullptr;
    IBtn* updateibtn = nullptr;
    IBtn* delallstudykey = nullptr;
    QLabel* runstate_lab = nullptr;  // status text
    IBtn* IBtn79 = nullptr;          // close
    PictureView* Image4 = nullptr;   // tips: idle, some key learned
    PictureView* Image5 = nullptr;   // tips: learning mode
    PictureView* Image7 = nullptr;   // tips: delete mode
    PictureView* Image8 = nullptr;   // tips: idle, no key learned
    QLabel* lab_usbstate = nullptr;  // link state
    QLabel* lab_ykqtype = nullptr;   // remote type
    QLabel* lab_gjbb = nullptr;      // firmware version
    QLabel* lab_softver = nullptr;   // program version
    IBtn* delstudykey = nullptr;
    QScrollArea* ykqbox = nullptr;    // the remote's picture and its keys
    PictureView* z = nullptr;         // the remote's picture, inside ykqbox
    IBtn* IBtn1 = nullptr;            // key 00
    IBtn* IBtn5 = nullptr;            // key 01
    IBtn* IBtn41 = nullptr;           // key 30
    IBtn* IBtn2 = nullptr;            // key 33
    QPlainTextEdit* Memo2 = nullptr;  // hidden work buffer of learning
    QPlainTextEdit* Memo1 = nullptr;  // hidden diagnostic copy of the code table read
    QLabel* donghuaflash2 = nullptr;  // learning animation
    QPushButton* Button1 = nullptr;   // hidden

    // Key selection (mainstudy_keys.cpp). Every click on a key of the remote's picture goes
    // through KeyClick: in delete mode it deletes the key, while a key waits for its code it is
    // refused, in learning mode it chooses the key for learning, otherwise it is refused.
    void KeyClick(IBtn* button);
    // Gives every key button the picture its slot state calls for.
    void ShowKeyStates();
    // Puts the delete and clear buttons in step with whether any key is learned.
    void UpdateDeleteButtons();
    bool AnyKeyLearned() const;

    // The key buttons' click handlers: each hands its button to KeyClick.
    void IBtn1Click();
    void IBtn5Click();
    void IBtn41Click();
    void IBtn2Click();

    // The hidden replay button (mainstudy_replay.cpp): cuts and normalises the saved diagnostic
    // capture again and discards the result.
    void Button1Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Creates and places every component (mainstudy_layout.cpp).
    void BuildLayout();
    // The creation handler: start-up handshake with the remote (mainstudy_startup.cpp).
    void FormCreate();
    // The show handler, run when the window is first shown.
    void FormShow();

    // What start-up changes in the window (mainstudy_startup.cpp).
    void SetApplicationTitle(const QString& title);
    void ResetWindowState();
    // Waits until the remote is attached; false when the user gives up.
    bool WaitForRemote();
    // Takes in what start-up read and shows what it found.
    void ShowStartupReading(StartupReading reading);

    // Tests reach the window's state through this class (tests/ui/main_window_probe.h).
    friend class MainWindowProbe;

    // Key selection (mainstudy_keys.cpp).
    void ChooseKeyForLearning(IBtn* button);
    // The delete branch of KeyClick, built with delete mode.
    void DeleteKeyClick(IBtn* button);
    // Starts capturing the pending key's code, unless a capture thread still exists.
    void StartCapture();
    void PlayAnimation();
    // Shows the key's picture of a set; a key without a picture keeps what it shows.
    void ShowKeyPicture(IBtn* button, KeyPictureSet set);

    DeviceLibrary& device;
    Prompter& prompter;

    // Read from the remote at start-up; the key operations keep it in step with their writes.
    RemoteMap remoteMap;

    // Flags: all false when the window is created.
    bool startupFailed = false;
    bool closingDown = false;
    bool learningMode = false;
    bool deleteMode = false;
    bool shownOnce = false;

    // The key waiting for a captured code (at most one). Not owned: the window owns its keys.
    QList<IBtn*> pendingKeys;
    // The two threads; each deletes itself when it ends.
    QThread* captureThread = nullptr;
    QThread* linkMonitor = nullptr;
    // 1: the capture thread keeps polling; 2: it stops. Read by the capture thread.
    std::atomic<int> captureControl{1};
    // The capture handed over by the capture thread, read on the UI thread after it ended.
    std::string capturedCode;
    // The code-table reference of the code being learned.
    std::string learnedCodeRef;

    // Four sets of key pictures, index 1 + 168 x set + key code (key_pictures.h), and the named
    // pictures by resource name ("delete", "clearhui", ...). Filled when the skins are loaded;
    // a missing picture is a null pixmap, which shows nothing.
    QVector<QPixmap> keyPictures = QVector<QPixmap>(static_cast<qsizetype>(kKeyPictureCount));
    QHash<QString, QPixmap> namedPictures;
    // The learning animation, written out with the skins and played in donghuaflash2.
    QString AnimationFile = DefaultAnimationFile();
    QMovie* animation = nullptr;
    static QString DefaultAnimationFile();
};
