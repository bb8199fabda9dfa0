// The titles the window system shows: a real keylearn on a real X server (Xvfb), read back
// with xdotool as a user's desktop reads them. Qt's own windowTitle() can be right while the
// window system shows something else (an application display name is appended to every title
// there), so only this check sees what the user sees.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Runs a program to its end and gives its standard output, trimmed.
QString Output(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

class RunningProcess {
  public:
    QProcess process;
    ~RunningProcess() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.kill();
        process.waitForFinished(5000);
    }
};

// Names of the visible windows whose name contains part, polled until one shows up.
QStringList VisibleWindowNames(const QString& part, const QProcessEnvironment& env) {
    const auto deadline = std::chrono::steady_clock::now() + 15s;
    while (std::chrono::steady_clock::now() < deadline) {
        const QString ids = Output(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--name"), part},
                                   env);
        QStringList names;
        for (const QString& id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            names << Output(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), id}, env);
        if (!names.isEmpty())
            return names;
        std::this_thread::sleep_for(100ms);
    }
    return {};
}

TEST(WindowTitles, BoxCaptionsReachTheWindowSystemExactly) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps installs them)";

    RunningProcess xvfb;
    xvfb.process.start(
        QStringLiteral("Xvfb"),
        {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
         QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
         QStringLiteral("tcp")});
    ASSERT_TRUE(xvfb.process.waitForReadyRead(10000)) << "Xvfb did not start";
    const QString display = QString::fromLatin1(xvfb.process.readLine()).trimmed();
    ASSERT_FALSE(display.isEmpty());

    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
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
