#include "ui/picture_button.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QPixmap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "tests/platform/recording_desktop_shell.h"

namespace {

QPixmap Filled(QColor colour) {
    QPixmap pixmap(8, 6);
    pixmap.fill(colour);
    return pixmap;
}

bool SamePicture(const QPixmap& a, const QPixmap& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.toImage() == b.toImage();
}

// A button at (40, 30) on a shown form, as the main window holds them.
class PictureButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form.resize(300, 200);
        button = new PictureButton(&form);
        button->move(kHome);
        button->SetDesktopShell(&shell);
        QObject::connect(button, &PictureButton::clicked,
                         [this] { clickPositions << button->pos(); });
        form.show();
    }

    static constexpr QPoint kHome{40, 30};
    static constexpr QPoint kOutside{-50, -50};
    QWidget form;
    PictureButton* button = nullptr;
    RecordingDesktopShell shell;
    QList<QPoint> clickPositions;
};

TEST_F(PictureButtonTest, NewButton) {
    PictureButton fresh;
    EXPECT_EQ(fresh.size(), QSize(80, 25));
    EXPECT_EQ(fresh.MoveDown(), 1);
    EXPECT_EQ(fresh.MoveRight(), 1);
    EXPECT_EQ(fresh.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(fresh.HasEnabledLook());
    EXPECT_TRUE(fresh.Picture().isNull());
    EXPECT_TRUE(fresh.DisablePic().isNull());
    EXPECT_FALSE(fresh.Stretch());
    const QList<QPair<QByteArray, QVariant>> expected{{"MoveDown", 1}, {"MoveRight", 1}};
    EXPECT_EQ(fresh.StoredProperties(), expected);
}

TEST_F(PictureButtonTest, StoredPropertiesFollowTheirRulesInOrder) {
    button->SetLabel("POWER/TV");
    button->SetCode("00");
    button->SetDisablePic(Filled(Qt::red));
    button->SetEnabledLook(false);
    QList<QByteArray> names;
    for (const auto& [name, value] : button->StoredProperties())
        names << name;
    EXPECT_EQ(names, (QList<QByteArray>{"MoveDown", "MoveRight", "Path", "IsEnable", "DisablePic",
                                        "Code"}));
    button->SetEnabledLook(true);
    EXPECT_FALSE(button->IsPropertyStored("IsEnable"));
}

// Press moves by (MoveRight, MoveDown), release brings the button back wherever the mouse
// is; only a left release over the button clicks, and the click sees the pressed position.
TEST_F(PictureButtonTest, PressAndRelease) {
    const struct {
        Qt::MouseButton mouseButton;
        quint8 right, down;
        bool releaseOver;
        int clicks;
    } cases[] = {
        {Qt::LeftButton, 1, 1, true, 1},  {Qt::LeftButton, 1, 1, false, 0},
        {Qt::RightButton, 1, 1, true, 0}, {Qt::MiddleButton, 1, 1, true, 0},
        {Qt::LeftButton, 3, 5, true, 1},  {Qt::RightButton, 0, 2, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "button " << c.mouseButton << " moves " << int(c.right)
                                        << "," << int(c.down) << " over " << c.releaseOver);
        clickPositions.clear();
        button->SetMoveRight(c.right);
        button->SetMoveDown(c.down);
        QTest::mousePress(button, c.mouseButton);
        EXPECT_EQ(button->pos(), kHome + QPoint(c.right, c.down));
        QTest::mouseRelease(button, c.mouseButton, {},
                            c.releaseOver ? button->rect().center() : kOutside);
        EXPECT_EQ(button->pos(), kHome);
        ASSERT_EQ(clickPositions.size(), c.clicks);
        if (c.clicks) {
            EXPECT_EQ(clickPositions.front(), kHome + QPoint(c.right, c.down));
        }
    }
}

TEST_F(PictureButtonTest, DoubleClickIsOneClickAndTwoPresses) {
    int doubleClicks = 0;
    QObject::connect(button, &PictureButton::doubleClicked, [&] { ++doubleClicks; });
    QTemporaryDir folder;
    const QString file = folder.filePath("manual.txt");
    QFile(file).open(QIODevice::WriteOnly);
    button->SetLabel(file);

    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    QTest::mouseDClick(button, Qt::LeftButton);
    EXPECT_EQ(button->pos(), kHome + QPoint(1, 1));
    QTest::mouseRelease(button, Qt::LeftButton);

    EXPECT_EQ(button->pos(), kHome);
    EXPECT_EQ(clickPositions.size(), 1);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(shell.calls, (QStringList{"open " + file, "open " + file}));
}

TEST_F(PictureButtonTest, DisabledButtonNeitherMovesNorClicks) {
    button->setEnabled(false);
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(button->pos(), kHome);
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(button->pos(), kHome);
    EXPECT_TRUE(clickPositions.isEmpty());
}

// A release never comes to a button disabled or hidden while held; it must not stay pressed.
TEST_F(PictureButtonTest, ButtonTakenAwayWhilePressedGoesBack) {
    QTest::mousePress(button, Qt::LeftButton);
    button->setEnabled(false);
    EXPECT_EQ(button->pos(), kHome);

    button->setEnabled(true);
    QTest::mousePress(button, Qt::RightButton);
    button->hide();
    EXPECT_EQ(button->pos(), kHome);
    button->show();
    QTest::mouseRelease(button, Qt::RightButton);
    EXPECT_EQ(button->pos(), kHome);
}

TEST_F(PictureButtonTest, EnabledLookSwapsPicturesAsWritten) {
    const QPixmap shown = Filled(Qt::blue);
    const QPixmap off = Filled(Qt::red);
    const struct {
        const char* what;
        bool withDisablePic;
        std::vector<bool> writes;
        QPixmap expected;
    } cases[] = {
        {"false then true restores", true, {false, true}, shown},
        {"false shows DisablePic", true, {false}, off},
        {"false twice saved DisablePic", true, {false, false, true}, off},
        {"true alone clears", true, {true}, QPixmap()},
        {"true twice after false", true, {false, true, true}, shown},
        {"no DisablePic shows nothing", false, {false}, QPixmap()},
    };
    for (const auto& c : cases) {
        PictureButton fresh;
        fresh.SetPicture(shown);
        if (c.withDisablePic)
            fresh.SetDisablePic(off);
        for (bool value : c.writes)
            fresh.SetEnabledLook(value);
        EXPECT_TRUE(SamePicture(fresh.Picture(), c.expected)) << c.what;
        EXPECT_EQ(fresh.HasEnabledLook(), c.writes.back()) << c.what;
    }
}

TEST_F(PictureButtonTest, PressHandsExistingPathToTheShell) {
    QTemporaryDir folder;
    const QString program = folder.filePath("setup.exe");
    QFile(program).open(QIODevice::WriteOnly);

    button->SetLabel("POWER/TV");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(shell.calls.isEmpty());
    EXPECT_EQ(clickPositions.size(), 1);

    button->SetLabel(program);
    QTest::mousePress(button, Qt::RightButton);
    QTest::mouseRelease(button, Qt::RightButton);
    EXPECT_EQ(shell.calls, (QStringList{"cd " + folder.path(), "open " + program}));

    QSignalSpy notEntered(button, &PictureButton::folderNotEntered);
    EXPECT_TRUE(notEntered.isEmpty());
    shell.calls.clear();
    shell.folderChangeSucceeds = false;
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(shell.calls, QStringList{"cd " + folder.path()});
    EXPECT_EQ(button->pos(), kHome);
    ASSERT_EQ(notEntered.size(), 1);
    EXPECT_EQ(notEntered.first().first().toString(), program);
}

TEST_F(PictureButtonTest, DrawsPictureAtItsSizeOrStretched) {
    button->resize(20, 10);
    QPixmap picture(10, 5);
    picture.fill(Qt::green);
    button->SetPicture(picture);
    QImage plain = button->grab().toImage();
    EXPECT_EQ(plain.pixelColor(2, 2), QColor(Qt::green));
    EXPECT_NE(plain.pixelColor(15, 8), QColor(Qt::green));

    button->SetStretch(true);
    const QImage stretched = button->grab().toImage();
    EXPECT_EQ(stretched.pixelColor(15, 8), QColor(Qt::green));
}

// A button that takes no clicks must not look as if it did: it shows its picture in grey, and
// its own colours again once enabled; the picture it holds stays the same.
TEST_F(PictureButtonTest, ADisabledButtonShowsItsPictureInGrey) {
    button->resize(8, 6);
    button->SetPicture(Filled(QColor(40, 160, 60)));
    const QColor live = button->grab().toImage().pixelColor(2, 2);
    EXPECT_EQ(live, QColor(40, 160, 60));

    button->setEnabled(false);
    const QColor grey = button->grab().toImage().pixelColor(2, 2);
    EXPECT_EQ(grey.red(), grey.green());
    EXPECT_EQ(grey.green(), grey.blue());
    EXPECT_EQ(grey.red(), qGray(live.rgb()));
    EXPECT_TRUE(SamePicture(button->Picture(), Filled(QColor(40, 160, 60))));

    // Another picture while disabled is greyed as well.
    button->SetPicture(Filled(QColor(200, 30, 30)));
    const QColor otherGrey = button->grab().toImage().pixelColor(2, 2);
    EXPECT_EQ(otherGrey.red(), qGray(qRgb(200, 30, 30)));
    EXPECT_EQ(otherGrey.blue(), otherGrey.red());

    // An unavailable picture of its own stands in for the grey one.
    button->SetUnavailablePicture(Filled(QColor(90, 90, 100)));
    EXPECT_EQ(button->grab().toImage().pixelColor(2, 2), QColor(90, 90, 100));

    button->setEnabled(true);
    EXPECT_EQ(button->grab().toImage().pixelColor(2, 2), QColor(200, 30, 30));
}

}  // namespace
