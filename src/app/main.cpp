// The program: the splash goes up, the main window is created (which runs the whole start-up
// handshake with the remote, every message box included, while the splash stays up), the splash
// stays another half second and goes, and the main window's message loop runs until it closes.
#include <QApplication>
#include <QThread>
#include <memory>

#include "device_entry_points.h"
#include "device_library.h"
#include "mainstudy.h"
#include "message_box_prompter.h"
#include "qidong.h"

int main(int, char** argv) {
    // The program reads no command line: Qt gets only the program's name.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);

    auto splash = std::make_unique<TForm1>();
    splash->show();
    splash->repaint();
    // Let the window system map the splash, so that it is on the screen before the slow part.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    LinkedEntryPoints entryPoints;
    DeviceLibrary device(entryPoints);
    MessageBoxPrompter prompter;
    Tmainkeylearn mainkeylearn(device, prompter);

    // Blocks the UI thread: nothing is processed during the wait.
    QThread::msleep(500);
    splash->hide();
    splash.reset();

    mainkeylearn.show();
    return QApplication::exec();
}
