// RunStartup: the start-up handshake with the remote, and what it changes in the window.
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include "main_window.h"

void MainWindow::RunStartup() {
    StartupResult result = RunStartupHandshake(device, prompter, *this);
    remoteMap = std::move(result.map);
    if (result.outcome == StartupOutcome::kFailed)
        startupFailed = true;
}

void MainWindow::SetApplicationTitle(const QString& title) {
    // The taskbar shows the window's title; the caption of the frameless window is never seen.
    // Only this window gets it: an application display name would be appended by the window
    // system to every other title, and the boxes' captions must read exactly as given.
    setWindowTitle(title);
}

void MainWindow::ResetWindowState() {
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

void MainWindow::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void MainWindow::SetFirmwareVersionLabel(const QString& text) {
    firmwareLabel->setText(text);
}

void MainWindow::SetRemoteTypeLabel(const QString& text) {
    remoteTypeLabel->setText(text);
}

void MainWindow::SetDiagnosticText(const QString& text) {
    codeTableLog->setPlainText(text);
}
