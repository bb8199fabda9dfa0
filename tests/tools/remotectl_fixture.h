#pragma once
// remotectl as a person or a script runs it: its process and its output, against a real
// remote-sim process on a private socket.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <functional>

#include "sim/remote_image_builder.h"
#include "tests/support/own_remote_identity.h"
#include "tests/support/remote_sim_process.h"

namespace remotectl_test {

struct ProgramRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ProgramRun Finish(QProcess& process) {
    EXPECT_TRUE(process.waitForFinished(60000)) << process.program().toStdString();
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// How a test sets up the process beyond its socket: its output, its limits, its environment.
using Preparation = std::function<void(QProcess&, QProcessEnvironment&)>;

inline ProgramRun RunProgram(const QString& path, const QStringList& args,
                             const std::string& socket, const QByteArray& input = {},
                             const Preparation& prepare = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KEYLEARN_REMOTE_SOCKET", QString::fromStdString(socket));
    if (prepare)
        prepare(process, env);
    process.setProcessEnvironment(env);
    process.start(path, args);
    EXPECT_TRUE(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    return Finish(process);
}

// The line of `remotectl keys` for one key.
inline QByteArray KeyLine(const QByteArray& keys, const QByteArray& key) {
    for (const QByteArray& line : keys.split('\n')) {
        if (line.startsWith(key + " "))
            return line;
    }
    return {};
}

// A backup file's text signed again after an edit, as a person who edits one would.
inline QByteArray Resigned(QByteArray text) {
    const qsizetype at = text.lastIndexOf("sha256 ");
    text.truncate(at);
    return text + "sha256 " +
           QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().toUpper() + "\n";
}

class RemotectlTest : public testing::Test {
  protected:
    void SetUp() override { StartServer(); }

    // The remote of this test's own identity (own_remote_identity.h): every program locks a
    // remote in the user's one lock folder, and tests run side by side.
    void StartServer(const std::vector<std::string>& options = {}) {
        ASSERT_TRUE(server_.Start(options)) << server_.Log();
        ASSERT_EQ(identity_.GiveTo(socket_), "");
    }
    QString Identity() const { return identity_.Text(); }

    ProgramRun Remotectl(const QStringList& args, const QByteArray& input = {},
                         const Preparation& prepare = {}) const {
        return RunProgram(REMOTECTL_PATH, args, socket_, input, prepare);
    }
    ProgramRun Irtool(const QStringList& args, const QByteArray& input = {}) const {
        return RunProgram(IRTOOL_PATH, args, socket_, input);
    }
    CommandResult Sim(const std::vector<std::string>& args) const {
        return RunRemoteSim(args, socket_);
    }
    QString File(const char* name) const { return QString::fromStdString(folder_.File(name)); }
    QByteArray Read(const QString& path) const {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }
    void Write(const QString& path, const QByteArray& text) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    // The remote's learning regions as a backup file holds them.
    QByteArray Backup(const char* name) const {
        const ProgramRun run = Remotectl({"backup", File(name)});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return Read(File(name));
    }
    void ExpectConsistent() const {
        const CommandResult check = Sim({"check"});
        EXPECT_EQ(check.exitCode, 0) << check.out;
    }

    // Goes last, once the server (and every remotectl) has ended.
    OwnRemoteIdentity identity_;
    TestFolder folder_;
    std::string socket_ = folder_.File("s");
    RemoteSimServerProcess server_{socket_, folder_.File("image"), folder_.File("log")};
};

}  // namespace remotectl_test
