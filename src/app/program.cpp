#include "app/program.h"

#include <QApplication>
#include <QThread>
#include <memory>

#include "app/splash_window.h"
#include "app/termination_signals.h"
#include "platform/prompter.h"
#include "ui/main_window.h"
#include "ui/texts.h"

int RunProgram(DeviceLibrary& device, Prompter& prompter, const WindowServices& services) {
    // From here on a termination signal ends the program as a close does: the loops are left
    // and the window and its session go on the way out of this function.
    TerminationSignals terminationSignals;
    auto splash = std::make_unique<SplashWindow>(services.pictureCache);
    splash->show();
    splash->repaint();
    // Let the window system map the splash, so that it is on the screen before the slow part.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    MainWindow window(device, prompter, services);

    // Blocks the UI thread: nothing is processed during the wait.
    QThread::msleep(500);
    splash->hide();
    splash.reset();

    // The session took the remote's lock before it read the tables, and holds it until the
    // program ends. Another program's lock, or a lock that cannot be taken, is told once the
    // splash is gone; every other message of a failed start-up has been shown and answered by
    // now.
    // A signal during start-up: the boxes it cut short have answered no; nothing more is shown.
    if (terminationSignals.Received())
        return 0;
    const RemoteOpening& opening = window.Opening();
    if (opening.status == RemoteOpening::Status::kLockHeld) {
        const QString holder =
            opening.holderName.isEmpty() ? texts::kAnotherProgram : opening.holderName;
        prompter.Information(texts::RemoteInUse(holder), texts::kPromptCaption);
        return 0;
    }
    if (opening.status == RemoteOpening::Status::kLockUnavailable) {
        prompter.Information(texts::RemoteNotLockable(opening.lockProblem), texts::kPromptCaption);
        return 0;
    }
    if (window.StartupFailed())
        return 0;
    window.show();
    return QApplication::exec();
}
