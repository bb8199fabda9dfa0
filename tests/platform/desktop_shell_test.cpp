#include "platform/desktop_shell.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/platform/recording_desktop_shell.h"

namespace {

class DesktopShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir(folder.path()).mkpath("tools.exe"));
        for (const char* name : {"readme.txt", "prog.exe", "PROG2.EXE", "tools.exe/notes"}) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    QString At(const char* name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    RecordingDesktopShell shell;
};

TEST_F(DesktopShellTest, OnlyExistingFilesReachTheShell) {
    const struct {
        QString path;
        ShellOpenResult result;
        QStringList calls;
    } cases[] = {
        {QString(), ShellOpenResult::kNothingToOpen, {}},
        {QStringLiteral("POWER/TV"), ShellOpenResult::kNothingToOpen, {}},
        {At("missing.txt"), ShellOpenResult::kNothingToOpen, {}},
        {At("tools.exe"), ShellOpenResult::kNothingToOpen, {}},  // a folder, not a file
        {At("readme.txt"), ShellOpenResult::kAsked, {"open " + At("readme.txt")}},
        // Only a lower-case ".exe" moves the current directory to the program's folder.
        {At("prog.exe"),
         ShellOpenResult::kAsked,
         {"cd " + folder.path(), "open " + At("prog.exe")}},
        {At("PROG2.EXE"), ShellOpenResult::kAsked, {"open " + At("PROG2.EXE")}},
        {At("tools.exe/notes"), ShellOpenResult::kAsked, {"open " + At("tools.exe/notes")}},
    };
    for (const auto& c : cases) {
        shell.calls.clear();
        EXPECT_EQ(OpenExistingFileWithShell(shell, c.path), c.result) << qPrintable(c.path);
        EXPECT_EQ(shell.calls, c.calls) << qPrintable(c.path);
    }
}

TEST_F(DesktopShellTest, ProgramIsNotOpenedWhenItsFolderCannotBeEntered) {
    shell.folderChangeSucceeds = false;
    EXPECT_EQ(OpenExistingFileWithShell(shell, At("prog.exe")), ShellOpenResult::kFolderNotEntered);
    EXPECT_EQ(shell.calls, QStringList{"cd " + folder.path()});
}

// A relative path is resolved before the directory changes, so the shell still gets the
// file that was found.
TEST_F(DesktopShellTest, RelativeProgramPathIsHandedOverAbsolute) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const ShellOpenResult result = OpenExistingFileWithShell(shell, "prog.exe");
    QDir::setCurrent(before);
    EXPECT_EQ(result, ShellOpenResult::kAsked);
    EXPECT_EQ(shell.calls, (QStringList{"cd " + folder.path(), "open " + At("prog.exe")}));
}

}  // namespace
