// Learning: the learn button that switches learning mode, and what the window shows of the
// session's capture: the key being learned, the key learned, or the attempt failed.
#include <QLabel>
#include <QMovie>
#include <QPlainTextEdit>
#include <optional>

#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

void MainWindow::LearnButtonClicked() {
    const LearningSwitch change = session_->SwitchLearning();
    switch (change.result) {
        case LearningSwitch::Result::kRefusedWhileDeleting:
            prompter_.Information(texts::kStopDeletingBeforeLearning, texts::kPromptCaption);
            return;
        case LearningSwitch::Result::kSwitchedOn:
            learnButton->SetEnabledLook(false);
            hintPicture->SetPicture(Named(named_picture::kChooseKeyHint));
            statusLabel->setText(texts::kClickKeyToLearn);
            ShowTipsPanel(tipsLearning);
            return;
        case LearningSwitch::Result::kSwitchedOff:
            break;
    }
    StopAnimation();
    hintPicture->show();
    statusLabel->clear();
    hintPicture->SetPicture(Named(named_picture::kIdleHint));
    ShowIdleTips();
    if (change.keyPutBack)
        PutBackPendingKey(*change.keyPutBack);
    ShowKeyStates();
    learnButton->SetEnabledLook(true);
}

void MainWindow::PutBackPendingKey(KeyCode key) {
    PictureButton* button = KeyButton(key);
    if (button == nullptr)
        return;
    ShowKeyPicture(button, KeyPictureSet::kNotLearned);
    // A learned key is not clickable for learning without its question; ShowKeyStates then
    // gives it its learned picture again.
    if (session_->KeyIsLearned(key))
        button->SetEnabledLook(false);
}

void MainWindow::ShowKeyBeingLearned(KeyCode key) {
    statusLabel->setText(texts::KeyBeingLearned(LabelOf(key)));
    statusLabel->repaint();
}

void MainWindow::ShowKeyLearned(KeyCode key, const CaptureLearning& attempt) {
    LogAttempt(attempt);
    PictureButton* button = KeyButton(key);
    // Disabled first, as ShowKeyStates does: disabling shows the button's own disabled picture.
    if (button) {
        button->SetEnabledLook(false);
        ShowKeyPicture(button, KeyPictureSet::kLearned);
    }
    prompter_.Information(texts::kCodeReceived, texts::kPromptCaption);
    StopAnimation();
    hintPicture->show();
    hintPicture->SetPicture(Named(named_picture::kIdleHint));
    statusLabel->setText(texts::KeyLearned(LabelOf(key)));
    statusLabel->repaint();
    UpdateDeleteButtons();
}

void MainWindow::ShowLearningFailed(const LearningAttempt& failure) {
    if (failure.captured) {
        LogAttempt(failure.attempt);
        TellLearningFailed(failure.attempt);
    }
    FailLearning(failure.key);
}

void MainWindow::LogAttempt(const CaptureLearning& attempt) {
    learningLog->appendPlainText(QString::fromStdString(attempt.normalised));
    if (attempt.conversion.status == ConversionStatus::kConverted)
        learningLog->appendPlainText(QString::fromStdString(attempt.conversion.text));
}

void MainWindow::TellLearningFailed(const CaptureLearning& attempt) {
    // A missing converter and an answer that cannot be written get their own box first; a
    // converter that failed inside its call, and every failure at the remote, only the
    // failure dialog.
    const bool noConverter = attempt.conversion.status == ConversionStatus::kNoConverter;
    const bool malformed =
        attempt.learned && attempt.learned->outcome == LearnOutcome::kMalformedResult;
    if (noConverter || malformed)
        prompter_.Information(texts::kLearningFailed, texts::kPromptCaption);
}

void MainWindow::FailLearning(KeyCode key) {
    StopAnimation();
    hintPicture->show();
    hintPicture->SetPicture(Named(named_picture::kChooseKeyHint));
    statusLabel->setText(texts::kChooseKeyAgain);
    prompter_.PlainMessage(texts::kLearningFailed);
    statusLabel->repaint();
    // The window may have closed while the box was open; the pictures are still the window's.
    if (PictureButton* button = KeyButton(key))
        ShowKeyPicture(button, KeyPictureSet::kNotLearned);
    ShowKeyStates();
}

void MainWindow::PlayAnimation() {
    if (animationMovie_ == nullptr)
        animationMovie_ = new QMovie(this);
    animationMovie_->stop();
    // A missing or unreadable file plays nothing; learning works without the animation. No
    // file at all (it could not be written) is not even tried.
    animationMovie_->setFileName(pictures_.animationFile);
    learningAnimation->setMovie(animationMovie_);
    learningAnimation->show();
    if (!pictures_.animationFile.isEmpty())
        animationMovie_->start();
}

void MainWindow::StopAnimation() {
    if (animationMovie_ != nullptr)
        animationMovie_->stop();
    learningAnimation->hide();
}
