#include "ui/main_window.h"

#include <QShowEvent>
#include <QTemporaryDir>

#include "learning/capture_thread.h"
#include "learning/converter_library.h"
#include "platform/prompter.h"
#include "ui/texts.h"

MainWindow::MainWindow(DeviceLibrary& device, Prompter& prompter, const WindowServices& services,
                       QWidget* parent)
    : QWidget(parent),
      device(device),
      prompter(prompter),
      services(services),
      converterFolder(ConverterFolder()) {
    setObjectName(QStringLiteral("mainWindow"));
    BuildLayout();
    ConnectActionButtons();
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

void MainWindow::TellFolderNotEntered(const QString& path) {
    prompter.Information(texts::FolderNotEntered(path), texts::kPromptCaption);
}
