// keylearn: the real device library and real message boxes.
#include <QApplication>

#include "app/program.h"
#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "platform/picture_cache.h"
#include "ui/language.h"
#include "ui/message_box_prompter.h"
#include "ui/window_services.h"

int main(int, char** argv) {
    // The program reads no command line: Qt gets only the program's name.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    // Chosen once, from the user's locale, before the first text or picture is shown.
    const ProgramLanguage language(LanguageFor(QLocale::system()),
                                   QCoreApplication::applicationDirPath());

    LinkedEntryPoints entryPoints;
    DeviceLibrary device(entryPoints);
    MessageBoxPrompter prompter;
    PictureCache pictureCache(PictureCacheFile(), ProgramEdition());
    WindowServices services;
    services.pictureCache = &pictureCache;
    const int exitCode = RunProgram(device, prompter, services);
    // A window closed before it saved its pictures saves them now (the cache waits for the
    // write as it goes).
    pictureCache.Save();
    return exitCode;
}
