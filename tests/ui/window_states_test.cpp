// What the window shows in each of its states, as one table through the real window with the
// built skins: every row names a state, the remote it starts from, how the window gets there
// from its first show, and every picture and label the state calls for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QScrollArea>
#include <QTest>
#include <chrono>
#include <functional>
#include <memory>
#include <ostream>

#include "device/device_library.h"
#include "sim/remote_image_builder.h"
#include "sim/simulated_remote.h"
#include "tests/support/fired_codes.h"
#include "tests/support/hooked_prompter.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/simulated_device.h"
#include "tests/ui/test_window_services.h"
#include "tests/ui/window_test.h"
#include "ui/key_pictures.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

namespace {

namespace d = default_remote;
constexpr int kWaitMs = 5000;

// Everything the table's columns name, read from the window.
struct WindowLook {
    QString tips;    // the tips panels shown, by name, joined with "+"
    QString hint;    // the named picture of the hint area, or "hidden"
    bool animation;  // the learning animation shown
    QString status;  // the status text
    QString learn;   // "start" or "stop": the learn button's look
    bool learnEnabled;
    QString remove;  // the named picture of the delete button
    bool removeEnabled;
    QString clear;  // the named picture of the clear button
    bool clearEnabled;
    bool keysShown;               // the remote's box
    QMap<QString, QString> keys;  // key code -> the set its picture is from, or "own"
    bool operator==(const WindowLook&) const = default;
};

void PrintTo(const WindowLook& look, std::ostream* out) {
    *out << "{tips " << look.tips.toStdString() << ", hint " << look.hint.toStdString()
         << ", animation " << look.animation << ", status \"" << look.status.toStdString()
         << "\", learn " << look.learn.toStdString() << (look.learnEnabled ? "" : " (disabled)")
         << ", delete " << look.remove.toStdString() << (look.removeEnabled ? "" : " (disabled)")
         << ", clear " << look.clear.toStdString() << (look.clearEnabled ? "" : " (disabled)")
         << ", keys " << (look.keysShown ? "shown" : "hidden");
    for (auto key = look.keys.begin(); key != look.keys.end(); ++key)
        *out << ", " << key.key().toStdString() << " " << key.value().toStdString();
    *out << "}";
}

// The default remote's keys of the picture: 00 and 33 downloaded, 30 learned, 01 no code.
const QMap<QString, QString> kDefaultKeys{
    {"00", "downloaded"}, {"01", "own"}, {"30", "learned"}, {"33", "downloaded"}};

// The default remote with key 30's code downloaded instead of learned: no key is learned.
RemoteImageBuilder NothingLearned() {
    return RemoteImageBuilder::DefaultRemote().KeyEntry(
        d::kSlotOfKey30, {0x80, 0x00, 0x80, d::kLearnedCodeEntry, 0x00, 0x10});
}
const QMap<QString, QString> kNothingLearnedKeys{
    {"00", "downloaded"}, {"01", "own"}, {"30", "downloaded"}, {"33", "downloaded"}};

// The keys with one key's picture changed.
QMap<QString, QString> WithKey(QMap<QString, QString> keys, const char* code, const char* set) {
    keys[QString::fromLatin1(code)] = QString::fromLatin1(set);
    return keys;
}

class WindowStatesTest : public ::testing::Test {
  public:
    // Opens the window on the remote, shows it and waits until the link monitor has shown the
    // link.
    void Open(const RemoteImageBuilder& remote, std::chrono::milliseconds captureLimit) {
        window.reset();
        sim = std::make_unique<SimulatedRemote>(remote.Build());
        device = std::make_unique<SimulatedDevice>(*sim);
        library = std::make_unique<DeviceLibrary>(*device);
        WindowServices windowServices = services.Services();
        windowServices.session.converterFolder = QStringLiteral(KEYLEARN_CONVERTER_DIR);
        windowServices.session.captureTiming.limit = captureLimit;
        window = std::make_unique<MainWindow>(*library, prompter, windowServices);
        ASSERT_FALSE(window->StartupFailed());
        window->show();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return window->linkStateLabel->text() == texts::kLinkUp; }, kWaitMs));
    }

    WindowLook Look() const {
        WindowLook look{};
        for (const PictureView* tips : {window->tipsSomeLearned, window->tipsLearning,
                                        window->tipsDeleting, window->tipsNoneLearned})
            if (!tips->isHidden())
                look.tips += (look.tips.isEmpty() ? "" : "+") + tips->objectName();
        look.hint = window->hintPicture->isHidden() ? QStringLiteral("hidden")
                                                    : NamedPictureOf(window->hintPicture);
        look.animation = !window->learningAnimation->isHidden();
        look.status = window->statusLabel->text();
        look.learn = window->learnButton->HasEnabledLook() ? QStringLiteral("start")
                                                           : QStringLiteral("stop");
        look.learnEnabled = window->learnButton->isEnabled();
        look.remove = NamedPictureOf(window->deleteButton);
        look.removeEnabled = window->deleteButton->isEnabled();
        look.clear = NamedPictureOf(window->clearButton);
        look.clearEnabled = window->clearButton->isEnabled();
        look.keysShown = !window->remoteBox->isHidden();
        for (const char* code : {"00", "01", "30", "33"})
            look.keys[code] = KeySetOf(window->KeyButton(code));
        return look;
    }

    // The link goes away; the look is taken while the reconnect box is open, and the remote
    // comes back before Retry answers it. Returns the look while it was away.
    WindowLook LoseTheLinkAndComeBack() {
        WindowLook whileAway{};
        bool asked = false;
        script.ExpectRetryCancel(texts::kReconnectRemote, true);
        prompter.SetHook([&](const QString&) {
            whileAway = Look();
            asked = true;
            sim->Plug();
        });
        sim->Unplug();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return asked && !window->remoteBox->isHidden() &&
                       window->linkStateLabel->text() == texts::kLinkUp;
            },
            kWaitMs));
        prompter.SetHook({});
        script.VerifyAllShown();
        return whileAway;
    }

    ScriptedPrompter script;
    HookedPrompter prompter{script};
    TestWindowServices services;
    std::unique_ptr<SimulatedRemote> sim;
    std::unique_ptr<SimulatedDevice> device;
    std::unique_ptr<DeviceLibrary> library;
    std::unique_ptr<MainWindow> window;

  private:
    QString NamedPictureOf(const PictureView* view) const {
        if (view->Picture().isNull())
            return QStringLiteral("none");
        const QImage shown = view->Picture().toImage();
        const auto& pictures = window->Pictures().namedPictures;
        for (auto named = pictures.begin(); named != pictures.end(); ++named)
            if (named.value().toImage() == shown)
                return named.key();
        return QStringLiteral("other");
    }
    QString KeySetOf(const PictureButton* key) const {
        const QImage shown = key->Picture().toImage();
        const struct {
            KeyPictureSet set;
            const char* name;
        } sets[] = {{KeyPictureSet::kNotLearned, "not learned"},
                    {KeyPictureSet::kLearned, "learned"},
                    {KeyPictureSet::kLearning, "learning"},
                    {KeyPictureSet::kDownloaded, "downloaded"}};
        for (const auto& set : sets) {
            const auto index = KeyPictureIndex(set.set, key->Code().toStdString());
            if (index &&
                window->Pictures().keyPictures[static_cast<qsizetype>(*index)].toImage() == shown)
                return QString::fromLatin1(set.name);
        }
        return QStringLiteral("own");
    }
};

