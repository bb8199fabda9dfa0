// Deleting learned keys: delete mode, the delete branch of KeyClick and clearing every learned
// key. The session changes the remote; this file turns its outcomes into texts and keeps the
// key pictures, the two buttons and the tips panels in step.
#include <QLabel>
#include <algorithm>

#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

namespace {

const QString& RefusalText(DeleteOutcome refusal) {
    return refusal == DeleteOutcome::kNoKeySlots ? texts::kNoKeyLearnedYet : texts::kKeyNotLearned;
}

}  // namespace

void MainWindow::DeleteButtonClicked() {
    if (!session_->SwitchDeleteMode()) {
        prompter_.Information(texts::kStopLearningBeforeDeleting, texts::kPromptCaption);
        return;
    }
    if (session_->DeleteMode()) {
        ShowTipsPanel(tipsDeleting);
        statusLabel->setText(texts::kChooseKeyToDelete);
        deleteButton->SetPicture(Named(named_picture::kStopDeleting));
        return;
    }
    statusLabel->clear();
    deleteButton->SetPicture(Named(named_picture::kDelete));
    ShowIdleTips();
}

void MainWindow::DeleteKeyClick(PictureButton* button, KeyCode key) {
    if (const std::optional<DeleteOutcome> refusal = session_->DeleteRefusal(key)) {
        prompter_.Information(RefusalText(*refusal), texts::kPromptCaption);
        return;
    }
    statusLabel->clear();
    const KeyDeletion deletion = session_->DeleteKey(key);
    if (deletion.request == KeyDeletion::Result::kDeclined)
        return;
    const DeleteOutcome outcome = deletion.result.outcome;
    if (outcome != DeleteOutcome::kDeleted) {
        // The key keeps its code, its slot and its learned picture.
        prompter_.Information(
            outcome == DeleteOutcome::kNotDeleted ? texts::kDeleteFailed : RefusalText(outcome),
            texts::kPromptCaption);
        return;
    }
    button->SetEnabledLook(true);
    ShowKeyPicture(button, KeyPictureSet::kNotLearned);
    prompter_.Information(texts::kDeleteSucceeded, texts::kPromptCaption);
    // Delete mode ends with the last learned key; otherwise it stays on for the next key.
    if (!session_->AnyKeyLearned()) {
        UpdateDeleteButtons();
        ShowTipsPanel(tipsNoneLearned);
    }
}

void MainWindow::ClearButtonClicked() {
    const KeysClearing clearing = session_->ClearKeys();
    switch (clearing.request) {
        case KeysClearing::Result::kRefusedWhileLearning:
            prompter_.Information(texts::kStopLearningBeforeClearing, texts::kPromptCaption);
            return;
        case KeysClearing::Result::kRefusedWhileDeleting:
            prompter_.Information(texts::kStopDeletingBeforeClearing, texts::kPromptCaption);
            return;
        case KeysClearing::Result::kNothingLearned:
            prompter_.Information(texts::kNothingToClear, texts::kPromptCaption);
            return;
        case KeysClearing::Result::kDeclined:
            return;
        case KeysClearing::Result::kDone:
            break;
    }
    const ClearResult& result = clearing.result;
    // Keys whose code could not be taken off keep their learned picture.
    for (const KeyRelease& key : result.cleared) {
        if (PictureButton* button = KeyButton(key.keyCode)) {
            button->SetEnabledLook(true);
            ShowKeyPicture(button, KeyPictureSet::kNotLearned);
        }
    }
    const QString& report = result.failed.empty() ? texts::kClearDone : texts::kClearIncomplete;
    statusLabel->setText(report);
    prompter_.Information(report, texts::kPromptCaption);
    statusLabel->repaint();
    UpdateDeleteButtons();
    ShowIdleTips();
}

void MainWindow::ShowTipsPanel(PictureView* panel) {
    for (PictureView* tips : {tipsSomeLearned, tipsLearning, tipsDeleting, tipsNoneLearned})
        tips->setVisible(tips == panel);
}

void MainWindow::ShowIdleTips() {
    ShowTipsPanel(session_->AnyKeyLearned() ? tipsSomeLearned : tipsNoneLearned);
}
