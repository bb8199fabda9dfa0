#include "ui/main_window.h"

#include <QMetaObject>
#include <QShowEvent>

#include "learning/capture_thread.h"
#include "learning/converter_library.h"
#include "platform/prompter.h"
#include "ui/texts.h"

MainWindow::MainWindow(DeviceLibrary& device, Prompter& prompter, QWidget* parent)
    : QWidget(parent), device(device), prompter(prompter), converterFolder(ConverterFolder()) {
    setObjectName(QStringLiteral("mainWindow"));
    BuildLayout();
    RunStartup();
}

MainWindow::~MainWindow() {
    StopCaptureThread();
    // No thread outlives the window. A monitor waiting for its box is released by the stop
    // request, so this join never waits on a thread that waits on this one.
    if (linkMonitor)
        linkMonitor->StopAndJoin();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce && !event->spontaneous()) {
        shownOnce = true;
        OnFirstShow();
    }
}

void MainWindow::OnFirstShow() {
    // A window whose start-up failed closes as soon as it is shown, which ends the program.
    // The close is queued: closing from inside the show would leave the show half done.
    if (startupFailed) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    StartLinkMonitor();
}

void MainWindow::TellFolderNotEntered(const QString& path) {
    prompter.Information(texts::FolderNotEntered(path), texts::kPromptCaption);
}
