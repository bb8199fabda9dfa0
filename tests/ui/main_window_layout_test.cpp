// The main window as it opens: every component in its place, with its look, against the
// in-process simulated remote.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <memory>

#include "device_library.h"
#include "ibtn1.h"
#include "jpeg_decoder.h"
#include "mainstudy.h"
#include "picture_view.h"
#include "remote_image_builder.h"
#include "scripted_prompter.h"
#include "simulated_device.h"
#include "simulated_remote.h"
#include "window_art.h"

namespace {

class MainWindowLayoutTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim = std::make_unique<SimulatedRemote>(RemoteImageBuilder::DefaultRemote().Build());
        device = std::make_unique<SimulatedDevice>(*sim);
        library = std::make_unique<DeviceLibrary>(*device);
        window = std::make_unique<Tmainkeylearn>(*library, prompter);
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
    std::unique_ptr<Tmainkeylearn> window;
};

TEST_F(MainWindowLayoutTest, WindowIsFixedFramelessAndAtTheTopCentre) {
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window->size(), QSize(1028, 737));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(53, 124, 168));
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window->pos(), QPoint(work.x() + (work.width() - 1028) / 2, work.y()));
}

TEST_F(MainWindowLayoutTest, ComponentsStartInTheirPlaces) {
    const struct {
        const char* name;
        QRect place;
        bool shown;
    } table[] = {
        {"Image1", {0, 0, 1028, 737}, true},
        {"Imagehint", {472, 275, 413, 86}, true},
        {"beginstudyibtn", {432, 636, 137, 37}, true},
        {"helpibtn", {969, 90, 52, 43}, true},
        {"updateibtn", {969, 49, 50, 44}, true},
        {"delallstudykey", {787, 636, 137, 37}, true},
        {"runstate_lab", {467, 375, 422, 22}, true},
        {"IBtn79", {969, 5, 50, 43}, true},
        {"Image4", {472, 411, 410, 168}, true},
        {"Image5", {472, 410, 412, 169}, true},
        {"Image7", {473, 410, 412, 167}, true},
        {"Image8", {473, 409, 411, 171}, true},
        {"lab_usbstate", {610, 226, 228, 15}, true},
        {"lab_ykqtype", {611, 118, 225, 15}, true},
        {"lab_gjbb", {611, 188, 221, 17}, true},
        {"lab_softver", {611, 152, 225, 17}, true},
        {"delstudykey", {609, 636, 137, 37}, true},
        {"ykqbox", {146, 0, 197, 731}, true},
        {"z", {0, 0, 197, 731}, true},
        {"IBtn1", {31, 40, 42, 36}, true},
        {"IBtn5", {74, 53, 31, 21}, true},
        {"IBtn41", {23, 328, 51, 49}, true},
        {"IBtn2", {23, 373, 49, 41}, true},
        {"Memo2", {848, 168, 185, 89}, false},
        {"Memo1", {456, 536, 185, 89}, false},
        {"donghuaflash2", {473, 277, 409, 84}, false},
        {"Button1", {408, 184, 75, 25}, false},
    };
    for (const auto& row : table) {
        QWidget* component = Component(row.name);
        ASSERT_NE(component, nullptr) << row.name;
        EXPECT_EQ(component->geometry(), row.place) << row.name;
        EXPECT_EQ(!component->isHidden(), row.shown) << row.name;
    }

    // Form order is stacking order, and the windowed components lie above everything else.
    const QWidgetList order = [this] {
        QWidgetList widgets;
        for (QObject* child : window->children())
            if (child->isWidgetType())
                widgets << static_cast<QWidget*>(child);
        return widgets;
    }();
    const QStringList expected{"Image1",        "Imagehint",      "beginstudyibtn", "helpibtn",
                               "updateibtn",    "delallstudykey", "runstate_lab",   "IBtn79",
                               "Image4",        "Image5",         "Image7",         "Image8",
                               "lab_usbstate",  "lab_ykqtype",    "lab_gjbb",       "lab_softver",
                               "delstudykey",   "ykqbox",         "Memo2",          "Memo1",
                               "donghuaflash2", "Button1"};
    QStringList names;
    for (QWidget* widget : order)
        if (expected.contains(widget->objectName()))
            names << widget->objectName();
    EXPECT_EQ(names, expected);
    EXPECT_EQ(window->ykqbox->widget()->children().indexOf(window->z), 0);
}

