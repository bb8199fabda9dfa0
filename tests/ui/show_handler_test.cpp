// The show handler through the real window: the skin bundles it loads (the built ones, or a
// folder of the test's own with one bundle missing or lacking a picture), the animation file,
// the screen check, and the help, update and close buttons and their pointer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMovie>
#include <QResource>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "device/device_library.h"
#include "platform/picture_cache.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/hooked_prompter.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/simulated_device.h"
#include "tests/ui/test_window_services.h"
#include "ui/animation_file.h"
#include "ui/key_pictures.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/texts.h"

namespace {

constexpr int kWaitMs = 5000;
const QStringList kBundles = {"on7731.rcc", "sn7731.rcc", "fn7731.rcc", "bn7731.rcc", "dn7731.rcc"};

QString TestBundle(const char* name) {
    return QStringLiteral(KEYLEARN_TEST_BUNDLES "/") + QLatin1String(name);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The built animation, read from its bundle as a test sees it.
QByteArray BuiltAnimation() {
    const QString bundle = BuiltProgramFolder() + QStringLiteral("/bn7731.rcc");
    const QString root = QStringLiteral("/show-handler-test");
    if (!QResource::registerResource(bundle, root))
        return {};
    QByteArray bytes = FileBytes(QStringLiteral(":/show-handler-test/flash1"));
    QResource::unregisterResource(bundle, root);
    return bytes;
}

int Index(KeyPictureSet set, int code) {
    return 1 + kKeyPicturesPerSet * static_cast<int>(set) + code;
}

class ShowHandlerTest : public ::testing::Test {
  protected:
    void Open(const RemoteImageBuilder& remote = RemoteImageBuilder::DefaultRemote()) {
        window.reset();
        sim = std::make_unique<SimulatedRemote>(remote.Build());
        device = std::make_unique<SimulatedDevice>(*sim);
        library = std::make_unique<DeviceLibrary>(*device);
        window = std::make_unique<MainWindow>(*library, prompter, services.Services());
    }
    void ShowAndSettle() {
        window->show();
        QApplication::processEvents();
    }
    // A program folder of the test's own holding the built bundles, with some taken away or
    // replaced.
    QString FolderWithBundles(const QStringList& left_out = {}, const QString& replaced = {},
                              const QString& by = {}) {
        for (const QString& bundle : kBundles) {
            if (left_out.contains(bundle))
                continue;
            const QString from = bundle == replaced ? by : BuiltProgramFolder() + "/" + bundle;
            EXPECT_TRUE(QFile::copy(from, folder.filePath(bundle))) << from.toStdString();
        }
        return folder.path();
    }
    int LoadedKeyPictures() {
        int loaded = 0;
        for (const QPixmap& picture : window->Pictures().keyPictures)
            loaded += picture.isNull() ? 0 : 1;
        return loaded;
    }

    QTemporaryDir folder;
    ScriptedPrompter script;
    HookedPrompter prompter{script};
    TestWindowServices services;
    std::unique_ptr<SimulatedRemote> sim;
    std::unique_ptr<SimulatedDevice> device;
    std::unique_ptr<DeviceLibrary> library;
    std::unique_ptr<MainWindow> window;
};

TEST_F(ShowHandlerTest, TheBuiltSkinsLoadEveryPictureAndAreReleasedAfterwards) {
    Open();
    ShowAndSettle();
    ASSERT_FALSE(window->StartupFailed());
    EXPECT_TRUE(window->Pictures().keyPictures[0].isNull());  // index 0 is never filled
    EXPECT_EQ(LoadedKeyPictures(), 4 * kKeyPicturesPerSet);
    EXPECT_EQ(window->Pictures().namedPictures.size(), 10);
    // Sized for the keys that use them.
    EXPECT_EQ(window->Pictures().keyPictures[Index(KeyPictureSet::kLearned, 0x30)].size(),
              QSize(51, 49));
    EXPECT_EQ(window->Pictures().keyPictures[Index(KeyPictureSet::kDownloaded, 0x01)].size(),
              QSize(31, 21));
    // The bundles are released: the pictures are the window's own copies.
    for (const char* bundle : {"on7731", "sn7731", "fn7731", "bn7731", "dn7731"})
        EXPECT_FALSE(QResource(QStringLiteral(":/keylearn-skins/%1/gif0").arg(bundle)).isValid() ||
                     QResource(QStringLiteral(":/keylearn-skins/%1/flash1").arg(bundle)).isValid())
            << bundle;
    // The animation, in a folder of this user alone.
    const QByteArray animation = BuiltAnimation();
    ASSERT_FALSE(animation.isEmpty());
    EXPECT_EQ(FileBytes(window->Pictures().animationFile), animation);
    QMovie movie(window->Pictures().animationFile);
    EXPECT_TRUE(movie.isValid());
    EXPECT_GT(movie.frameCount(), 1);
    EXPECT_EQ(movie.loopCount(), -1);  // for ever
    EXPECT_FALSE(window->Pictures().animationFile.startsWith(QDir::tempPath() + "/888"));
    const QFileInfo animationFolder(QFileInfo(window->Pictures().animationFile).path());
    EXPECT_EQ(animationFolder.permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFileDevice::Permissions());
    EXPECT_EQ(window->versionLabel->text(), QStringLiteral("V 2.3"));
    // Taken away (the remote gone), delete and clear look as they do with nothing learned.
    EXPECT_EQ(window->deleteButton->UnavailablePicture().cacheKey(),
              window->Pictures().namedPictures.value("deletehui").cacheKey());
    EXPECT_EQ(window->clearButton->UnavailablePicture().cacheKey(),
              window->Pictures().namedPictures.value("clearhui").cacheKey());
    window->close();
}

TEST_F(ShowHandlerTest, AMissingBundleOrPictureStopsTheLoadingWithTheMessageAndCloses) {
    struct Case {
        const char* name;
        QStringList leftOut;
        QString replaced, by;
        int keyPictures;  // loaded before the stop
        bool animation;   // written before the stop
    };
    const Case cases[] = {
        // Every bundle is registered before anything is read.
        {"only dn7731 missing", {"dn7731.rcc"}, {}, {}, 0, false},
        {"dn7731 no bundle at all",
         {},
         "dn7731.rcc",
         BuiltProgramFolder() + "/keylearn-help.html",
         0,
         false},
        // gif0 to gif99 of all four sets, then gif100 of the first two.
        {"gif100 missing from fn7731",
         {},
         "fn7731.rcc",
         TestBundle("fn7731_without_gif100.rcc"),
         4 * 100 + 2,
         true},
        {"clearhui missing from bn7731",
         {},
         "bn7731.rcc",
         TestBundle("bn7731_without_clearhui.rcc"),
         4 * kKeyPicturesPerSet,
         true},
    };
    // Each case once as a first start, and once after a start with every bundle in place has
    // filled a picture cache: what the cache holds never stands in for a missing picture.
    QTemporaryDir cacheFolder;
    const QString cacheFile = cacheFolder.filePath(QStringLiteral("decoded-pictures"));
    for (const bool cached : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(cached ? "after a start that filled the cache" : "no cache");
            std::optional<PictureCache> cache;
            if (cached) {
                QFile::remove(cacheFile);
                folder.remove();
                ASSERT_TRUE(QDir().mkpath(folder.path()));
                services.programFolder = FolderWithBundles();
                cache.emplace(cacheFile, 1);
                services.pictureCache = &*cache;
                Open();
                ShowAndSettle();
                ASSERT_FALSE(window->StartupFailed());
                ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(cacheFile); }, kWaitMs));
                window.reset();
                cache.reset();
                cache.emplace(cacheFile, 1);
                services.pictureCache = &*cache;
            }
            folder.remove();
            ASSERT_TRUE(QDir().mkpath(folder.path()));
            services.programFolder = FolderWithBundles(c.leftOut, c.replaced, c.by);
            Open();
            script.ExpectInformation(texts::kSkinsNotLoaded);
            ShowAndSettle();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, kWaitMs));
            script.VerifyAllShown();
            EXPECT_TRUE(window->StartupFailed());
            EXPECT_EQ(LoadedKeyPictures(), c.keyPictures);
            if (c.keyPictures == 4 * 100 + 2) {
                EXPECT_FALSE(
                    window->Pictures().keyPictures[Index(KeyPictureSet::kLearned, 100)].isNull());
                EXPECT_TRUE(
                    window->Pictures().keyPictures[Index(KeyPictureSet::kLearning, 100)].isNull());
                EXPECT_FALSE(
                    window->Pictures().keyPictures[Index(KeyPictureSet::kDownloaded, 99)].isNull());
            }
            EXPECT_EQ(!window->Pictures().animationFile.isEmpty(), c.animation);
            // The close deleted whatever was written.
            EXPECT_FALSE(QFile::exists(window->Pictures().animationFile) &&
                         !window->Pictures().animationFile.isEmpty());
            if (cached && c.keyPictures > 0) {
                EXPECT_GT(cache->Used().found, 0);
            }
            window.reset();
            services.pictureCache = nullptr;
        }
}

