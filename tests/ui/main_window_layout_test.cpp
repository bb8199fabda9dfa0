// The main window as it opens: every component in its place, with its look, against the
// in-process simulated remote.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "device/device_library.h"
#include "platform/jpeg_decoder.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "skins/window_art.h"
#include "tests/platform/recording_desktop_shell.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/simulated_device.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"
#include "ui/window_layout.h"

namespace {

class MainWindowLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim = std::make_unique<SimulatedRemote>(RemoteImageBuilder::DefaultRemote().Build());
        device = std::make_unique<SimulatedDevice>(*sim);
        library = std::make_unique<DeviceLibrary>(*device);
        window = std::make_unique<MainWindow>(*library, prompter);
        ASSERT_FALSE(window->StartupFailed());
    }

    template <typename T = QWidget>
    T* Component(const char* name) {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    ScriptedPrompter prompter;
    std::unique_ptr<SimulatedRemote> sim;
    std::unique_ptr<SimulatedDevice> device;
    std::unique_ptr<DeviceLibrary> library;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowLayoutTest, WindowIsFixedFramelessAndAtTheTopCentre) {
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->size(), QSize(1028, 737));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(53, 124, 168));
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window->pos(), window_layout::WindowPlace(work, window->size()));
}

// A borderless window cannot be dragged: wherever the screen's area lies and however small it
// is (a scale factor of 2 halves it), the window's top-left corner is on it.
TEST(WindowLayoutTable, TheWindowIsPlacedOnTheScreensAvailableArea) {
    const struct {
        const char* name;
        QRect area;
        QPoint place;
    } cases[] = {
        {"1280 x 800", {0, 0, 1280, 800}, {126, 0}},
        {"a panel at the top and the left", {60, 28, 1220, 772}, {60 + 96, 28}},
        {"exactly the window's width", {0, 0, 1028, 768}, {0, 0}},
        {"scaled by 2: 640 x 400", {0, 0, 640, 400}, {0, 0}},
        {"narrower, on a second screen", {1280, 20, 800, 600}, {1280, 20}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(window_layout::WindowPlace(c.area, window_layout::kClientSize), c.place)
            << c.name;
}

// The table the layout is built from holds together: unique names, places on the window, keys
// on the remote's picture, and the pictures each component shows at the size of its place.
TEST(WindowLayoutTable, HoldsTogether) {
    using window_layout::ComponentKind;
    const QRect client(QPoint(0, 0), window_layout::kClientSize);
    QSet<QString> names;
    for (const auto& component : window_layout::WindowComponents()) {
        const std::string name = component.name.toStdString();
        EXPECT_FALSE(names.contains(component.name)) << name;
        names.insert(component.name);
        // Hidden components may reach past the edge: nobody sees them.
        if (component.visible) {
            EXPECT_TRUE(client.contains(component.place)) << name;
        }
        const bool picture =
            component.kind == ComponentKind::kPicture || component.kind == ComponentKind::kButton;
        if (picture && !component.art.isEmpty()) {
            // Art drawn from the corner covers its place less a pixel or so, never more
            // than a few pixels past it.
            const QSize art = QPixmap(component.art).size();
            EXPECT_LE(std::abs(art.width() - component.place.width()), 9) << name;
            EXPECT_LE(std::abs(art.height() - component.place.height()), 5) << name;
        }
    }
    const QRect box(QPoint(0, 0), window_layout::kRemoteBoxPlace.size());
    QSet<QString> codes;
    for (const auto& key : window_layout::RemoteKeys()) {
        EXPECT_TRUE(box.contains(key.place)) << key.code.toStdString();
        EXPECT_FALSE(codes.contains(key.code)) << key.code.toStdString();
        codes.insert(key.code);
    }
}

TEST_F(MainWindowLayoutTest, ComponentsStartInTheirPlaces) {
    // The table is the layout: every component of it exists in its place, shown or hidden as
    // it says.
    for (const auto& component : window_layout::WindowComponents()) {
        QWidget* widget = Component(component.name.toLatin1().constData());
        ASSERT_NE(widget, nullptr) << component.name.toStdString();
        EXPECT_EQ(widget->geometry(), component.place) << component.name.toStdString();
        EXPECT_EQ(!widget->isHidden(), component.visible) << component.name.toStdString();
    }
    // A few places the artwork is drawn for, named.
    EXPECT_EQ(window->background->geometry(), QRect(0, 0, 1028, 737));
    EXPECT_EQ(window->remoteBox->geometry(), QRect(146, 0, 197, 731));
    EXPECT_EQ(window->learnButton->geometry(), QRect(432, 636, 137, 37));
    EXPECT_EQ(window->statusLabel->geometry(), QRect(467, 375, 422, 22));
    EXPECT_EQ(window->remotePicture->geometry(), QRect(0, 0, 197, 731));
    EXPECT_EQ(window->KeyButton("30")->geometry(), QRect(23, 328, 51, 49));

    // Table order is stacking order, and the windowed components lie above everything else.
    QStringList expected;
    QStringList windowed;
    for (const auto& component : window_layout::WindowComponents()) {
        using window_layout::ComponentKind;
        const ComponentKind kind = component.kind;
        (kind == ComponentKind::kRemoteBox || kind == ComponentKind::kHiddenLog ||
                 kind == ComponentKind::kAnimation || kind == ComponentKind::kHiddenPushButton
             ? windowed
             : expected)
            << component.name;
    }
    expected << windowed;
    QStringList names;
    for (QObject* child : window->children())
        if (child->isWidgetType() && expected.contains(child->objectName()))
            names << child->objectName();
    EXPECT_EQ(names, expected);
    EXPECT_EQ(window->remoteBox->widget()->children().indexOf(window->remotePicture), 0);
}

TEST_F(MainWindowLayoutTest, ComponentsLook) {
    EXPECT_EQ(window->background->Picture().size(), QSize(1024, 734));
    EXPECT_FALSE(window->background->Stretch());
    EXPECT_TRUE(window->hintPicture->Picture().isNull());
    EXPECT_TRUE(window->hintPicture->Stretch());
    EXPECT_EQ(window->remotePicture->Picture().size(), QSize(213, 730));
    EXPECT_TRUE(window->remotePicture->Stretch());
    EXPECT_EQ(window->tipsSomeLearned->Picture().size(), QSize(410, 168));
    EXPECT_EQ(window->tipsLearning->Picture().size(), QSize(412, 169));
    EXPECT_EQ(window->tipsDeleting->Picture().size(), QSize(412, 167));
    EXPECT_EQ(window->tipsNoneLearned->Picture().size(), QSize(411, 171));

    EXPECT_EQ(window->learnButton->Picture().size(), QSize(128, 38));
    EXPECT_EQ(window->learnButton->DisablePic().size(), QSize(128, 38));
    EXPECT_TRUE(window->deleteButton->Picture().isNull());
    EXPECT_TRUE(window->clearButton->Picture().isNull());
    const struct {
        PictureButton* button;
        QString toolTip;
    } round[] = {{window->helpButton, "帮助"},
                 {window->updateButton, "升级软件"},
                 {window->closeButton, "关闭软件"}};
    for (const auto& r : round) {
        EXPECT_EQ(r.button->Picture().size(), QSize(49, 42))
            << r.button->objectName().toStdString();
        EXPECT_EQ(r.button->toolTip(), r.toolTip);
    }
    for (PictureButton* button : window->findChildren<PictureButton*>()) {
        EXPECT_EQ(button->MoveDown(), 1);
        EXPECT_EQ(button->MoveRight(), 1);
        EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    }

    EXPECT_TRUE(window->statusLabel->text().isEmpty());
    EXPECT_EQ(window->statusLabel->alignment(), Qt::AlignCenter);
    EXPECT_TRUE(window->statusLabel->font().bold());
    EXPECT_EQ(window->statusLabel->font().pixelSize(), 15);
    // Its own face where it is installed, else an installed stand-in: never a face that each
    // label's text has to be searched for.
    const QString statusFace = window->statusLabel->font().families().value(0);
    if (QFontDatabase::families().contains(QStringLiteral("文鼎CS中等线"))) {
        EXPECT_EQ(statusFace, QStringLiteral("文鼎CS中等线"));
    } else if (!statusFace.isEmpty()) {
        EXPECT_TRUE(QFontDatabase::families().contains(statusFace)) << statusFace.toStdString();
    }
    EXPECT_EQ(window->statusLabel->font().families().size(), statusFace.isEmpty() ? 0 : 1);
    EXPECT_EQ(window->versionLabel->text(), QStringLiteral(" "));
    for (QLabel* label : {window->statusLabel, window->linkStateLabel, window->remoteTypeLabel,
                          window->firmwareLabel, window->versionLabel}) {
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_FALSE(label->autoFillBackground());
    }
    EXPECT_EQ(window->replayCaptureButton->text(), QStringLiteral("Replay saved capture"));
}

TEST_F(MainWindowLayoutTest, KeyButtonsCarryTheirLabelAndCode) {
    const struct {
        PictureButton* key;
        QString path, code;
        QSize picture;
    } keys[] = {
        {window->KeyButton("00"), "POWER/TV", "00", {42, 36}},
        {window->KeyButton("01"), "TV/静音", "01", {31, 21}},
        {window->KeyButton("30"), "CBL/音量+", "30", {51, 49}},
        {window->KeyButton("33"), "音量－", "33", {49, 41}},
    };
    for (const auto& k : keys) {
        ASSERT_NE(k.key, nullptr);
        EXPECT_EQ(k.key->parentWidget(), window->remoteBox->widget());
        EXPECT_EQ(k.key->Label(), k.path);
        EXPECT_EQ(k.key->Code(), k.code);
        EXPECT_EQ(k.key->Picture().size(), k.picture) << k.code.toStdString();
        // Each key's click goes to KeyClick, which refuses it outside learning mode.
        prompter.ExpectInformation(QStringLiteral("请先点击开始学习按钮！"));
        QTest::mouseClick(k.key, Qt::LeftButton);
        prompter.VerifyAllShown();
    }
    for (PictureButton* action : {window->learnButton, window->helpButton, window->updateButton,
                                  window->closeButton, window->deleteButton, window->clearButton})
        EXPECT_TRUE(action->Code().isEmpty() && action->Label().isEmpty());
}

// A button whose program could not be started from its folder tells the user so.
TEST_F(MainWindowLayoutTest, AFolderThatCannotBeEnteredIsShown) {
    QTemporaryDir folder;
    const QString program = folder.filePath("help.exe");
    QFile(program).open(QIODevice::WriteOnly);
    RecordingDesktopShell shell;
    shell.folderChangeSucceeds = false;
    window->helpButton->SetDesktopShell(&shell);
    window->helpButton->SetLabel(program);

    prompter.ExpectInformation(texts::FolderNotEntered(program));
    // Then the click itself, after the press: this test's folder holds no help page.
    prompter.ExpectInformation(texts::kHelpFileMissing);
    QTest::mouseClick(window->helpButton, Qt::LeftButton);
    prompter.VerifyAllShown();
    EXPECT_EQ(shell.calls, QStringList{"cd " + folder.path()});
}

// The generated artwork reaches the program whole: every picture decodes at the size the
// layout is made for.
TEST(WindowArt, EveryPictureDecodesAtItsSize) {
    for (const auto& picture : window_art::AllPictures()) {
        QFile file(picture.path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << picture.path.toStdString();
        QString error;
        EXPECT_EQ(DecodePicture(file.readAll(), &error).size(), picture.size)
            << picture.path.toStdString() << " " << error.toStdString();
    }
}

}  // namespace
