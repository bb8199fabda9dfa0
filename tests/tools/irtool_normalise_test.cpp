// irtool normalise on files and on the standard input: two lines and the exit status.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QByteArray kMarker = QByteArray("7FFF").repeated(20);
const QByteArray kCapture =
    "87080D2F87080D2F87080D2F87080D2F" + kMarker + "4F4F4F00" + QByteArray(10000, '\0');
const QByteArray kCut = "87080D2F87080D2F87080D2F8708" + kMarker + "4F4F4F00";
const QByteArray kNormalised = "12512021E049F021E049F021E049F021EFEFE0014EDED";

struct IrtoolResult {
    int exitCode = -1;
    QByteArray out;
};

class IrtoolNormalise : public testing::Test {
  protected:
    QString WriteFile(const QByteArray& bytes) {
        const QString path = folder_.filePath("capture.txt");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Runs irtool with a private data folder, so a diagnostic file written by mistake shows.
    IrtoolResult Irtool(const QStringList& args, const QByteArray& input = {}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", data_.path());
        environment.insert("XDG_DATA_HOME", data_.path());
        process.setProcessEnvironment(environment);
        process.start(IRTOOL_PATH, QStringList{"normalise"} + args);
        EXPECT_TRUE(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(10000));
        return {process.exitCode(), process.readAllStandardOutput()};
    }

    QTemporaryDir folder_;
    QTemporaryDir data_;
};

TEST_F(IrtoolNormalise, PrintsCutAndNormalisedText) {
    const IrtoolResult run = Irtool({WriteFile(kCapture + "\n")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, kCut + "\n" + kNormalised + "\n");
}

// The program's diagnostic file: one line ended by carriage return and line feed.
TEST_F(IrtoolNormalise, ReplaysADiagnosticFile) {
    const IrtoolResult run = Irtool({WriteFile(kCut + "\r\nsecond line\r\n")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, kCut + "\n" + kNormalised + "\n");
}

TEST_F(IrtoolNormalise, ReadsTheStandardInput) {
    const IrtoolResult run = Irtool({}, kCapture);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, kCut + "\n" + kNormalised + "\n");
}

TEST_F(IrtoolNormalise, FailureGivesAnEmptySecondLineAndWritesNoFile) {
    IrtoolResult run = Irtool({WriteFile("87080D2F8708\n")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "0000\n\n");

    run = Irtool({}, "87080D2F8708" + kMarker + "4F4F");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "87080D2F8708" + kMarker + "4F4F\n\n");

    run = Irtool({WriteFile({})});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "0000\n\n");

    EXPECT_TRUE(QDir(data_.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(IrtoolNormalise, RefusesWrongArgumentsAndUnreadableFiles) {
    EXPECT_EQ(Irtool({folder_.filePath("missing.txt")}).exitCode, 2);
    EXPECT_EQ(Irtool({folder_.path()}).exitCode, 2);
    const IrtoolResult run = Irtool({"a.txt", "b.txt"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
}

}  // namespace