TEST_F(ShowHandlerTest, AFailedStartUpClosesAtOnceWithoutSkinsMonitorOrMessage) {
    script.ExpectPlainMessage(texts::kFirmwareTooOld);
    Open(RemoteImageBuilder::DefaultRemote().Model("8888"));
    script.VerifyAllShown();
    ASSERT_TRUE(window->StartupFailed());
    ShowAndSettle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->Session().WatchingLink());
    EXPECT_EQ(LoadedKeyPictures(), 0);
    EXPECT_TRUE(window->Pictures().animationFile.isEmpty());
}

// A bundle without the animation: the window opens and learns as usual, with no animation
// file, and no movie is ever started on a file that is not there.
TEST_F(ShowHandlerTest, WithoutAnAnimationNoMovieIsStarted) {
    services.programFolder =
        FolderWithBundles({}, "bn7731.rcc", TestBundle("bn7731_without_flash1.rcc"));
    Open();
    ShowAndSettle();
    ASSERT_FALSE(window->StartupFailed());
    EXPECT_TRUE(window->Pictures().animationFile.isEmpty());
    QTest::mouseClick(window->learnButton, Qt::LeftButton);
    QTest::mouseClick(window->KeyButton(QStringLiteral("00")), Qt::LeftButton);
    ASSERT_TRUE(window->Session().PendingKey());
    const QMovie* movie = window->learningAnimation->movie();
    EXPECT_TRUE(movie == nullptr ||
                (movie->fileName().isEmpty() && movie->state() == QMovie::NotRunning));
    QTest::mouseClick(window->learnButton, Qt::LeftButton);

    AnimationFile file;
    file.Write(QByteArray());
    EXPECT_TRUE(file.Path().isEmpty());
}

