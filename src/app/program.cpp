#include "app/program.h"

#include <QApplication>
#include <QThread>
#include <memory>

#include "app/splash_window.h"
#include "platform/prompter.h"
#include "platform/remote_lock.h"
#include "ui/main_window.h"
#include "ui/texts.h"

int RunProgram(DeviceLibrary& device, Prompter& prompter, const WindowServices& services) {
    auto splash = std::make_unique<SplashWindow>();
    splash->show();
    splash->repaint();
    // Let the window system map the splash, so that it is on the screen before the slow part.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    MainWindow window(device, prompter, services);

    // Blocks the UI thread: nothing is processed during the wait.
    QThread::msleep(500);
    splash->hide();
    splash.reset();

    // Every message of a failed start-up has been shown and answered by now.
    if (window.StartupFailed())
        return 0;
    // Held until the program ends, so that no other program changes the remote meanwhile. A
    // remote whose identity was never read cannot be written either, and needs no lock; a lock
    // file that cannot be made keeps no one from their remote.
    RemoteLock lock;
    const QString identity = QString::fromStdString(window.Map().remoteIdText);
    if (!identity.isEmpty() &&
        lock.Take(identity, QStringLiteral("keylearn")) == RemoteLockStatus::kHeld) {
        const QString holder =
            lock.HolderName().isEmpty() ? texts::kAnotherProgram : lock.HolderName();
        prompter.Information(texts::RemoteInUse(holder), texts::kPromptCaption);
        return 0;
    }
    window.show();
    return QApplication::exec();
}