struct Row {
    const char* state;
    RemoteImageBuilder remote;
    // From the window just shown to the state; returns the look in it.
    std::function<WindowLook(WindowStatesTest&)> reach;
    WindowLook expected;
    // How long a capture waits for its code: long enough for a look taken while it waits.
    std::chrono::milliseconds captureLimit = std::chrono::seconds(30);
};

WindowLook AsShown(WindowStatesTest& test) {
    return test.Look();
}
WindowLook WhileAway(WindowStatesTest& test) {
    return test.LoseTheLinkAndComeBack();
}
WindowLook BackAgain(WindowStatesTest& test) {
    test.LoseTheLinkAndComeBack();
    return test.Look();
}

void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
    QCoreApplication::processEvents();
}

// Learning: the look is taken in the state, and learning is switched off again afterwards so
// that the window may close.
WindowLook LearningOn(WindowStatesTest& test) {
    Click(test.window->learnButton);
    const WindowLook look = test.Look();
    Click(test.window->learnButton);
    return look;
}
WindowLook Capturing(WindowStatesTest& test) {
    Click(test.window->learnButton);
    Click(test.window->KeyButton("01"));
    const WindowLook look = test.Look();
    Click(test.window->learnButton);
    return look;
}
// Learns key 01 from a capture (or, without one, lets the capture run out) and takes the look
// once the attempt has ended.
WindowLook AttemptEnded(WindowStatesTest& test, const std::string& capture) {
    Click(test.window->learnButton);
    Click(test.window->KeyButton("01"));
    if (!capture.empty()) {
        EXPECT_TRUE(window_test::FireWhenListening(*test.sim, capture, kWaitMs));
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return !test.window->Session().CaptureRunning() && !test.window->Session().PendingKey();
        },
        kWaitMs));
    const WindowLook look = test.Look();
    Click(test.window->learnButton);
    return look;
}
WindowLook KeyLearned(WindowStatesTest& test) {
    test.script.ExpectInformation(texts::kCodeReceived);
    return AttemptEnded(test, fired_codes::ProtocolCapture({"NEC1", "D=4", "F=8"}));
}
WindowLook AttemptFailed(WindowStatesTest& test) {
    test.script.ExpectPlainMessage(texts::kLearningFailed);
    return AttemptEnded(test, {});
}
WindowLook LearningOnAndOff(WindowStatesTest& test) {
    Click(test.window->learnButton);
    Click(test.window->learnButton);
    return test.Look();
}

