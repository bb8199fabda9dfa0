#pragma once
// A real program on a real X server (Xvfb) of the test's own, seen and driven as a user's
// desktop would: windows found by name with xdotool, clicks and keys sent through it.

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <chrono>
#include <thread>

namespace x_session {

using namespace std::chrono_literals;

// Whether the machine has what these tests need (scripts/install-deps installs both).
inline bool Available() {
    return !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty();
}

// Runs a program to its end and gives its standard output, trimmed.
inline QString Output(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// A process that is killed if it still runs when the test ends.
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

// An X server of its own; the environment a program needs to show its windows there.
class Display {
  public:
    // False when Xvfb did not start.
    bool Start(QProcessEnvironment& env) {
        xvfb.process.start(
            QStringLiteral("Xvfb"),
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
             QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
             QStringLiteral("tcp")});
        if (!xvfb.process.waitForReadyRead(10000))
            return false;
        const QString display = QString::fromLatin1(xvfb.process.readLine()).trimmed();
        if (display.isEmpty())
            return false;
        env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return true;
    }

  private:
    RunningProcess xvfb;
};

inline QString Xdotool(const QStringList& arguments, const QProcessEnvironment& env) {
    return Output(QStringLiteral("xdotool"), arguments, env);
}

// The ids of the visible windows whose name contains part, polled until one shows up or the
// time is over.
inline QStringList VisibleWindows(const QString& part, const QProcessEnvironment& env,
                                  std::chrono::milliseconds wait = 15s) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const QString ids = Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--name"), part},
                                    env);
        const QStringList found = ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (!found.isEmpty() || std::chrono::steady_clock::now() >= deadline)
            return found;
        std::this_thread::sleep_for(100ms);
    }
}

inline QStringList VisibleWindowNames(const QString& part, const QProcessEnvironment& env) {
    QStringList names;
    for (const QString& id : VisibleWindows(part, env))
        names << Xdotool({QStringLiteral("getwindowname"), id}, env);
    return names;
}

// A left click at (x, y) inside the window.
inline void ClickAt(const QString& window, int x, int y, const QProcessEnvironment& env) {
    Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QString::number(x),
             QString::number(y), QStringLiteral("click"), QStringLiteral("1")},
            env);
}

}  // namespace x_session
