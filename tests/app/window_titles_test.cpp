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

// The program speaks the language of the user's locale: English for every language but Chinese,
// from the translation beside the program (the plain locale above gets Chinese). A Chinese
// locale is not tried here: where it is not generated, Qt and xlib write the window's name in
// another encoding, which xdotool's search does not match.
TEST(WindowTitles, TheBoxSpeaksTheLanguageOfTheLocale) {
    if (!Available())
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps installs them)";
    const struct {
        const char* locale;
        const char* caption;
    } cases[] = {{"en_GB.UTF-8", "Notice"}, {"de_DE.UTF-8", "Notice"}, {"ja_JP.UTF-8", "Notice"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        QTemporaryDir runtime;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        Display display;
        ASSERT_TRUE(display.Start(env)) << "Xvfb did not start";
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("KEYLEARN_REMOTE_SOCKET"), runtime.filePath("nobody.sock"));
        // Only the program's: xdotool keeps the tests' UTF-8 locale.
        QProcessEnvironment programEnv = env;
        programEnv.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(c.locale));

        RunningProcess keylearn;
        keylearn.process.setProcessEnvironment(programEnv);
        keylearn.process.start(QStringLiteral(KEYLEARN_PATH), QStringList());
        ASSERT_TRUE(keylearn.process.waitForStarted(10000));
        const QString caption = QString::fromUtf8(c.caption);
        EXPECT_EQ(VisibleWindowNames(caption, env), QStringList{caption});
    }
}

}  // namespace
