// The session's questions, asked with the window's texts through the prompter.
#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/texts.h"

bool MainWindow::RetryWithoutRemote() {
    return prompter.RetryCancel(texts::kNoRemote, texts::kPromptCaption);
}

bool MainWindow::ConfirmRelearn(KeyCode key) {
    return prompter.Question(texts::RelearnQuestion(LabelOf(key)), texts::kPromptCaption);
}

bool MainWindow::ConfirmDelete(KeyCode) {
    return prompter.Question(texts::kDeleteQuestion, texts::kPromptCaption);
}

bool MainWindow::ConfirmClear() {
    return prompter.Question(texts::kClearQuestion, texts::kPromptCaption);
}

bool MainWindow::KeepWaitingForRemote() {
    return prompter.RetryCancel(texts::kReconnectRemote, texts::kPromptCaption);
}

bool MainWindow::ConfirmCloseWithoutRemote() {
    return prompter.OkCancel(texts::kConfirmClose, texts::kPromptCaption);
}
