// The session's questions, asked with the window's texts through the prompter.
#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/texts.h"

bool MainWindow::RetryWithoutRemote() {
    return prompter_.RetryCancel(texts::kNoRemote, texts::kPromptCaption);
}

bool MainWindow::ConfirmRelearn(KeyCode key) {
    return prompter_.Question(texts::RelearnQuestion(LabelOf(key)), texts::kPromptCaption);
}

bool MainWindow::ConfirmDelete(KeyCode) {
    return prompter_.Question(texts::kDeleteQuestion, texts::kPromptCaption);
}

bool MainWindow::ConfirmClear() {
    return prompter_.Question(texts::kClearQuestion, texts::kPromptCaption);
}

bool MainWindow::KeepWaitingForRemote() {
    return prompter_.RetryCancel(texts::kReconnectRemote, texts::kPromptCaption);
}

bool MainWindow::ConfirmCloseWithoutRemote() {
    return prompter_.OkCancel(texts::kConfirmClose, texts::kPromptCaption);
}
