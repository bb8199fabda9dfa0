#pragma once
// What the main window uses from outside itself besides the remote and the prompter: the folder
// its skin bundles and help page lie in, the desktop that opens the help page, and the display
// whose size it checks. The program leaves every field empty and gets the real ones; a test
// gives its own.

#include <QString>

class DesktopShell;
class DisplayModes;

struct WindowServices {
    QString programFolder;            // empty: the program's own folder
    DesktopShell* shell = nullptr;    // null: the system's desktop
    DisplayModes* display = nullptr;  // null: the system's display
};
