// The titles the window system shows: a real keylearn on a real X server (Xvfb), read back
// with xdotool as a user's desktop reads them. Qt's own windowTitle() can be right while the
// window system shows something else (an application display name is appended to every title
// there), so only this check sees what the user sees.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "tests/app/x_session.h"

namespace {

using namespace x_session;

// keylearn on an X server of its own, with no simulated remote answering at its socket: it
// waits for the remote with its box.
class WindowTitles : public testing::Test {
  protected:
    void SetUp() override {
        if (!Available())
            GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps installs them)";
    }

    // A new X server each time, so that no box of an earlier start is found. The locale, when
    // given, is only the program's: xdotool keeps the tests' UTF-8 locale.
    void StartKeylearn(const char* locale = nullptr) {
        screen_.reset();
        screen_ = std::make_unique<Screen>();
        QProcessEnvironment& env = screen_->env;
        ASSERT_TRUE(screen_->display.Start(env)) << "Xvfb did not start";
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), screen_->runtime.path());
        env.insert(QStringLiteral("KEYLEARN_REMOTE_SOCKET"),
                   screen_->runtime.filePath("nobody.sock"));
        QProcessEnvironment programEnv = env;
        if (locale != nullptr)
            programEnv.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        screen_->keylearn.process.setProcessEnvironment(programEnv);
        screen_->keylearn.process.start(QStringLiteral(KEYLEARN_PATH), QStringList());
        ASSERT_TRUE(screen_->keylearn.process.waitForStarted(10000));
    }

    QStringList VisibleNames(const QString& part) const {
        return VisibleWindowNames(part, screen_->env);
    }

  private:
    // Ended in reverse order: keylearn first, then its X server, then its runtime folder.
    struct Screen {
        QTemporaryDir runtime;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        Display display;
        RunningProcess keylearn;
    };
    std::unique_ptr<Screen> screen_;
};

TEST_F(WindowTitles, BoxCaptionsReachTheWindowSystemExactly) {
    ASSERT_NO_FATAL_FAILURE(StartKeylearn());
    EXPECT_EQ(VisibleNames(QStringLiteral("提示")), QStringList{QStringLiteral("提示")});
}

// The program speaks the language of the user's locale: English for every language but Chinese,
// from the translation beside the program (the plain locale above gets Chinese). A Chinese
// locale is not tried here: where it is not generated, Qt and xlib write the window's name in
// another encoding, which xdotool's search does not match.
TEST_F(WindowTitles, TheBoxSpeaksTheLanguageOfTheLocale) {
    const struct {
        const char* locale;
        const char* caption;
    } cases[] = {{"en_GB.UTF-8", "Notice"}, {"de_DE.UTF-8", "Notice"}, {"ja_JP.UTF-8", "Notice"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        ASSERT_NO_FATAL_FAILURE(StartKeylearn(c.locale));
        const QString caption = QString::fromUtf8(c.caption);
        EXPECT_EQ(VisibleNames(caption), QStringList{caption});
    }
}

}  // namespace
