// Key selection: what a click on a key of the remote's picture does in each of the window's
// modes, and the pictures that show every key's state.
#include <QLabel>
#include <optional>

#include "learning/key_slots.h"
#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

namespace {

std::string CodeOf(const PictureButton* button) {
    return button->Code().toStdString();
}

}  // namespace

std::optional<KeyCode> MainWindow::KeyCodeOf(const PictureButton* button) {
    return ParseKeyCode(CodeOf(button));
}

void MainWindow::KeyClick(PictureButton* button) {
    if (button == nullptr)
        return;
    if (deleteMode) {
        DeleteKeyClick(button);
        return;
    }
    if (!pendingKeys.isEmpty()) {
        // Only one key is learned at a time.
        prompter.Information(texts::KeyStillLearning(pendingKeys.first()->Path()),
                             texts::kPromptCaption);
        return;
    }
    if (learningMode) {
        ChooseKeyForLearning(button);
        return;
    }
    prompter.Information(texts::kClickStartLearningFirst, texts::kPromptCaption);
}

void MainWindow::ChooseKeyForLearning(PictureButton* button) {
    const std::optional<KeyCode> keyCode = KeyCodeOf(button);
    if (keyCode && KeyIsLearned(remoteMap.keySlots, *keyCode)) {
        if (!prompter.Question(texts::RelearnQuestion(button->Path()), texts::kPromptCaption))
            return;
        button->SetIsEnable(true);
        button->repaint();
    }
    ShowKeyPicture(button, KeyPictureSet::kLearning);
    statusLabel->setText(texts::ReadyToLearn(button->Path()));
    hintPicture->hide();
    PlayAnimation();
    pendingKeys.append(button);
    StartCapture();
}

void MainWindow::ShowKeyPicture(PictureButton* button, KeyPictureSet set) {
    const auto index = KeyPictureIndex(set, CodeOf(button));
    if (index && *index < static_cast<std::size_t>(keyPictures.size()))
        button->SetPicture(keyPictures[static_cast<qsizetype>(*index)]);
}

void MainWindow::ShowKeyStates() {
    for (PictureButton* button : findChildren<PictureButton*>()) {
        const std::optional<KeyCode> keyCode = KeyCodeOf(button);
        if (!keyCode)
            continue;
        for (const KeySlot& slot : remoteMap.keySlots) {
            if (slot.keyCode != *keyCode)
                continue;
            switch (slot.state) {
                case SlotState::kLearned:
                    button->SetIsEnable(false);
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

bool MainWindow::AnyKeyLearned() const {
    return ::AnyKeyLearned(remoteMap.keySlots);
}

void MainWindow::UpdateDeleteButtons() {
    if (AnyKeyLearned()) {
        deleteButton->setEnabled(true);
        deleteButton->SetPicture(namedPictures.value(QStringLiteral("delete")));
        clearButton->setEnabled(true);
        clearButton->SetPicture(namedPictures.value(QStringLiteral("clear")));
        return;
    }
    deleteButton->SetPicture(namedPictures.value(QStringLiteral("deletehui")));
    deleteButton->setEnabled(false);
    clearButton->SetPicture(namedPictures.value(QStringLiteral("clearhui")));
    clearButton->setEnabled(false);
    deleteMode = false;
}
