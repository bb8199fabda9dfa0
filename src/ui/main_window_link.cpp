// The link to the remote: the link monitor's life, what it changes in the window, and the close
// query that stops it.
#include <QCloseEvent>
#include <QLabel>
#include <QScrollArea>

#include "device/device_library.h"
#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/texts.h"

void MainWindow::StartLinkMonitor() {
    if (linkMonitor)
        return;
    linkMonitor = new LinkMonitor(device, remoteMap.remoteIdText, *this, *this, this);
    // With the window as context the end handler runs on the UI thread, and never after the
    // window is gone.
    connect(linkMonitor, &QThread::finished, this, &MainWindow::OnLinkMonitorEnd);
    linkMonitor->start();
}

void MainWindow::OnLinkMonitorEnd() {
    if (linkMonitor) {
        // Its body has returned, so this waits on nothing but the thread's last steps before the
        // object goes.
        linkMonitor->StopAndJoin();
        linkMonitor->deleteLater();
        linkMonitor = nullptr;
    }
    // The monitor is not started again. A close refused now leaves the window without one.
    if (!closingDown)
        close();
}

void MainWindow::ShowLinkState(bool attached) {
    linkStateLabel->setText(attached ? texts::kLinkUp : texts::kLinkDown);
}

void MainWindow::SetKeyControlsAvailable(bool available) {
    // All four together, also with no key learned: the delete and clear handlers refuse with
    // their own messages then.
    remoteBox->setVisible(available);
    learnButton->setEnabled(available);
    deleteButton->setEnabled(available);
    clearButton->setEnabled(available);
}

LinkMonitorView::LossAnswer MainWindow::AskAfterLoss() {
    // A window that is closing asks nothing more: the monitor has been told to stop, and a box
    // shown now would outlive the window the user closed.
    if (closingDown)
        return LossAnswer::kEnd;
    if (prompter.RetryCancel(texts::kReconnectRemote, texts::kPromptCaption))
        return LossAnswer::kKeepWatching;
    // The window may have been closed while the first box was open.
    if (closingDown)
        return LossAnswer::kEnd;
    return prompter.OkCancel(texts::kConfirmClose, texts::kPromptCaption)
               ? LossAnswer::kEnd
               : LossAnswer::kKeepWatching;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (learningMode && device.IsAttached()) {
        prompter.Information(texts::kStopLearningBeforeClosing, texts::kPromptCaption);
        event->ignore();
        return;
    }
    closingDown = true;
    // Learning with the remote detached may leave a capture waiting: it is stopped and joined
    // now, so it never reaches a window that is going.
    StopAnimation();
    StopCaptureThread();
    pendingKeys.clear();
    // Not joined here: the close may come from inside the monitor's own box, which this thread
    // is showing. The monitor ends by itself; the destructor joins what is left.
    if (linkMonitor)
        linkMonitor->RequestStop();
    DeleteAnimationFile();
    QWidget::closeEvent(event);
}
