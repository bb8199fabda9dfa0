// Key selection: what a click on a key of the remote's picture does in each of the window's
// modes, and the pictures that show every key's state.
#include <QDir>
#include <QLabel>
#include <QMovie>
#include <optional>

#include "ibtn1.h"
#include "key_slots.h"
#include "mainstudy.h"
#include "picture_view.h"
#include "prompter.h"

namespace {

std::string CodeOf(const IBtn* button) {
    return button->Code().toStdString();
}

// The key a button stands for; none for an action button.
std::optional<KeyCode> KeyCodeOf(const IBtn* button) {
    return ParseKeyCode(CodeOf(button));
}

}  // namespace

void Tmainkeylearn::IBtn1Click() {
    KeyClick(IBtn1);
}

void Tmainkeylearn::IBtn5Click() {
    KeyClick(IBtn5);
}

void Tmainkeylearn::IBtn41Click() {
    KeyClick(IBtn41);
}

void Tmainkeylearn::IBtn2Click() {
    KeyClick(IBtn2);
}

void Tmainkeylearn::KeyClick(IBtn* button) {
    if (button == nullptr)
        return;
    if (deleteMode) {
        DeleteKeyClick(button);
        return;
    }
    if (!pendingKeys.isEmpty()) {
        // Only one key is learned at a time; the box names the key that waits, not the one
        // clicked.
        const QString pending = pendingKeys.first()->Path() + QStringLiteral("按键");
        prompter.Information(pending + QStringLiteral("正在学习，要停止") + pending +
                                 QStringLiteral(",请点击停止学习按钮"),
                             kPromptCaption);
        return;
    }
    if (learningMode) {
        ChooseKeyForLearning(button);
        return;
    }
    prompter.Information(QStringLiteral("请先点击开始学习按钮！"), kPromptCaption);
}

void Tmainkeylearn::ChooseKeyForLearning(IBtn* button) {
    const std::optional<KeyCode> keyCode = KeyCodeOf(button);
    if (keyCode && KeyIsLearned(remoteMap.keySlots, *keyCode)) {
        if (!prompter.Question(button->Path() + QStringLiteral("键编码已学习过，要重新学习吗?"),
                               kPromptCaption))
            return;
        button->SetIsEnable(true);
        button->repaint();
    }
    ShowKeyPicture(button, KeyPictureSet::kLearning);
    runstate_lab->setText(QStringLiteral("准备学习") + button->Path() +
                          QStringLiteral("按键， 请发码"));
    Imagehint->hide();
    PlayAnimation();
    pendingKeys.append(button);
    StartCapture();
}

void Tmainkeylearn::DeleteKeyClick(IBtn* /*button*/) {
    // Deleting a learned key is built with delete mode.
}

void Tmainkeylearn::StartCapture() {
    // A capture thread that still exists keeps its place: the pending key waits for that
    // thread's end handler instead of a second thread.
    if (captureThread != nullptr)
        return;
    captureControl = 1;
    // The capture thread (TCollectCode) is created and started here, with LearnCapturedCode
    // connected as its end handler before it runs.
}

void Tmainkeylearn::PlayAnimation() {
    if (animation == nullptr)
        animation = new QMovie(this);
    animation->stop();
    // A missing or unreadable file plays nothing; learning works without the animation.
    animation->setFileName(AnimationFile);
    donghuaflash2->setMovie(animation);
    donghuaflash2->show();
    animation->start();
}

void Tmainkeylearn::ShowKeyPicture(IBtn* button, KeyPictureSet set) {
    const auto index = KeyPictureIndex(set, CodeOf(button));
    if (index && *index < static_cast<std::size_t>(keyPictures.size()))
        button->SetPicture(keyPictures[static_cast<qsizetype>(*index)]);
}

void Tmainkeylearn::ShowKeyStates() {
    for (IBtn* button : findChildren<IBtn*>()) {
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

bool Tmainkeylearn::AnyKeyLearned() const {
    return ::AnyKeyLearned(remoteMap.keySlots);
}

void Tmainkeylearn::UpdateDeleteButtons() {
    if (AnyKeyLearned()) {
        delstudykey->setEnabled(true);
        delstudykey->SetPicture(namedPictures.value(QStringLiteral("delete")));
        delallstudykey->setEnabled(true);
        delallstudykey->SetPicture(namedPictures.value(QStringLiteral("clear")));
        return;
    }
    delstudykey->SetPicture(namedPictures.value(QStringLiteral("deletehui")));
    delstudykey->setEnabled(false);
    delallstudykey->SetPicture(namedPictures.value(QStringLiteral("clearhui")));
    delallstudykey->setEnabled(false);
    deleteMode = false;
}

QString Tmainkeylearn::DefaultAnimationFile() {
    return QDir::tempPath() + QStringLiteral("/888.gif");
}
