// The diagnostic copy of a capture that could not be normalised, and its replay.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <string>

#include "learning/diagnostic_capture.h"
#include "tests/support/full_disk.h"

namespace {

const std::string kMarker =
    "7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF7FFF";
const std::string kGoodCut = "87080D2F8708" + kMarker + "4F4F4F00";
// Only one group after the marker, then the buffer's zero characters.
const std::string kFailingCut = "87080D2F8708" + kMarker + "4F4F" + std::string(4, '\0');

class DiagnosticCaptureTest : public testing::Test {
  protected:
    QByteArray FileBytes() const {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static QByteArray Line(const std::string& text) {
        return QByteArray(text.data(), static_cast<qsizetype>(text.size())) + "\r\n";
    }

    QTemporaryDir folder_;
    QString path_ = folder_.filePath("123.txt");
};

TEST_F(DiagnosticCaptureTest, EachFailureReplacesTheFileWithItsInput) {
    EXPECT_FALSE(NormaliseKeepingFailures("0000", path_).has_value());
    EXPECT_EQ(FileBytes(), Line("0000"));
    // Longer first, then shorter: nothing of the older input may remain.
    EXPECT_FALSE(NormaliseKeepingFailures(kFailingCut, path_).has_value());
    EXPECT_EQ(FileBytes(), Line(kFailingCut));  // zero characters kept as they are
    EXPECT_FALSE(NormaliseKeepingFailures("0000", path_).has_value());
    EXPECT_EQ(FileBytes(), Line("0000"));
}

TEST_F(DiagnosticCaptureTest, SuccessLeavesTheFileAlone) {
    const auto code = NormaliseKeepingFailures(kGoodCut, path_);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(code->Text(), "12512021E049F021EFEFE0014EDED");
    EXPECT_FALSE(QFile::exists(path_));
}

TEST_F(DiagnosticCaptureTest, UnwritableFolderChangesNothingElse) {
    // A folder that cannot exist, for any user: its parent is a plain file.
    const QString blocker = folder_.filePath("not-a-folder");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString unwritable = blocker + "/123.txt";

    EXPECT_FALSE(SaveDiagnosticCapture("0000", unwritable));
    EXPECT_FALSE(NormaliseKeepingFailures(kFailingCut, unwritable).has_value());
    EXPECT_EQ(NormaliseKeepingFailures(kGoodCut, unwritable)->Text(),
              "12512021E049F021EFEFE0014EDED");
}

TEST_F(DiagnosticCaptureTest, AWriteCutOffByAFullDiskKeepsTheOldCopyWhole) {
    ASSERT_TRUE(SaveDiagnosticCapture("0000", path_));
    // A whole capture buffer, in a child whose files may not grow past 1000 bytes.
    const std::string capture(10 * 1024, '8');
    const int saved = full_disk::InChild([&] {
        full_disk::LimitFileSize(1000);
        return SaveDiagnosticCapture(capture, path_) ? 0 : 1;
    });
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(FileBytes(), Line("0000"));
    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"123.txt"});
}

TEST_F(DiagnosticCaptureTest, ReplayReadsTheFirstLineAndLeavesTheFile) {
    // A whole raw buffer saved by hand replays like a fresh capture.
    const std::string raw = "87080D2F87080D2F" + kMarker + "4F4F4F00";
    ASSERT_TRUE(SaveDiagnosticCapture(raw + std::string(100, '\0'), path_));
    const auto code = ReplaySavedCapture(path_);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(code->Text(), "12512021E049F021EFEFE0014EDED");

    ASSERT_TRUE(SaveDiagnosticCapture(kFailingCut, path_));
    EXPECT_FALSE(ReplaySavedCapture(path_).has_value());
    EXPECT_EQ(FileBytes(), Line(kFailingCut));

    EXPECT_FALSE(ReplaySavedCapture(folder_.filePath("missing.txt")).has_value());
    EXPECT_FALSE(QFile::exists(folder_.filePath("missing.txt")));
}

TEST_F(DiagnosticCaptureTest, ReadTakesOnlyTheFirstLine) {
    QFile file(path_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0000\r\n87080D2F\r\n");
    file.close();
    EXPECT_EQ(ReadDiagnosticCapture(path_), "0000");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("8708");  // no line end at all
    file.close();
    EXPECT_EQ(ReadDiagnosticCapture(path_), "8708");
}

TEST(DiagnosticCapturePath, IsInTheApplicationDataFolder) {
    const QString path = DiagnosticCapturePath();
    const QFileInfo info(path);
    EXPECT_EQ(info.fileName(), "123.txt");
    EXPECT_EQ(QDir::cleanPath(info.absolutePath()),
              QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    EXPECT_TRUE(info.absoluteDir().exists());
}

}  // namespace
