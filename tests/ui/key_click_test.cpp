// Key selection through the real window against the in-process simulated remote: every click
// is a real click on a key button, every prompt is scripted, and the window is given pictures
// of its own so that a test can tell which one a key shows.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMovie>

#include "learning/key_slots.h"
#include "tests/ui/window_test.h"

namespace {

namespace d = default_remote;
using namespace window_test;

// The default remote's four keys of the picture: 00 downloaded, 01 empty, 30 learned and 33
// downloaded through the code table.
class KeyClickTest : public WindowTest {
  protected:
    // What a click may change, to compare before and after a refusal.
    struct Look {
        QString status;
        PictureButton* pending;
        bool captureStopRequested;
        bool captureRunning;
        bool hintHidden;
        bool animationHidden;
        std::vector<int> pictures;
        std::vector<bool> enabled;
        std::vector<KeySlot> keySlots;
        bool operator==(const Look&) const = default;
    };
    Look Snapshot() {
        Look look{window->statusLabel->text(),
                  PendingKey(),
                  window->Session().CaptureStopRequested(),
                  window->Session().CaptureRunning(),
                  window->hintPicture->isHidden(),
                  window->learningAnimation->isHidden(),
                  {},
                  {},
                  KeySlots()};
        for (PictureButton* key : Keys()) {
            look.pictures.push_back(KeyPictureShown(key));
            look.enabled.push_back(key->HasEnabledLook());
        }
        return look;
    }
    std::vector<PictureButton*> Keys() const {
        return {window->KeyButton("00"), window->KeyButton("01"), window->KeyButton("30"),
                window->KeyButton("33")};
    }

    // A key chosen for learning: its learning picture, the prompt, the animation in place of
    // the hint, the key pending and the capture told to run.
    void ExpectChosen(PictureButton* key, int code) {
        EXPECT_EQ(KeyPictureShown(key), Learning(code));
        EXPECT_EQ(window->statusLabel->text(),
                  QStringLiteral("准备学习") + key->Label() + QStringLiteral("按键， 请发码"));
        EXPECT_TRUE(window->hintPicture->isHidden());
        EXPECT_FALSE(window->learningAnimation->isHidden());
        ASSERT_NE(window->learningAnimation->movie(), nullptr);
        EXPECT_EQ(window->learningAnimation->movie()->fileName(), window->Pictures().animationFile);
        EXPECT_EQ(PendingKey(), key);
        EXPECT_TRUE(window->Session().CaptureRunning());
        EXPECT_FALSE(window->Session().CaptureStopRequested());
    }
};

TEST_F(KeyClickTest, IdleRefusesEveryKeyAndChangesNothing) {
    Open();
    for (PictureButton* key : Keys()) {
        SCOPED_TRACE(key->Label().toStdString());
        const Look before = Snapshot();
        prompter.ExpectInformation(QStringLiteral("请先点击开始学习按钮！"));
        Click(key);
        prompter.VerifyAllShown();
        EXPECT_TRUE(Snapshot() == before);
    }
    EXPECT_EQ(sim->CallCount(DeviceCall::kWriteData), 0);
}

TEST_F(KeyClickTest, APendingKeyRefusesEveryClickNamingThePendingKeyTwice) {
    Open();
    SwitchLearning();
    Click(window->KeyButton("01"));  // "TV/静音", no code: chosen without a question
    ExpectChosen(window->KeyButton("01"), 0x01);

    const QString waiting = QStringLiteral("TV/静音按键");
    for (PictureButton* key :
         {window->KeyButton("01"), window->KeyButton("30"), window->KeyButton("00")}) {
        SCOPED_TRACE(key->Label().toStdString());
        const Look before = Snapshot();
        prompter.ExpectInformation(waiting + QStringLiteral("正在学习，要停止") + waiting +
                                   QStringLiteral(",请点击停止学习按钮"));
        Click(key);
        prompter.VerifyAllShown();
        EXPECT_TRUE(Snapshot() == before);
    }
}

TEST_F(KeyClickTest, KeysWithoutALearnedCodeAreChosenWithoutAQuestion) {
    struct Case {
        const char* key;
        int code;
    } cases[] = {{"00", 0x00},   // downloaded
                 {"01", 0x01},   // no code
                 {"33", 0x33}};  // downloaded through the code table
    for (const Case& c : cases) {
        Open();
        // On, off and on again: the capture control is left stopped by the switch.
        SwitchLearning();
        SwitchLearning();
        SwitchLearning();
        ASSERT_TRUE(window->Session().CaptureStopRequested());
        PictureButton* key = window->KeyButton(QString::fromLatin1(c.key));
        Click(key);
        ExpectChosen(key, c.code);
    }
}

TEST_F(KeyClickTest, ALearnedKeyAsksFirstAndNoChangesNothing) {
    Open();
    SwitchLearning();
    SwitchLearning();
    SwitchLearning();
    window->ShowKeyStates();
    PictureButton* key = window->KeyButton("30");  // "CBL/音量+", learned
    ASSERT_FALSE(key->HasEnabledLook());
    const Look before = Snapshot();

    prompter.ExpectQuestion(QStringLiteral("CBL/音量+键编码已学习过，要重新学习吗?"), false);
    Click(key);
    prompter.VerifyAllShown();
    EXPECT_TRUE(Snapshot() == before);

    prompter.ExpectQuestion(QStringLiteral("CBL/音量+键编码已学习过，要重新学习吗?"), true);
    Click(key);
    prompter.VerifyAllShown();
    EXPECT_TRUE(key->HasEnabledLook());
    ExpectChosen(key, 0x30);
}

TEST_F(KeyClickTest, AKeyWithoutASlotIsChosenAsNotLearned) {
    // This remote has no key 33.
    Open(RemoteImageBuilder::DefaultRemote().Keys({0x00, 0x01, 0x30}).KeyEntryCount(3));
    SwitchLearning();
    Click(window->KeyButton("33"));
    ExpectChosen(window->KeyButton("33"), 0x33);
}

TEST_F(KeyClickTest, AnExistingCaptureThreadIsNotReplaced) {
    Open();
    SwitchLearning();
    Click(window->KeyButton("00"));
    // Off and on again with no event processed: the stopped capture's end handler is due.
    SwitchLearning();
    SwitchLearning();
    ASSERT_TRUE(window->Session().CaptureRunning());
    Click(window->KeyButton("01"));
    EXPECT_EQ(PendingKey(), window->KeyButton("01"));
    // The key waits for the stopped capture's end, which then gives it a capture of its own.
    EXPECT_TRUE(window->Session().CaptureStopRequested());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->Session().CaptureStopRequested(); }, 5000));
    EXPECT_EQ(PendingKey(), window->KeyButton("01"));
    EXPECT_TRUE(window->Session().CaptureRunning());
}

