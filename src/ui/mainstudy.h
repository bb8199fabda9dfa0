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

#include <QList>
#include <QWidget>
#include <atomic>
#include <string>

#include "remote_map.h"
#include "startup_handshake.h"

class DeviceLibrary;
class Prompter;
class IBtn;
class PictureView;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QThread;

class Tmainkeylearn : public QWidget, private StartupView {
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

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Creates and places every component (mainstudy_layout.cpp).
    void BuildLayout();
    // The creation handler: start-up handshake with the remote (mainstudy_startup.cpp).
    void FormCreate();
    // The show handler, run when the window is first shown.
    void FormShow();

    // StartupView: what start-up changes in the window.
    void SetApplicationTitle(const QString& title) override;
    void ResetWindowState() override;
    void ProcessPendingEvents() override;
    void SetFirmwareVersionLabel(const QString& text) override;
    void SetRemoteTypeLabel(const QString& text) override;
    void SetDiagnosticText(const QString& text) override;

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
};
