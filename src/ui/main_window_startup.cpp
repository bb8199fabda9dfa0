// RunStartup: waiting for the remote, opening it, and what start-up changes in the window.
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/texts.h"

namespace {

// The plain message that turns a remote away, or null when the status is no rejection.
const QString* RejectionText(StartupStatus status) {
    switch (status) {
        case StartupStatus::kUnsupportedRemote:
            return &texts::kUnsupportedRemote;
        case StartupStatus::kFirmwareTooOld:
            return &texts::kFirmwareTooOld;
        case StartupStatus::kSoftwareTooOld:
            return &texts::kSoftwareTooOld;
        case StartupStatus::kFirmwareProgramTooOld:
            return &texts::kFirmwareProgramTooOld;
        case StartupStatus::kFirmwareVersionTooOld:
            return &texts::kFirmwareVersionTooOld;
        case StartupStatus::kReady:
        case StartupStatus::kNoAnswer:
        case StartupStatus::kBadMemory:
            break;
    }
    return nullptr;
}

}  // namespace

void MainWindow::RunStartup() {
    SetApplicationTitle(texts::kApplicationTitle);
    if (!session_->WaitForRemote()) {
        startupFailed_ = true;
        return;
    }
    QCoreApplication::processEvents();
    // Held until the window goes, so that no other program changes the remote meanwhile.
    opening_ = session_->Open(LockMode::kHold);
    ShowOpening();
    // The pictures are read while the splash stays up; a start-up that failed reads none.
    if (!startupFailed_)
        StartReadingSkins();
}

void MainWindow::ShowOpening() {
    const StartupReading& reading = opening_.reading;
    if (reading.infoBlockRead)
        firmwareLabel->setText(texts::kFirmwareLabel);
    if (reading.remoteAccepted)
        remoteTypeLabel->setText(texts::kRemoteType);
    if (!reading.codeTableReadText.empty())
        codeTableLog->setPlainText(QString::fromStdString(reading.codeTableReadText));
    switch (opening_.status) {
        case RemoteOpening::Status::kOpened:
            return;
        case RemoteOpening::Status::kLockHeld:
        case RemoteOpening::Status::kLockUnavailable:
            // The program says who has the remote once the splash is gone.
            startupFailed_ = true;
            return;
        case RemoteOpening::Status::kNotAccepted:
            break;
    }
    switch (reading.status) {
        case StartupStatus::kReady:
            return;
        case StartupStatus::kNoAnswer:
            // The window opens with what was filled so far.
            prompter_.Information(texts::kNoRemote, texts::kPromptCaption);
            return;
        case StartupStatus::kBadMemory:
            prompter_.Information(texts::kRemoteMemoryUnreadable, texts::kPromptCaption);
            break;
        default:
            prompter_.PlainMessage(*RejectionText(reading.status));
            break;
    }
    startupFailed_ = true;
}

void MainWindow::SetApplicationTitle(const QString& title) {
    // The taskbar shows the window's title; the caption of the frameless window is never seen.
    // Only this window gets it: an application display name would be appended by the window
    // system to every other title, and the boxes' captions must read exactly as given.
    setWindowTitle(title);
}
