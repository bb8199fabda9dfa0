#pragma once
// The start-up handshake the main window runs while it is created: wait for the remote, check
// that its firmware fits this program, and read its memory map, key slots, code table and
// built-in code list. It knows no widgets: what it changes in the window goes through
// StartupView, what it asks or reports through the Prompter.

#include <QString>
#include <string>

#include "remote_map.h"

class DeviceLibrary;
class Prompter;

// The window's side of start-up.
class StartupView {
  public:
    virtual ~StartupView() = default;
    virtual void SetApplicationTitle(const QString& title) = 0;
    // Empty lists, no threads, capture control 1, every flag false.
    virtual void ResetWindowState() = 0;
    // Let the UI handle what is pending, once.
    virtual void ProcessPendingEvents() = 0;
    virtual void SetFirmwareVersionLabel(const QString& text) = 0;  // lab_gjbb
    virtual void SetRemoteTypeLabel(const QString& text) = 0;       // lab_ykqtype
    // The diagnostic copy of the code table read (the hidden Memo1).
    virtual void SetDiagnosticText(const QString& text) = 0;
};

enum class StartupOutcome {
    kReady,                // every table was read
    kFailed,               // the remote was rejected or given up on: the window closes when shown
    kEndedWithoutFailure,  // a read of the info or config block failed: the window opens with
                           // what was filled so far
};

struct StartupResult {
    StartupOutcome outcome = StartupOutcome::kFailed;
    RemoteMap map;  // what was filled before start-up ended
};

StartupResult RunStartupHandshake(DeviceLibrary& device, Prompter& prompter, StartupView& view);

// The vendor's web site, named in the messages that send the user to a newer version.
inline const QString kVendorWebAddress = QStringLiteral("www.example.com");

// Texts of start-up.
inline const QString kNoRemoteText = QStringLiteral("未检测到遥控器，请检查USB连接线");
inline const QString kFirmwareLabelText = QStringLiteral(" 2.0");
inline const QString kRemoteTypeText = QStringLiteral("雁湖智联遥控器");
QString UnsupportedRemoteText();      // software does not support the remote
QString FirmwareTooOldText();         // model 8888
QString SoftwareTooOldText();         // major 2 or more, minor above 3
QString FirmwareProgramTooOldText();  // major below 1
QString FirmwareVersionTooOldText();  // minor below 3
