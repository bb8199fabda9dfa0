#include "platform/desktop_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStringView>
#include <QUrl>

namespace {

class QtDesktopShell final : public DesktopShell {
  public:
    bool OpenWithShell(const QString& path) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    bool SetCurrentFolder(const QString& folder) override { return QDir::setCurrent(folder); }
};

}  // namespace

DesktopShell& SystemDesktopShell() {
    static QtDesktopShell shell;
    return shell;
}

ShellOpenResult OpenExistingFileWithShell(DesktopShell& shell, const QString& path) {
    if (path.isEmpty())
        return ShellOpenResult::kNothingToOpen;
    const QFileInfo file(path);
    if (!file.isFile())
        return ShellOpenResult::kNothingToOpen;
    // Resolved before the current directory may change, so that a relative path still names
    // the file that was found.
    const QString target = file.absoluteFilePath();
    // The extension runs from the last dot of the name; a dot in a folder name does not count.
    const QString name = file.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0 && QStringView(name).sliced(dot) == u".exe") {
        if (!shell.SetCurrentFolder(file.absolutePath()))
            return ShellOpenResult::kFolderNotEntered;
    }
    shell.OpenWithShell(target);
    return ShellOpenResult::kAsked;
}
