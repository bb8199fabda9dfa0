// The titles the window system shows: a real keylearn on a real X server (Xvfb), read back
// with xdotool as a user's desktop reads them. Qt's own windowTitle() can be right while the
// window system shows something else (an application display name is appended to every title
// there), so only this check sees what the user sees.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "tests/app/x_session.h"

namespace {

using namespace x_session;

TEST(WindowTitles, BoxCaptionsReachTheWindowSystemExactly) {
    if (!Available())
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps installs them)";

    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    Display display;
    ASSERT_TRUE(display.Start(env)) << "Xvfb did not start";
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    // No simulated remote answers there: keylearn waits for the remote with its box.
    env.insert(QStringLiteral("KEYLEARN_REMOTE_SOCKET"), runtime.filePath("nobody.sock"));

    RunningProcess keylearn;
    keylearn.process.setProcessEnvironment(env);
    keylearn.process.start(QStringLiteral(KEYLEARN_PATH), QStringList());
    ASSERT_TRUE(keylearn.process.waitForStarted(10000));

    EXPECT_EQ(VisibleWindowNames(QStringLiteral("提示"), env), QStringList{QStringLiteral("提示")});
}

}  // namespace
