// A key learned as a user learns it: the real keylearn on an X server of its own against a real
// remote-sim, the learn button and the key clicked with the mouse, a code fired with
// `remote-sim send`, the box answered with the keyboard; then the key replays what was sent and
// the remote's memory passes its check.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "tests/app/x_session.h"
#include "tests/support/own_remote_identity.h"
#include "tests/support/remote_sim_process.h"
#include "ui/window_layout.h"

namespace {

using namespace x_session;

QPoint ComponentCentre(const QString& name) {
    for (const window_layout::Component& component : window_layout::WindowComponents())
        if (component.name == name)
            return component.place.center();
    return {};
}

QPoint KeyCentre(const QString& code) {
    for (const window_layout::Key& key : window_layout::RemoteKeys())
        if (key.code == code)
            return window_layout::kRemoteBoxPlace.topLeft() + key.place.center();
    return {};
}

// Polls `remote-sim status` until its output holds the text.
bool WaitForStatus(const std::string& text, const std::string& socket) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (RunRemoteSim({"status"}, socket).out.find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

TEST(LearnEndToEnd, AFiredCodeIsLearnedAndTheKeyReplaysIt) {
    if (!Available())
        GTEST_SKIP() << "needs Xvfb and xdotool (scripts/install-deps installs them)";

    // Goes last, once the program that locked the remote has ended.
    const OwnRemoteIdentity identity;
    TestFolder folder;
    const std::string socket = folder.File("s");
    RemoteSimServerProcess server(socket, folder.File("image"), folder.File("log"));
    ASSERT_TRUE(server.Start());
    ASSERT_EQ(identity.GiveTo(socket), "");

    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    Display display;
    ASSERT_TRUE(display.Start(env)) << "Xvfb did not start";
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("KEYLEARN_REMOTE_SOCKET"), QString::fromStdString(socket));

    RunningProcess keylearn;
    keylearn.process.setProcessEnvironment(env);
    keylearn.process.start(QStringLiteral(KEYLEARN_PATH), QStringList());
    ASSERT_TRUE(keylearn.process.waitForStarted(10000));
    const QStringList windows = VisibleWindows(QStringLiteral("雁湖智联遥控器"), env);
    ASSERT_EQ(windows.size(), 1);
    const QString window = windows.first();

    const QPoint learn = ComponentCentre(QStringLiteral("learnButton"));
    const QPoint key = KeyCentre(QStringLiteral("01"));
    ClickAt(window, learn.x(), learn.y(), env);
    ClickAt(window, key.x(), key.y(), env);
    ASSERT_TRUE(WaitForStatus("capture mode: on", socket)) << "the key never started a capture";

    const CommandResult sent = RunRemoteSim({"send", "NEC1", "D=4", "F=8"}, socket);
    ASSERT_EQ(sent.exitCode, 0) << sent.err;
    // "已接收到遥控器编码！" comes after the last write; the keyboard answers it.
    ASSERT_EQ(VisibleWindows(QStringLiteral("提示"), env).size(), 1);
    Xdotool({QStringLiteral("key"), QStringLiteral("Return")}, env);
    const auto answered = std::chrono::steady_clock::now() + 10s;
    while (!VisibleWindows(QStringLiteral("提示"), env, 0ms).isEmpty() &&
           std::chrono::steady_clock::now() < answered)
        std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(VisibleWindows(QStringLiteral("提示"), env, 0ms).isEmpty());

    const CommandResult replay = RunRemoteSim({"replay", "01"}, socket);
    EXPECT_NE(replay.out.find("learned"), std::string::npos) << replay.out;
    EXPECT_NE(replay.out.find("sends NEC1 D=4 S=251 F=8"), std::string::npos) << replay.out;
    const CommandResult check = RunRemoteSim({"check"}, socket);
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_EQ(check.out, "consistent\n");
}

}  // namespace
