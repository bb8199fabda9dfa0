// The link to the remote: what the session's link monitor reports, and the close query that
// ends the session.
#include <QCloseEvent>
#include <QLabel>
#include <QScrollArea>

#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/texts.h"

void MainWindow::OnLinkWatchEnded() {
    // The monitor is not started again. A close refused now leaves the window without one.
    if (!session_->Closing())
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

void MainWindow::closeEvent(QCloseEvent* event) {
    if (session_->Close() == CloseRequest::kRefusedWhileLearning) {
        prompter_.Information(texts::kStopLearningBeforeClosing, texts::kPromptCaption);
        event->ignore();
        return;
    }
    StopAnimation();
    DeleteAnimationFile();
    QWidget::closeEvent(event);
}