TEST_F(KeyClickTest, DeleteModeComesBeforeEveryOtherBranch) {
    Open();
    Click(window->deleteButton);
    ASSERT_TRUE(window->Session().DeleteMode());
    const Look before = Snapshot();
    // Learning mode is not spoken of: the click is a delete.
    for (PictureButton* key : {window->KeyButton("00"), window->KeyButton("01")}) {
        prompter.ExpectInformation(QStringLiteral("该按键还没有自学习过，无法删除！"));
        Click(key);
        prompter.VerifyAllShown();
    }
    EXPECT_TRUE(Snapshot() == before);
}

TEST_F(KeyClickTest, ShowKeyStatesGivesEachKeyThePictureOfItsSlot) {
    Open();
    const QPixmap marker = Solid(1, 2, 3);
    for (PictureButton* key : Keys())
        key->SetPicture(marker);
    window->learnButton->SetPicture(marker);

    window->ShowKeyStates();

    EXPECT_EQ(KeyPictureShown(window->KeyButton("00")), 505 + 0x00);  // downloaded
    EXPECT_EQ(window->KeyButton("01")->Picture().toImage(),
              marker.toImage());                                      // no code: unchanged
    EXPECT_EQ(KeyPictureShown(window->KeyButton("30")), 169 + 0x30);  // learned
    EXPECT_FALSE(window->KeyButton("30")->HasEnabledLook());
    EXPECT_EQ(KeyPictureShown(window->KeyButton("33")), 505 + 0x33);  // downloaded
    EXPECT_TRUE(window->KeyButton("00")->HasEnabledLook());
    // An action button has no Code and matches no slot.
    EXPECT_EQ(window->learnButton->Picture().toImage(), marker.toImage());

    // The slots decide: key 01 learned with a code named directly, key 00 without a code.
    Open(RemoteImageBuilder::DefaultRemote()
             .KeyEntry(d::kSlotOfKey01, {0xC0, 0x00, 0x00, 0x12, 0x34, 0x56})
             .KeyEntry(d::kSlotOfKey00, {}));
    ASSERT_EQ(KeySlots()[d::kSlotOfKey01].state, SlotState::kLearned);
    ASSERT_EQ(KeySlots()[d::kSlotOfKey00].state, SlotState::kEmpty);
    window->KeyButton("00")->SetPicture(Solid(1, 2, 3));
    window->ShowKeyStates();
    EXPECT_EQ(KeyPictureShown(window->KeyButton("01")), 169 + 0x01);
    // No code leaves the key as it was.
    EXPECT_EQ(window->KeyButton("00")->Picture().toImage(), Solid(1, 2, 3).toImage());
}

TEST_F(KeyClickTest, UpdateDeleteButtonsFollowsWhetherAnyKeyIsLearned) {
    Open();  // key 30 is learned
    window->UpdateDeleteButtons();
    EXPECT_TRUE(window->deleteButton->isEnabled());
    EXPECT_TRUE(window->clearButton->isEnabled());
    EXPECT_EQ(NamedPictureShown(window->deleteButton), "delete");
    EXPECT_EQ(NamedPictureShown(window->clearButton), "clear");

    Open(RemoteImageBuilder::DefaultRemote().KeyEntry(d::kSlotOfKey30, {}));  // none learned
    window->UpdateDeleteButtons();
    EXPECT_FALSE(window->deleteButton->isEnabled());
    EXPECT_FALSE(window->clearButton->isEnabled());
    EXPECT_EQ(NamedPictureShown(window->deleteButton), "deletehui");
    EXPECT_EQ(NamedPictureShown(window->clearButton), "clearhui");
}

}  // namespace