TEST_F(MainWindowLayoutTest, ComponentsLook) {
    EXPECT_EQ(window->Image1->Picture().size(), QSize(1024, 734));
    EXPECT_FALSE(window->Image1->Stretch());
    EXPECT_TRUE(window->Imagehint->Picture().isNull());
    EXPECT_TRUE(window->Imagehint->Stretch());
    EXPECT_EQ(window->z->Picture().size(), QSize(213, 730));
    EXPECT_TRUE(window->z->Stretch());
    EXPECT_EQ(window->Image4->Picture().size(), QSize(410, 168));
    EXPECT_EQ(window->Image5->Picture().size(), QSize(412, 169));
    EXPECT_EQ(window->Image7->Picture().size(), QSize(412, 167));
    EXPECT_EQ(window->Image8->Picture().size(), QSize(411, 171));

    EXPECT_EQ(window->beginstudyibtn->Picture().size(), QSize(128, 38));
    EXPECT_EQ(window->beginstudyibtn->DisablePic().size(), QSize(128, 38));
    EXPECT_TRUE(window->delstudykey->Picture().isNull());
    EXPECT_TRUE(window->delallstudykey->Picture().isNull());
    const struct {
        IBtn* button;
        QString toolTip;
    } round[] = {
        {window->helpibtn, "帮助"}, {window->updateibtn, "升级软件"}, {window->IBtn79, "关闭软件"}};
    for (const auto& r : round) {
        EXPECT_EQ(r.button->Picture().size(), QSize(49, 42))
            << r.button->objectName().toStdString();
        EXPECT_EQ(r.button->toolTip(), r.toolTip);
    }
    for (IBtn* button : window->findChildren<IBtn*>()) {
        EXPECT_EQ(button->MoveDown(), 1);
        EXPECT_EQ(button->MoveRight(), 1);
        EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    }

    EXPECT_TRUE(window->runstate_lab->text().isEmpty());
    EXPECT_EQ(window->runstate_lab->alignment(), Qt::AlignCenter);
    EXPECT_TRUE(window->runstate_lab->font().bold());
    EXPECT_EQ(window->runstate_lab->font().pixelSize(), 15);
    EXPECT_EQ(window->runstate_lab->font().families().value(0), QStringLiteral("文鼎CS中等线"));
    EXPECT_EQ(window->lab_softver->text(), QStringLiteral(" "));
    for (QLabel* label : {window->runstate_lab, window->lab_usbstate, window->lab_ykqtype,
                          window->lab_gjbb, window->lab_softver}) {
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_FALSE(label->autoFillBackground());
    }
    EXPECT_EQ(window->Button1->text(), QStringLiteral("Button1"));
}

TEST_F(MainWindowLayoutTest, KeyButtonsCarryTheirLabelAndCode) {
    const struct {
        IBtn* key;
        QString path, code;
        QSize picture;
    } keys[] = {
        {window->IBtn1, "POWER/TV", "00", {42, 36}},
        {window->IBtn5, "TV/静音", "01", {31, 21}},
        {window->IBtn41, "CBL/音量+", "30", {51, 49}},
        {window->IBtn2, "音量－", "33", {49, 41}},
    };
    for (const auto& k : keys) {
        ASSERT_NE(k.key, nullptr);
        EXPECT_EQ(k.key->parentWidget(), window->ykqbox->widget());
        EXPECT_EQ(k.key->Path(), k.path);
        EXPECT_EQ(k.key->Code(), k.code);
        EXPECT_EQ(k.key->Picture().size(), k.picture) << k.code.toStdString();
        // Each key's click goes to KeyClick, which refuses it outside learning mode.
        prompter.ExpectInformation(QStringLiteral("请先点击开始学习按钮！"));
        QTest::mouseClick(k.key, Qt::LeftButton);
        prompter.VerifyAllShown();
    }
    for (IBtn* action : {window->beginstudyibtn, window->helpibtn, window->updateibtn,
                         window->IBtn79, window->delstudykey, window->delallstudykey})
        EXPECT_TRUE(action->Code().isEmpty() && action->Path().isEmpty());
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
