#pragma once
// The real window against the in-process simulated remote, with a scripted prompter and with
// pictures of its own in place of the skins: every key picture is a solid colour that spells its
// index, every named picture one of another family, so that a test can tell which picture a
// button shows.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/device_library.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/simulated_device.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"

namespace window_test {

// Key pictures are solid colours that spell their index; named pictures another family.
inline constexpr int kKeyPictureBlue = 0x5A;
inline constexpr int kNamedPictureBlue = 0xA5;

inline QPixmap Solid(int red, int green, int blue) {
    QPixmap picture(4, 4);
    picture.fill(QColor(red, green, blue));
    return picture;
}

// The index of the key picture a button shows; -1 for none, -2 for any other picture.
inline int KeyPictureShown(const PictureView* view) {
    if (view->Picture().isNull())
        return -1;
    const QColor colour = view->Picture().toImage().pixelColor(0, 0);
    if (colour.blue() != kKeyPictureBlue)
        return -2;
    return colour.red() + 256 * colour.green();
}

// The pictures of the skins that the delete and clear buttons and the hint show, by name.
inline const QStringList kNamedPictures = {
    QStringLiteral("delete"),   QStringLiteral("clear"),      QStringLiteral("deletehui"),
    QStringLiteral("clearhui"), QStringLiteral("stopdelete"), QStringLiteral("jpgjingtai"),
    QStringLiteral("giftovani")};

// The named picture a button shows; empty for any other picture.
inline QString NamedPictureShown(const PictureView* view) {
    const QColor colour = view->Picture().toImage().pixelColor(0, 0);
    if (view->Picture().isNull() || colour.blue() != kNamedPictureBlue)
        return {};
    return kNamedPictures.value(colour.red());
}

// The pictures of key code N: not learned, learned, learning, downloaded.
inline int NotLearned(int code) {
    return 1 + code;
}
inline int Learned(int code) {
    return 169 + code;
}
inline int Learning(int code) {
    return 337 + code;
}
inline int Downloaded(int code) {
    return 505 + code;
}

// Pictures that spell what they are, in place of the skins.
inline WindowPictures TestPictures() {
    WindowPictures pictures;
    for (int i = 0; i < pictures.keyPictures.size(); ++i)
        pictures.keyPictures[i] = Solid(i % 256, i / 256, kKeyPictureBlue);
    for (int i = 0; i < kNamedPictures.size(); ++i)
        pictures.namedPictures[kNamedPictures[i]] = Solid(i, 0, kNamedPictureBlue);
    // A file that does not exist: the animation then plays nothing, which learning allows.
    pictures.animationFile = QStringLiteral("/nonexistent/888.gif");
    return pictures;
}

// Fires a capture at the remote once it listens (capture mode, entered by the capture thread,
// which may still be starting): the remote hears nothing before. False when it never listened
// within the time, or did not take the capture.
inline bool FireWhenListening(SimulatedRemote& sim, const std::string& capture,
                              int waitMs = 10000) {
    return QTest::qWaitFor([&] { return sim.InCaptureMode(); }, waitMs) &&
           sim.QueueCapture(capture);
}

class WindowTest : public ::testing::Test {
  protected:
    ~WindowTest() override { Close(); }

    // Opens a new window on a new simulated remote; the call log starts empty.
    void Open(const RemoteImageBuilder& remote = RemoteImageBuilder::DefaultRemote()) {
        Close();
        sim = std::make_unique<SimulatedRemote>(remote.Build());
        device = std::make_unique<SimulatedDevice>(*sim);
        library = std::make_unique<DeviceLibrary>(*device);
        window = std::make_unique<MainWindow>(*library, prompter, Services());
        ASSERT_FALSE(window->StartupFailed());
        sim->ClearCallLog();
    }

    // The services of the next window: the test pictures, a private lock folder, and the
    // session options a test sets in `options`.
    WindowServices Services() {
        WindowServices services;
        services.pictures = TestPictures();
        services.session = options;
        services.session.lockFolder = lockFolder.path();
        return services;
    }

    // The window goes first: it joins its threads, which still call the device.
    void Close() {
        window.reset();
        library.reset();
        device.reset();
    }

    // Learning mode on (or off) through the learn button.
    void SwitchLearning() { Click(window->learnButton); }
    // The key waiting for its code, as the session has it.
    PictureButton* PendingKey() const {
        const std::optional<KeyCode> key = window->Session().PendingKey();
        return key ? window->KeyButton(*key) : nullptr;
    }
    const std::vector<KeySlot>& KeySlots() const { return window->Session().Map().keySlots; }

    // A real click; a disabled button takes none.
    void Click(QWidget* button) {
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    ScriptedPrompter prompter;
    SessionOptions options;
    QTemporaryDir lockFolder;
    std::unique_ptr<SimulatedRemote> sim;
    std::unique_ptr<SimulatedDevice> device;
    std::unique_ptr<DeviceLibrary> library;
    std::unique_ptr<MainWindow> window;
};

}  // namespace window_test
