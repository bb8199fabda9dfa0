// FormCreate: the start-up handshake with the remote, and what it changes in the window.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "mainstudy.h"

void Tmainkeylearn::FormCreate() {
    StartupResult result = RunStartupHandshake(device, prompter, *this);
    remoteMap = std::move(result.map);
    if (result.outcome == StartupOutcome::kFailed)
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

void Tmainkeylearn::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void Tmainkeylearn::SetFirmwareVersionLabel(const QString& text) {
    lab_gjbb->setText(text);
}

void Tmainkeylearn::SetRemoteTypeLabel(const QString& text) {
    lab_ykqtype->setText(text);
}

void Tmainkeylearn::SetDiagnosticText(const QString& text) {
    Memo1->setPlainText(text);
}
