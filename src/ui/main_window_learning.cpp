// Learning: the learn button that switches learning mode, the capture thread a chosen key
// starts, and the end handler that turns the capture into a learned key or a failure.
#include <QLabel>
#include <QMovie>
#include <QPlainTextEdit>
#include <optional>
#include <utility>

#include "learning/capture_thread.h"
#include "learning/key_slots.h"
#include "learning/learn_capture.h"
#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

namespace {

QPixmap Named(const QHash<QString, QPixmap>& pictures, const char* name) {
    return pictures.value(QString::fromLatin1(name));
}

}  // namespace

void MainWindow::LearnButtonClicked() {
    if (deleteMode) {
        prompter.Information(texts::kStopDeletingBeforeLearning, texts::kPromptCaption);
        return;
    }
    learningMode = !learningMode;
    if (learningMode) {
        learnButton->SetIsEnable(false);
        hintPicture->SetPicture(Named(namedPictures, "jpgjingtai"));
        statusLabel->setText(texts::kClickKeyToLearn);
        ShowTipsPanel(tipsLearning);
        return;
    }
    StopAnimation();
    captureControl.Stop();
    hintPicture->show();
    statusLabel->clear();
    hintPicture->SetPicture(Named(namedPictures, "giftovani"));
    ShowIdleTips();
    if (!pendingKeys.isEmpty())
        PutBackPendingKey();
    ShowKeyStates();
    learnButton->SetIsEnable(true);
}

void MainWindow::PutBackPendingKey() {
    PictureButton* key = pendingKeys.takeFirst();
    ShowKeyPicture(key, KeyPictureSet::kNotLearned);
    // A learned key is not clickable for learning without its question; ShowKeyStates then
    // gives it its learned picture again.
    const std::optional<KeyCode> keyCode = KeyCodeOf(key);
    if (keyCode && KeyIsLearned(remoteMap.keySlots, *keyCode))
        key->SetIsEnable(false);
}

void MainWindow::StartCapture() {
    // A capture thread that still exists keeps its place: the pending key waits for that
    // thread's end handler instead of a second thread.
    if (captureThread != nullptr)
        return;
    captureControl.Start();
    captureThread = new CaptureThread(device, captureControl, captureTiming);
    // Connected before the thread runs, with the window as context: the end handler runs on
    // the UI thread, and never once the window is gone.
    connect(captureThread, &QThread::finished, this, &MainWindow::LearnCapturedCode);
    captureThread->start();
}

void MainWindow::StopCaptureThread() {
    if (captureThread == nullptr)
        return;
    // The end handler must not run for a window that is closing: it would show boxes after
    // the close and reach for a window about to go.
    disconnect(captureThread, nullptr, this, nullptr);
    captureControl.Stop();
    captureThread->wait();
    delete std::exchange(captureThread, nullptr);
}

void MainWindow::LearnCapturedCode() {
    CaptureThread* ended = std::exchange(captureThread, nullptr);
    if (ended == nullptr)
        return;
    CaptureResult result = ended->TakeResult();
    ended->deleteLater();
    // A key chosen after learning was switched off and on again, while the stopped capture
    // was still ending: that capture was never meant for it, so it gets one of its own.
    if (result.end == CaptureEnd::kStopped && learningMode && !pendingKeys.isEmpty()) {
        StartCapture();
        return;
    }
    if (result.capture.empty()) {
        FailLearning();
        return;
    }
    // Learning was switched off while the thread was ending: the attempt is over.
    if (pendingKeys.isEmpty())
        return;
    PictureButton* key = pendingKeys.first();
    statusLabel->setText(texts::KeyBeingLearned(key->Path()));
    statusLabel->repaint();

    const std::optional<KeyCode> keyCode = KeyCodeOf(key);
    if (!keyCode) {
        FailLearning();
        return;
    }
    const CaptureLearning attempt =
        LearnCapture(remoteMap, device, *keyCode, result.capture, converterFolder);
    LogAttempt(attempt);
    if (!attempt.Succeeded()) {
        TellLearningFailed(attempt);
        return;
    }
    // Every write is done: the box may now wait for the user without leaving the remote
    // half written if the program dies meanwhile.
    // Disabled first, as ShowKeyStates does: disabling shows the button's own disabled picture.
    key->SetIsEnable(false);
    ShowKeyPicture(key, KeyPictureSet::kLearned);
    prompter.Information(texts::kCodeReceived, texts::kPromptCaption);
    FinishLearnedKey(key);
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
        prompter.Information(texts::kLearningFailed, texts::kPromptCaption);
    FailLearning();
}

void MainWindow::FinishLearnedKey(PictureButton* key) {
    StopAnimation();
    hintPicture->show();
    hintPicture->SetPicture(Named(namedPictures, "giftovani"));
    statusLabel->setText(texts::KeyLearned(key->Path()));
    statusLabel->repaint();
    pendingKeys.removeAll(key);
    UpdateDeleteButtons();
}

void MainWindow::FailLearning() {
    if (pendingKeys.isEmpty())
        return;
    StopAnimation();
    hintPicture->show();
    hintPicture->SetPicture(Named(namedPictures, "jpgjingtai"));
    statusLabel->setText(texts::kChooseKeyAgain);
    prompter.PlainMessage(texts::kLearningFailed);
    statusLabel->repaint();
    PictureButton* key = pendingKeys.takeFirst();
    ShowKeyPicture(key, KeyPictureSet::kNotLearned);
    ShowKeyStates();
}

void MainWindow::PlayAnimation() {
    if (animationMovie == nullptr)
        animationMovie = new QMovie(this);
    animationMovie->stop();
    // A missing or unreadable file plays nothing; learning works without the animation. No
    // file at all (it could not be written) is not even tried.
    animationMovie->setFileName(animationFile);
    learningAnimation->setMovie(animationMovie);
    learningAnimation->show();
    if (!animationFile.isEmpty())
        animationMovie->start();
}

void MainWindow::StopAnimation() {
    if (animationMovie != nullptr)
        animationMovie->stop();
    learningAnimation->hide();
}
