#include "platform/display_modes.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

class QtDisplayModes final : public DisplayModes {
  public:
    QSize ScreenSize() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->size() : QSize();
    }
    // Neither X11 nor Wayland offers a mode change that is sure to end with the session and to
    // leave the user's monitor in a mode it can show; the message alone must do.
    bool SwitchForSession(QSize) override { return false; }
};

}  // namespace

DisplayModes& SystemDisplayModes() {
    static QtDisplayModes display;
    return display;
}
