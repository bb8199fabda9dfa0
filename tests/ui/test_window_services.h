#pragma once
// Services for a window that a test shows: the skin bundles and help page the build put beside
// the program (or a folder of the test's own), a desktop shell that only records, and a display
// whose size the test sets.

#include <QSize>
#include <QString>
#include <vector>

#include "platform/display_modes.h"
#include "tests/platform/recording_desktop_shell.h"
#include "ui/window_services.h"

// The folder the build puts the program, its skin bundles and its help page in.
inline QString BuiltProgramFolder() {
    return QStringLiteral(KEYLEARN_PROGRAM_FOLDER);
}

class FakeDisplay final : public DisplayModes {
  public:
    QSize ScreenSize() const override { return size; }
    bool SwitchForSession(QSize wanted) override {
        switches.push_back(wanted);
        return false;
    }

    QSize size{1280, 800};
    std::vector<QSize> switches;
};

struct TestWindowServices {
    RecordingDesktopShell shell;
    FakeDisplay display;
    QString programFolder = BuiltProgramFolder();
    PictureCache* pictureCache = nullptr;  // as the program's, when a test gives one

    WindowServices Services() {
        WindowServices services;
        services.programFolder = programFolder;
        services.shell = &shell;
        services.display = &display;
        services.pictureCache = pictureCache;
        return services;
    }
};
