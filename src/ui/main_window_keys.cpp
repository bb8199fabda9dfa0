// Key selection: what a click on a key of the remote's picture does in each of the session's
// modes, and the pictures that show every key's state.
#include <QLabel>
#include <optional>

#include "common/hex_digits.h"
#include "learning/key_slots.h"
#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

namespace {

// The key a button stands for; none for an action button.
std::optional<KeyCode> KeyCodeOf(const PictureButton* button) {
    return ParseKeyCode(button->Code().toStdString());
}

}  // namespace

PictureButton* MainWindow::KeyButton(KeyCode code) const {
    return keyButtons_.value(QString::fromStdString(hex::FormatDigits(code, 2)));
}

QString MainWindow::LabelOf(KeyCode key) const {
    const PictureButton* button = KeyButton(key);
    return button ? button->Label() : QString();
}

void MainWindow::KeyClick(PictureButton* button) {
    if (button == nullptr)
        return;
    // Only the keys of the remote's picture come here, and each has its code.
    const std::optional<KeyCode> key = KeyCodeOf(button);
    if (!key)
        return;
    if (session_->DeleteMode()) {
        DeleteKeyClick(button, *key);
        return;
    }
    ChooseKeyForLearning(button, *key);
}

void MainWindow::ChooseKeyForLearning(PictureButton* button, KeyCode key) {
    switch (session_->ChooseKey(key)) {
        case KeyChoice::kKeyPending:
            // Only one key is learned at a time.
            prompter_.Information(texts::KeyStillLearning(LabelOf(*session_->PendingKey())),
                                  texts::kPromptCaption);
            return;
        case KeyChoice::kLearningOff:
            prompter_.Information(texts::kClickStartLearningFirst, texts::kPromptCaption);
            return;
        case KeyChoice::kDeclined:
            return;
        case KeyChoice::kRechosen:
            button->SetEnabledLook(true);
            button->repaint();
            break;
        case KeyChoice::kChosen:
            break;
    }
    ShowKeyPicture(button, KeyPictureSet::kLearning);
    statusLabel->setText(texts::ReadyToLearn(button->Label()));
    hintPicture->hide();
    PlayAnimation();
}

void MainWindow::ShowKeyPicture(PictureButton* button, KeyPictureSet set) {
    const auto index = KeyPictureIndex(set, button->Code().toStdString());
    if (index && *index < static_cast<std::size_t>(pictures_.keyPictures.size()))
        button->SetPicture(pictures_.keyPictures[static_cast<qsizetype>(*index)]);
}

QPixmap MainWindow::Named(const QString& name) const {
    return pictures_.namedPictures.value(name);
}

void MainWindow::ShowKeyStates() {
    for (PictureButton* button : findChildren<PictureButton*>()) {
        const std::optional<KeyCode> keyCode = KeyCodeOf(button);
        if (!keyCode)
            continue;
        for (const KeySlot& slot : session_->Map().keySlots) {
            if (slot.keyCode != *keyCode)
                continue;
            switch (slot.state) {
                case SlotState::kLearned:
                    button->SetEnabledLook(false);
                    ShowKeyPicture(button, KeyPictureSet::kLearned);
                    break;
                case SlotState::kDownloaded:
                    ShowKeyPicture(button, KeyPictureSet::kDownloaded);
                    break;
                default:
                    break;
            }
        }
    }
}

void MainWindow::ShowTablesReread(const std::vector<KeyCode>& changedKeys) {
    // ShowKeyStates draws the keys that hold a code; a key whose code went while the remote was
    // away is drawn empty here. The key waiting for its code keeps its learning picture.
    const std::optional<KeyCode> pending = session_->PendingKey();
    for (const KeyCode key : changedKeys) {
        PictureButton* button = KeyButton(key);
        if (button == nullptr || key == pending || session_->KeyIsLearned(key))
            continue;
        button->SetEnabledLook(true);
        ShowKeyPicture(button, KeyPictureSet::kNotLearned);
    }
    ShowKeyStates();
    if (PictureButton* button = pending ? KeyButton(*pending) : nullptr)
        ShowKeyPicture(button, KeyPictureSet::kLearning);
    UpdateDeleteButtons();
    if (session_->LearningMode()) {
        ShowTipsPanel(tipsLearning);
    } else if (session_->DeleteMode()) {
        deleteButton->SetPicture(Named(named_picture::kStopDeleting));
        ShowTipsPanel(tipsDeleting);
    } else {
        ShowIdleTips();
    }
}

void MainWindow::UpdateDeleteButtons() {
    if (session_->AnyKeyLearned()) {
        deleteButton->setEnabled(true);
        deleteButton->SetPicture(Named(named_picture::kDelete));
        clearButton->setEnabled(true);
        clearButton->SetPicture(Named(named_picture::kClear));
        return;
    }
    deleteButton->SetPicture(Named(named_picture::kDeleteDisabled));
    deleteButton->setEnabled(false);
    clearButton->SetPicture(Named(named_picture::kClearDisabled));
    clearButton->setEnabled(false);
}
