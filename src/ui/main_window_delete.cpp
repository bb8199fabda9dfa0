// Deleting learned keys: delete mode, the delete branch of KeyClick and clearing every learned
// key. The remote is changed by learning/delete_keys.h; this file asks the user, turns the
// outcomes into texts and keeps the key pictures, the two buttons and the tips panels in step.
#include <QLabel>
#include <algorithm>
#include <optional>

#include "learning/delete_keys.h"
#include "learning/key_slots.h"
#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

namespace {

// A button whose Code names no key has no slot, so it counts as not learned.
std::optional<DeleteOutcome> RefusalFor(const std::vector<KeySlot>& keySlots,
                                        std::optional<KeyCode> keyCode) {
    if (!keyCode)
        return keySlots.empty() ? DeleteOutcome::kNoKeySlots : DeleteOutcome::kNotLearned;
    return DeleteRefusal(keySlots, *keyCode);
}

const QString& RefusalText(DeleteOutcome refusal) {
    return refusal == DeleteOutcome::kNoKeySlots ? texts::kNoKeyLearnedYet : texts::kKeyNotLearned;
}

}  // namespace

void MainWindow::DeleteButtonClicked() {
    if (learningMode) {
        prompter.Information(texts::kStopLearningBeforeDeleting, texts::kPromptCaption);
        return;
    }
    deleteMode = !deleteMode;
    if (deleteMode) {
        ShowTipsPanel(tipsDeleting);
        statusLabel->setText(texts::kChooseKeyToDelete);
        deleteButton->SetPicture(namedPictures.value(QStringLiteral("stopdelete")));
        return;
    }
    statusLabel->clear();
    deleteButton->SetPicture(namedPictures.value(QStringLiteral("delete")));
    ShowIdleTips();
}

void MainWindow::DeleteKeyClick(PictureButton* button) {
    const std::optional<KeyCode> keyCode = KeyCodeOf(button);
    if (const std::optional<DeleteOutcome> refusal = RefusalFor(remoteMap.keySlots, keyCode)) {
        prompter.Information(RefusalText(*refusal), texts::kPromptCaption);
        return;
    }
    statusLabel->clear();
    if (!prompter.Question(texts::kDeleteQuestion, texts::kPromptCaption))
        return;

    const DeleteResult result = DeleteLearnedKey(remoteMap, device, *keyCode);
    if (result.outcome != DeleteOutcome::kDeleted) {
        // The key keeps its code, its slot and its learned picture.
        prompter.Information(result.outcome == DeleteOutcome::kNotDeleted
                                 ? texts::kDeleteFailed
                                 : RefusalText(result.outcome),
                             texts::kPromptCaption);
        return;
    }
    button->SetIsEnable(true);
    ShowKeyPicture(button, KeyPictureSet::kNotLearned);
    prompter.Information(texts::kDeleteSucceeded, texts::kPromptCaption);
    // Delete mode ends with the last learned key; otherwise it stays on for the next key.
    if (!AnyKeyLearned()) {
        UpdateDeleteButtons();
        ShowTipsPanel(tipsNoneLearned);
    }
}

void MainWindow::ClearButtonClicked() {
    if (learningMode) {
        prompter.Information(texts::kStopLearningBeforeClearing, texts::kPromptCaption);
        return;
    }
    if (deleteMode) {
        prompter.Information(texts::kStopDeletingBeforeClearing, texts::kPromptCaption);
        return;
    }
    if (!AnyKeyLearned()) {
        prompter.Information(texts::kNothingToClear, texts::kPromptCaption);
        return;
    }
    if (!prompter.Question(texts::kClearQuestion, texts::kPromptCaption))
        return;

    const ClearResult result = ClearLearnedKeys(remoteMap, device);
    // Keys whose code could not be taken off keep their learned picture.
    for (PictureButton* button : findChildren<PictureButton*>()) {
        const std::optional<KeyCode> keyCode = KeyCodeOf(button);
        if (keyCode &&
            std::any_of(result.cleared.begin(), result.cleared.end(),
                        [&](const KeyRelease& key) { return key.keyCode == *keyCode; })) {
            button->SetIsEnable(true);
            ShowKeyPicture(button, KeyPictureSet::kNotLearned);
        }
    }
    const QString& report = result.failed.empty() ? texts::kClearDone : texts::kClearIncomplete;
    statusLabel->setText(report);
    prompter.Information(report, texts::kPromptCaption);
    statusLabel->repaint();
    UpdateDeleteButtons();
    ShowIdleTips();
}

void MainWindow::ShowTipsPanel(PictureView* panel) {
    for (PictureView* tips : {tipsSomeLearned, tipsLearning, tipsDeleting, tipsNoneLearned})
        tips->setVisible(tips == panel);
}

void MainWindow::ShowIdleTips() {
    ShowTipsPanel(AnyKeyLearned() ? tipsSomeLearned : tipsNoneLearned);
}
