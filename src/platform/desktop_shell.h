#pragma once
// The desktop shell: asking the desktop to open a file with whatever application it assigns.
// The picture button asks it on every press; tests give the button a shell that only records.

#include <QString>

class DesktopShell {
  public:
    virtual ~DesktopShell() = default;

    // Asks the desktop to open the file at the absolute path with its application. The answer is
    // not waited for: false only when the request could not be handed over.
    virtual bool OpenWithShell(const QString& path) = 0;
    // Makes folder the process's current directory; false when it cannot be.
    virtual bool SetCurrentFolder(const QString& folder) = 0;
};

// The desktop of the machine the program runs on. Lives as long as the process.
DesktopShell& SystemDesktopShell();

enum class ShellOpenResult {
    kNothingToOpen,    // the path is empty or names no existing file; the shell was not asked
    kAsked,            // the shell was asked to open the file
    kFolderNotEntered  // a program's folder could not become the current one; nothing asked
};

// What a picture button does with its path on a press. Only an existing file is handed to
// the shell, so a key label such as "POWER/TV" opens nothing and shows nothing. For a path
// ending in exactly ".exe" (case matters) the program's folder first becomes the current
// directory, so that the program finds files beside itself. The shell is given the file's
// absolute path.
ShellOpenResult OpenExistingFileWithShell(DesktopShell& shell, const QString& path);
