// FormCreate: waiting for the remote, reading it, and what start-up changes in the window.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "device_library.h"
#include "mainstudy.h"
#include "prompter.h"

void Tmainkeylearn::FormCreate() {
    SetApplicationTitle(kApplicationTitle);
    ResetWindowState();
    if (!WaitForRemote()) {
        startupFailed = true;
        return;
    }
    QCoreApplication::processEvents();
    ShowStartupReading(ReadRemoteAtStartup(device));
}

bool Tmainkeylearn::WaitForRemote() {
    while (!device.IsAttached())
        if (!prompter.RetryCancel(kNoRemoteText, kPromptCaption))
            return false;
    return true;
}

void Tmainkeylearn::ShowStartupReading(StartupReading reading) {
    remoteMap = std::move(reading.map);
    if (reading.infoBlockRead)
        lab_gjbb->setText(kFirmwareLabelText);
    if (reading.remoteAccepted)
        lab_ykqtype->setText(kRemoteTypeText);
    if (!reading.codeTableReadText.empty())
        Memo1->setPlainText(QString::fromStdString(reading.codeTableReadText));
    switch (reading.status) {
        case StartupStatus::kReady:
            return;
        case StartupStatus::kUnsupportedRemote:
            prompter.PlainMessage(UnsupportedRemoteText());
            break;
        case StartupStatus::kFirmwareTooOld:
            prompter.PlainMessage(FirmwareTooOldText());
            break;
        case StartupStatus::kSoftwareTooOld:
            prompter.PlainMessage(SoftwareTooOldText());
            break;
        case StartupStatus::kFirmwareProgramTooOld:
            prompter.PlainMessage(FirmwareProgramTooOldText());
            break;
        case StartupStatus::kFirmwareVersionTooOld:
            prompter.PlainMessage(FirmwareVersionTooOldText());
            break;
        case StartupStatus::kNoAnswer:
            // The window opens with what was filled so far.
            prompter.Information(kNoRemoteText, kPromptCaption);
            return;
        case StartupStatus::kBadMemory:
            prompter.Information(kNoRemoteText, kPromptCaption);
            break;
    }
    startupFailed = true;
}

void Tmainkeylearn::SetApplicationTitle(const QString& title) {
    // The taskbar shows the window's title; the caption of the frameless window is never seen.
    QGuiApplication::setApplicationDisplayName(title);
    setWindowTitle(title);
}

void Tmainkeylearn::ResetWindowState() {
    remoteMap = RemoteMap{};
    pendingKeys.clear();
    linkMonitor = nullptr;
    captureThread = nullptr;
    captureControl = 1;
    startupFailed = false;
    closingDown = false;
    learningMode = false;
    deleteMode = false;
}
