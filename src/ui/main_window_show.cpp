// The show handler, which puts the window into the state its slots call for when it is first
// shown; the screen check; the help, update and close buttons; the hand pointer over the
// action buttons.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMetaObject>
#include <QTimer>

#include "platform/desktop_shell.h"
#include "platform/display_modes.h"
#include "platform/picture_cache.h"
#include "platform/prompter.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

namespace {

constexpr int kLeastScreenWidth = 1024;
constexpr int kPictureSaveDelayMs = 1000;
constexpr QSize kLeastScreen(1024, 768);

// The help page of the shown language.
QString HelpPage() {
    return ShownLanguage() == Language::kEnglish ? QStringLiteral("keylearn-help-en.html")
                                                 : QStringLiteral("keylearn-help.html");
}

}  // namespace

void MainWindow::OnFirstShow() {
    // A window whose start-up failed closes as soon as it is shown, which ends the program.
    // The close is queued: closing from inside the show would leave the show half done.
    if (startupFailed_) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
    session_->WatchLink();
    if (!LoadSkins()) {
        startupFailed_ = true;
        WhenShown([this] {
            prompter_.Information(texts::kSkinsNotLoaded, texts::kPromptCaption);
            close();
        });
        return;
    }
    WhenShown([this] { CheckScreenResolution(); });
    // Every picture of the start is decoded by now; a run that had to decode any keeps them for
    // the next one, once the window has been on the screen a moment: writing them out is
    // several megabytes of copying that should not come before the window's first paint.
    if (services_.pictureCache)
        QTimer::singleShot(kPictureSaveDelayMs, this, [this] {
            if (!session_->Closing())
                services_.pictureCache->Save();
        });
    // Taken away while the remote is away, the delete and clear buttons show their own grey
    // pictures (in grey the pictures' backgrounds would show as grey boxes).
    deleteButton->SetUnavailablePicture(Named(named_picture::kDeleteDisabled));
    clearButton->SetUnavailablePicture(Named(named_picture::kClearDisabled));
    ShowKeyStates();
    hintPicture->SetPicture(Named(named_picture::kIdleHint));
    UpdateDeleteButtons();
    ShowIdleTips();
    versionLabel->setText(texts::kProgramVersion);
}

void MainWindow::WhenShown(std::function<void()> box) {
    // Queued: the show has finished and the window is on the screen before the box opens over
    // it. A window gone by then takes the call with it.
    QMetaObject::invokeMethod(
        this,
        [this, box = std::move(box)] {
            if (!session_->Closing())
                box();
        },
        Qt::QueuedConnection);
}

void MainWindow::CheckScreenResolution() {
    DisplayModes& display = services_.display ? *services_.display : SystemDisplayModes();
    const QSize screen = display.ScreenSize();
    // Only the width is tested: the window fits a lower screen, scrolled off at the bottom.
    if (screen.width() >= kLeastScreenWidth)
        return;
    prompter_.Information(texts::ScreenTooSmall(screen.width(), screen.height()),
                          texts::kPromptCaption);
    // The user may have changed the display while the box was open.
    if (display.ScreenSize().width() < kLeastScreenWidth)
        display.SwitchForSession(kLeastScreen);
}

void MainWindow::ConnectActionButtons() {
    connect(helpButton, &PictureButton::clicked, this, &MainWindow::HelpClicked);
    connect(updateButton, &PictureButton::clicked, this, &MainWindow::UpdateClicked);
    // Through close(), so that the close query decides.
    connect(closeButton, &PictureButton::clicked, this, &QWidget::close);
    // From the first movement over an action button on, it shows the hand pointer for good;
    // the keys keep their arrow.
    for (PictureButton* button :
         {helpButton, updateButton, closeButton, learnButton, clearButton, deleteButton})
        connect(button, &PictureButton::mouseMove, button,
                [button] { button->setCursor(Qt::PointingHandCursor); });
}

QString MainWindow::ProgramFolder() const {
    return services_.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                             : services_.programFolder;
}

void MainWindow::HelpClicked() {
    // Our own page beside the program, not one in whatever the current directory is.
    const QString page = QDir(ProgramFolder()).filePath(HelpPage());
    DesktopShell& shell = services_.shell ? *services_.shell : SystemDesktopShell();
    if (!QFileInfo(page).isFile() || !shell.OpenWithShell(page))
        prompter_.Information(texts::kHelpFileMissing, texts::kPromptCaption);
}

void MainWindow::UpdateClicked() {
    // There is nothing to update from: the button only says so.
    if (session_->LearningMode())
        prompter_.PlainMessage(texts::kUpdateWhileLearning);
    else if (session_->DeleteMode())
        prompter_.PlainMessage(texts::kUpdateWhileDeleting);
    else
        prompter_.PlainMessage(texts::kNoUpdateNeeded);
}