TEST_F(ShowHandlerTest, AnAnimationFileThereIsReplacedNotWrittenThrough) {
    AnimationFile file;
    file.Write(BuiltAnimation());
    const QString animation = file.Path();
    ASSERT_TRUE(QFile::exists(animation));
    // Something in its place: a link to another file of the user's.
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("victim");
    {
        QFile other(victim);
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        other.write("keep me");
    }
    ASSERT_TRUE(QFile::remove(animation));
    ASSERT_TRUE(QFile::link(victim, animation));

    file.Write(BuiltAnimation());
    EXPECT_EQ(file.Path(), animation);
    EXPECT_EQ(FileBytes(victim), QByteArray("keep me"));
    EXPECT_FALSE(QFileInfo(animation).isSymLink());
    EXPECT_EQ(FileBytes(animation), BuiltAnimation());
    file.Delete();
    EXPECT_FALSE(QFile::exists(animation));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(animation).path()));
}

TEST_F(ShowHandlerTest, ANarrowScreenGetsTheMessageAndASwitchForTheSessionOnly) {
    struct Case {
        QSize screen;
        QSize afterTheBox;  // the user may change the display while the box is open
        bool message;
        bool switched;
    };
    const Case cases[] = {
        {{1280, 800}, {1280, 800}, false, false},
        {{1024, 600}, {1024, 600}, false, false},  // only the width counts
        {{800, 600}, {800, 600}, true, true},
        {{1023, 768}, {1280, 1024}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.screen.width() << "x" << c.screen.height());
        services.display = FakeDisplay{};
        services.display.size = c.screen;
        Open();
        if (c.message)
            script.ExpectInformation(
                QStringLiteral("你目前的显示器分辨率是%1*%2\n"
                               "为了运行该软件，你的显示器分辨率至少要1024*768")
                    .arg(c.screen.width())
                    .arg(c.screen.height()));
        prompter.SetHook([&](const QString&) { services.display.size = c.afterTheBox; });
        // The box comes once the window is shown, not while it is being shown.
        const std::size_t shownBefore = script.Shown().size();
        window->show();
        EXPECT_EQ(script.Shown().size(), shownBefore);
        QApplication::processEvents();
        script.VerifyAllShown();
        prompter.SetHook({});
        EXPECT_EQ(services.display.switches,
                  c.switched ? std::vector<QSize>{QSize(1024, 768)} : std::vector<QSize>{});
        EXPECT_TRUE(window->isVisible());
        window->close();
    }
}