// Deleting.
WindowLook DeleteMode(WindowStatesTest& test) {
    Click(test.window->deleteButton);
    const WindowLook look = test.Look();
    Click(test.window->deleteButton);
    return look;
}
WindowLook DeleteModeOnAndOff(WindowStatesTest& test) {
    Click(test.window->deleteButton);
    Click(test.window->deleteButton);
    return test.Look();
}
WindowLook AllCleared(WindowStatesTest& test) {
    test.script.ExpectQuestion(texts::kClearQuestion, true);
    test.script.ExpectInformation(texts::kClearDone);
    Click(test.window->clearButton);
    return test.Look();
}

std::vector<Row> Rows() {
    const auto some = RemoteImageBuilder::DefaultRemote();
    return {
        {"idle, some key learned",
         some,
         AsShown,
         {.tips = "tipsSomeLearned",
          .hint = "giftovani",
          .animation = false,
          .status = "",
          .learn = "start",
          .learnEnabled = true,
          .remove = "delete",
          .removeEnabled = true,
          .clear = "clear",
          .clearEnabled = true,
          .keysShown = true,
          .keys = kDefaultKeys}},
        {"idle, no key learned",
         NothingLearned(),
         AsShown,
         {.tips = "tipsNoneLearned",
          .hint = "giftovani",
          .animation = false,
          .status = "",
          .learn = "start",
          .learnEnabled = true,
          .remove = "deletehui",
          .removeEnabled = false,
          .clear = "clearhui",
          .clearEnabled = false,
          .keysShown = true,
          .keys = kNothingLearnedKeys}},
        {"link lost, some key learned",
         some,
         WhileAway,
         {.tips = "tipsSomeLearned",
          .hint = "giftovani",
          .animation = false,
          .status = "",
          .learn = "start",
          .learnEnabled = false,
          .remove = "delete",
          .removeEnabled = false,
          .clear = "clear",
          .clearEnabled = false,
          .keysShown = false,
          .keys = kDefaultKeys}},
        {"link back, some key learned",
         some,
         BackAgain,
         {.tips = "tipsSomeLearned",
          .hint = "giftovani",
          .animation = false,
          .status = "",
          .learn = "start",
          .learnEnabled = true,
          .remove = "delete",
          .removeEnabled = true,
          .clear = "clear",
          .clearEnabled = true,
          .keysShown = true,
          .keys = kDefaultKeys}},
        {"link lost, no key learned",
         NothingLearned(),
         WhileAway,
         {.tips = "tipsNoneLearned",
          .hint = "giftovani",
          .animation = false,
          .status = "",
          .learn = "start",
          .learnEnabled = false,
          .remove = "deletehui",
          .removeEnabled = false,
          .clear = "clearhui",
          .clearEnabled = false,
          .keysShown = false,
          .keys = kNothingLearnedKeys}},
        // All key controls come back together; delete and clear keep their grey pictures and
        // refuse by their own messages.
        {"link back, no key learned",
         NothingLearned(),
         BackAgain,
         {.tips = "tipsNoneLearned",
          .hint = "giftovani",
          .animation = false,
          .status = "",
          .learn = "start",
          .learnEnabled = true,
          .remove = "deletehui",
          .removeEnabled = true,
          .clear = "clearhui",
          .clearEnabled = true,
          .keysShown = true,
          .keys = kNothingLearnedKeys}},
        {"learning, no key waiting",
         some,
         LearningOn,
         {.tips = "tipsLearning",
          .hint = "jpgjingtai",
          .animation = false,
          .status = texts::kClickKeyToLearn,
          .learn = "stop",
          .learnEnabled = true,
          .remove = "delete",
          .removeEnabled = true,
          .clear = "clear",
          .clearEnabled = true,
          .keysShown = true,
          .keys = kDefaultKeys}},
        {"capturing: a key waits for its code",
         some,
         Capturing,
         {.tips = "tipsLearning",
          .hint = "hidden",
          .animation = true,
          .status = texts::ReadyToLearn(texts::kKeyTvMute),
          .learn = "stop",
          .learnEnabled = true,
          .remove = "delete",
          .removeEnabled = true,
          .clear = "clear",
          .clearEnabled = true,
          .keysShown = true,
          .keys = WithKey(kDefaultKeys, "01", "learning")}},
        {"key learned",
         NothingLearned(),
         KeyLearned,
         {.tips = "tipsLearning",
          .hint = "giftovani",
          .animation = false,
          .status = texts::KeyLearned(texts::kKeyTvMute),
          .learn = "stop",
          .learnEnabled = true,
          .remove = "delete",
          .removeEnabled = true,
          .clear = "clear",
          .clearEnabled = true,
          .keysShown = true,
          .keys = WithKey(kNothingLearnedKeys, "01", "learned")}},
        {"learning attempt failed",
         some,
         AttemptFailed,
         {.tips = "tipsLearning",
          .hint = "jpgjingtai",
          .animation = false,
          .status = texts::kChooseKeyAgain,
          .learn = "stop",
          .learnEnabled = true,
          .remove = "delete",
          .removeEnabled = true,
          .clear = "clear",
          .clearEnabled = true,
          .keysShown = true,
          .keys = WithKey(kDefaultKeys, "01", "not learned")},
         std::chrono::milliseconds(300)},  // the capture runs out
        {"learning switched off",
         NothingLearned(),
         LearningOnAndOff,
         {.tips = "tipsNoneLearned",
          .hint = "giftovani",
          .animation = false,
          .status = "",
          .learn = "start",
          .learnEnabled = true,
          .remove = "deletehui",
          .removeEnabled = false,
          .clear = "clearhui",
          .clearEnabled = false,
          .keysShown = true,
          .keys = kNothingLearnedKeys}},
        {"delete",
         some,
         DeleteMode,
         {.tips = "tipsDeleting",
          .hint = "giftovani",
          .animation = false,
          .status = texts::kChooseKeyToDelete,
          .learn = "start",
          .learnEnabled = true,
          .remove = "stopdelete",
          .removeEnabled = true,
          .clear = "clear",
          .clearEnabled = true,
          .keysShown = true,
          .keys = kDefaultKeys}},
        {"delete switched off",
         some,
         DeleteModeOnAndOff,
         {.tips = "tipsSomeLearned",
          .hint = "giftovani",
          .animation = false,
          .status = "",
          .learn = "start",
          .learnEnabled = true,
          .remove = "delete",
          .removeEnabled = true,
          .clear = "clear",
          .clearEnabled = true,
          .keysShown = true,
          .keys = kDefaultKeys}},
        {"all keys cleared",
         some,
         AllCleared,
         {.tips = "tipsNoneLearned",
          .hint = "giftovani",
          .animation = false,
          .status = texts::kClearDone,
          .learn = "start",
          .learnEnabled = true,
          .remove = "deletehui",
          .removeEnabled = false,
          .clear = "clearhui",
          .clearEnabled = false,
          .keysShown = true,
          .keys = WithKey(kDefaultKeys, "30", "not learned")}},
    };
}

TEST_F(WindowStatesTest, EveryStateShowsWhatTheTableSays) {
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.state);
        Open(row.remote, row.captureLimit);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_EQ(row.reach(*this), row.expected);
        EXPECT_EQ(window->versionLabel->text(), texts::kProgramVersion);
        script.VerifyAllShown();
        window->close();
    }
}

}  // namespace
