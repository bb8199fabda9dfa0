// The program's run from splash to the end of its event loop, in-process, with the simulated
// remote and scripted prompts: which windows the user ever sees.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <memory>

#include "app/program.h"
#include "device/device_library.h"
#include "platform/remote_lock.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/simulated_device.h"
#include "tests/ui/test_window_services.h"
#include "ui/main_window.h"
#include "ui/texts.h"

namespace {

// Counts the times a main window is shown, and closes it as soon as it is, so that a program
// that reaches its event loop ends.
class ShowWatcher : public QObject {
  public:
    int mainWindowShows = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<MainWindow*>(watched) != nullptr) {
            ++mainWindowShows;
            QTimer::singleShot(0, static_cast<QWidget*>(watched), &QWidget::close);
        }
        return false;
    }
};

struct RunCase {
    const char* name;
    RemoteImageBuilder remote;
    bool unplugged;
    int mainWindowShows;
    bool lockedByRemotectl = false;
    // Where the lock is to be made: a folder that does not exist, so it cannot be.
    QString lockFolder{};
};

TEST(ProgramRun, AFailedStartUpNeverShowsTheMainWindow) {
    RunCase cases[] = {
        {"accepted remote", RemoteImageBuilder::DefaultRemote(), false, 1},
        {"firmware too old", RemoteImageBuilder::DefaultRemote().Model("8888"), false, 0},
        {"no remote, given up", RemoteImageBuilder::DefaultRemote(), true, 0},
        {"remote in use", RemoteImageBuilder::DefaultRemote(), false, 0, true},
        {"no lock can be made", RemoteImageBuilder::DefaultRemote(), false, 0, false,
         QStringLiteral("/nonexistent/locks")},
    };
    for (RunCase& c : cases) {
        SCOPED_TRACE(c.name);
        SimulatedRemote remote(c.remote.Build());
        if (c.unplugged)
            remote.Unplug();
        SimulatedDevice entryPoints(remote);
        DeviceLibrary device(entryPoints);
        ScriptedPrompter prompter;
        RemoteLock remotectl;
        if (c.lockedByRemotectl) {
            ASSERT_EQ(remotectl.Take(QString::fromStdString(default_remote::kIdentityText),
                                     QStringLiteral("remotectl")),
                      RemoteLockStatus::kTaken);
            prompter.ExpectInformation(texts::RemoteInUse(QStringLiteral("remotectl")),
                                       texts::kPromptCaption);
        } else if (!c.lockFolder.isEmpty()) {
            // The window refuses the remote it cannot lock, and says why.
            prompter.ExpectInformation(
                texts::RemoteNotLockable(
                    c.lockFolder + QStringLiteral("/") +
                    RemoteLockFileName(QString::fromStdString(default_remote::kIdentityText)) +
                    QStringLiteral(": No such file or directory")),
                texts::kPromptCaption);
        } else if (c.unplugged) {
            prompter.ExpectRetryCancel(texts::kNoRemote, false);
        } else if (c.mainWindowShows == 0) {
            prompter.ExpectPlainMessage(texts::kFirmwareTooOld);
        }

        ShowWatcher watcher;
        qApp->installEventFilter(&watcher);
        TestWindowServices services;
        WindowServices windowServices = services.Services();
        windowServices.session.lockFolder = c.lockFolder;
        EXPECT_EQ(RunProgram(device, prompter, windowServices), 0);
        qApp->removeEventFilter(&watcher);

        EXPECT_EQ(watcher.mainWindowShows, c.mainWindowShows);
        prompter.VerifyAllShown();
    }
}

}  // namespace
