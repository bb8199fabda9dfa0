#include "ui/main_window.h"

#include <QShowEvent>

#include "platform/prompter.h"
#include "ui/picture_button.h"
#include "ui/texts.h"

MainWindow::MainWindow(DeviceLibrary& device, Prompter& prompter, const WindowServices& services,
                       QWidget* parent)
    : QWidget(parent),
      prompter(prompter),
      services(services),
      session(std::make_unique<RemoteSession>(device, services.session)) {
    setObjectName(QStringLiteral("mainWindow"));
    if (services.pictures)
        pictures = *services.pictures;
    session->SetQuestions(this);
    BuildLayout();
    ConnectActionButtons();
    ConnectSession();
    RunStartup();
}

MainWindow::~MainWindow() {
    // The session joins its threads; nothing it still reports reaches a window that is going.
    session->SetQuestions(nullptr);
    disconnect(session.get(), nullptr, this, nullptr);
    session.reset();
}

void MainWindow::ConnectSession() {
    RemoteSession* s = session.get();
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
    if (!shownOnce && !event->spontaneous()) {
        shownOnce = true;
        OnFirstShow();
    }
}

void MainWindow::TellFolderNotEntered(const QString& path) {
    prompter.Information(texts::FolderNotEntered(path), texts::kPromptCaption);
}