TEST_F(ShowHandlerTest, TheUpdateButtonOnlyTellsWhichStateHoldsItBack) {
    struct Case {
        bool learning, deleting;
        QString message;
    };
    const Case cases[] = {
        {true, false, QStringLiteral("软件正在学习状态，要升级请退出学习状态！")},
        {false, true, QStringLiteral("软件正在删除状态，要升级请退出删除状态！")},
        {false, false, QStringLiteral("您的软件目前不需要升级！")},
    };
    Open();
    ShowAndSettle();
    for (const Case& c : cases) {
        // Into the state through its button, and out of it again afterwards.
        PictureButton* mode = c.learning   ? window->learnButton
                              : c.deleting ? window->deleteButton
                                           : nullptr;
        if (mode)
            QTest::mouseClick(mode, Qt::LeftButton);
        const QString status = window->statusLabel->text();
        script.ExpectPlainMessage(c.message);
        QTest::mouseClick(window->updateButton, Qt::LeftButton);
        script.VerifyAllShown();
        EXPECT_EQ(window->Session().LearningMode(), c.learning);
        EXPECT_EQ(window->Session().DeleteMode(), c.deleting);
        EXPECT_EQ(window->statusLabel->text(), status);
        if (mode)
            QTest::mouseClick(mode, Qt::LeftButton);
    }
    window->close();
}

TEST_F(ShowHandlerTest, TheHelpButtonOpensOurPageBesideTheProgramOrSaysItIsMissing) {
    Open();
    ShowAndSettle();
    QTest::mouseClick(window->helpButton, Qt::LeftButton);
    const QString page = BuiltProgramFolder() + QStringLiteral("/keylearn-help.html");
    EXPECT_EQ(services.shell.calls, QStringList{QStringLiteral("open ") + page});
    EXPECT_TRUE(FileBytes(page).contains("<html"));

    // A folder with the skins but without the page.
    services.shell.calls.clear();
    services.programFolder = FolderWithBundles();
    Open();
    ShowAndSettle();
    script.ExpectInformation(QStringLiteral("找不到帮助文件！"));
    QTest::mouseClick(window->helpButton, Qt::LeftButton);
    script.VerifyAllShown();
    EXPECT_TRUE(services.shell.calls.isEmpty());
    window->close();
}

TEST_F(ShowHandlerTest, TheCloseButtonAsksTheCloseQuery) {
    Open();
    ShowAndSettle();
    const QString animation = window->Pictures().animationFile;
    ASSERT_TRUE(QFile::exists(animation));

    // Refused while learning with the remote attached: nothing is deleted.
    QTest::mouseClick(window->learnButton, Qt::LeftButton);
    script.ExpectInformation(texts::kStopLearningBeforeClosing);
    QTest::mouseClick(window->closeButton, Qt::LeftButton);
    script.VerifyAllShown();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QFile::exists(animation));

    QTest::mouseClick(window->learnButton, Qt::LeftButton);
    QTest::mouseClick(window->closeButton, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->Session().Closing());
    EXPECT_FALSE(QFile::exists(animation));
}

TEST_F(ShowHandlerTest, ActionButtonsShowTheHandFromTheFirstMoveOverThemAndKeysNever) {
    Open();
    ShowAndSettle();
    const std::vector<PictureButton*> actions = {window->helpButton,  window->updateButton,
                                                 window->closeButton, window->learnButton,
                                                 window->clearButton, window->deleteButton};
    for (PictureButton* button : actions) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(button, QPoint(5, 5));
        EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
        // It stays after the mouse has left.
        QTest::mouseMove(window.get(), QPoint(300, 300));
        EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    }
    PictureButton* key = window->KeyButton("30");
    QTest::mouseMove(key, QPoint(5, 5));
    EXPECT_EQ(key->cursor().shape(), Qt::ArrowCursor);
    window->close();
}

}  // namespace
