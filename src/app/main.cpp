// Placeholder entry point until the window lands: shows that the remote answers.
#include <QApplication>
#include <QLabel>

#include "device_library.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LinkedDeviceLibrary device;
    QLabel label(device.link_state() ? QStringLiteral("遥控器连接正常")
                                     : QStringLiteral("未检测到遥控器，请检查USB连接线"));
    label.resize(320, 80);
    label.show();
    return app.exec();
}
