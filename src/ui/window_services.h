#pragma once
// What the main window uses from outside itself besides the remote and the prompter: the folder
// its skin bundles and help page lie in, the desktop that opens the help page, the display
// whose size it checks, the session's options and, for a test, pictures in place of the skins.
// The program leaves every field empty and gets the real ones; a test gives its own.

#include <QString>
#include <optional>

#include "learning/remote_session.h"
#include "ui/window_pictures.h"

class DesktopShell;
class DisplayModes;
class PictureCache;

struct WindowServices {
    QString programFolder;            // empty: the program's own folder
    DesktopShell* shell = nullptr;    // null: the system's desktop
    DisplayModes* display = nullptr;  // null: the system's display
    SessionOptions session;           // how the session locks, captures and converts
    // Given: shown in place of the skin bundles, which are then not read.
    std::optional<WindowPictures> pictures;
    // Null: every picture is decoded, and none is kept for the next run.
    PictureCache* pictureCache = nullptr;
};
