#include "ui/main_window.h"

#include <QShowEvent>

#include "platform/prompter.h"
#include "ui/picture_button.h"
#include "ui/texts.h"

MainWindow::MainWindow(DeviceLibrary& device, Prompter& boxes, const WindowServices& given,
                       QWidget* parent)
    : QWidget(parent),
      prompter_(boxes),
      services_(given),
      session_(std::make_unique<RemoteSession>(device, given.session)) {
    setObjectName(QStringLiteral("mainWindow"));
    if (given.pictures)
        pictures_ = *given.pictures;
    session_->SetQuestions(this);
    BuildLayout();
    ConnectActionButtons();
    ConnectSession();
    RunStartup();
}

MainWindow::~MainWindow() {
    // The session joins its threads; nothing it still reports reaches a window that is going.
    session_->SetQuestions(nullptr);
    disconnect(session_.get(), nullptr, this, nullptr);
    session_.reset();
}

void MainWindow::ConnectSession() {
    RemoteSession* s = session_.get();
    connect(s, &RemoteSession::learningStarted, this, &MainWindow::ShowKeyBeingLearned);
    connect(s, &RemoteSession::keyLearned, this, &MainWindow::ShowKeyLearned);
    connect(s, &RemoteSession::learningFailed, this, &MainWindow::ShowLearningFailed);
    connect(s, &RemoteSession::linkStateChanged, this, &MainWindow::ShowLinkState);
    connect(s, &RemoteSession::keyControlsAvailable, this, &MainWindow::SetKeyControlsAvailable);
    connect(s, &RemoteSession::linkWatchEnded, this, &MainWindow::OnLinkWatchEnded);
    connect(s, &RemoteSession::tablesReread, this, &MainWindow::ShowTablesReread);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_ && !event->spontaneous()) {
        shownOnce_ = true;
        OnFirstShow();
    }
}

void MainWindow::TellFolderNotEntered(const QString& path) {
    prompter_.Information(texts::FolderNotEntered(path), texts::kPromptCaption);
}
