// Key selection through the real window against the in-process simulated remote: every click
// is a real click on a key button, every prompt is scripted, and the window is given pictures
// of its own so that a test can tell which one a key shows.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMovie>
#include <QThread>

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
        QList<PictureButton*> pending;
        int control;
        CaptureThread* thread;
        bool hintHidden;
        bool animationHidden;
        std::vector<int> pictures;
        std::vector<bool> enabled;
        std::vector<KeySlot> keySlots;
        bool operator==(const Look&) const = default;
    };
    Look Snapshot() {
        Look look{window->statusLabel->text(),
                  probe->PendingKeys(),
                  probe->CaptureControl().Value(),
                  probe->CaptureThread(),
                  window->hintPicture->isHidden(),
                  window->learningAnimation->isHidden(),
                  {},
                  {},
                  probe->KeySlots()};
        for (PictureButton* key : Keys()) {
            look.pictures.push_back(KeyPictureShown(key));
            look.enabled.push_back(key->IsEnable());
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
                  QStringLiteral("准备学习") + key->Path() + QStringLiteral("按键， 请发码"));
        EXPECT_TRUE(window->hintPicture->isHidden());
        EXPECT_FALSE(window->learningAnimation->isHidden());
        ASSERT_NE(window->learningAnimation->movie(), nullptr);
        EXPECT_EQ(window->learningAnimation->movie()->fileName(), probe->animationFile());
        EXPECT_EQ(probe->PendingKeys(), QList<PictureButton*>{key});
        EXPECT_EQ(probe->CaptureControl().Value(), 1);
    }
};

TEST_F(KeyClickTest, IdleRefusesEveryKeyAndChangesNothing) {
    Open();
    for (PictureButton* key : Keys()) {
        SCOPED_TRACE(key->Path().toStdString());
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
    probe->LearningMode() = true;
    Click(window->KeyButton("01"));  // "TV/静音", no code: chosen without a question
    ExpectChosen(window->KeyButton("01"), 0x01);

    const QString waiting = QStringLiteral("TV/静音按键");
    for (PictureButton* key :
         {window->KeyButton("01"), window->KeyButton("30"), window->KeyButton("00")}) {
        SCOPED_TRACE(key->Path().toStdString());
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
        probe->LearningMode() = true;
        probe->CaptureControl().Stop();  // left by an earlier capture
        PictureButton* key = window->KeyButton(QString::fromLatin1(c.key));
        Click(key);
        ExpectChosen(key, c.code);
    }
}

TEST_F(KeyClickTest, ALearnedKeyAsksFirstAndNoChangesNothing) {
    Open();
    probe->LearningMode() = true;
    probe->CaptureControl().Stop();
    window->ShowKeyStates();
    PictureButton* key = window->KeyButton("30");  // "CBL/音量+", learned
    ASSERT_FALSE(key->IsEnable());
    const Look before = Snapshot();

    prompter.ExpectQuestion(QStringLiteral("CBL/音量+键编码已学习过，要重新学习吗?"), false);
    Click(key);
    prompter.VerifyAllShown();
    EXPECT_TRUE(Snapshot() == before);

    prompter.ExpectQuestion(QStringLiteral("CBL/音量+键编码已学习过，要重新学习吗?"), true);
    Click(key);
    prompter.VerifyAllShown();
    EXPECT_TRUE(key->IsEnable());
    ExpectChosen(key, 0x30);
}

TEST_F(KeyClickTest, AKeyWithoutASlotIsChosenAsNotLearned) {
    // This remote has no key 33.
    Open(RemoteImageBuilder::DefaultRemote().Keys({0x00, 0x01, 0x30}).KeyEntryCount(3));
    probe->LearningMode() = true;
    Click(window->KeyButton("33"));
    ExpectChosen(window->KeyButton("33"), 0x33);
}

TEST_F(KeyClickTest, AnExistingCaptureThreadIsNotReplaced) {
    Open();
    probe->LearningMode() = true;
    // Never started: stands for a capture thread whose end handler is due.
    CaptureThread ending(*library, probe->CaptureControl(), CaptureTiming{});
    probe->CaptureThread() = &ending;
    probe->CaptureControl().Stop();
    Click(window->KeyButton("01"));
    EXPECT_EQ(probe->PendingKeys(), QList<PictureButton*>{window->KeyButton("01")});
    EXPECT_EQ(probe->CaptureThread(), &ending);
    EXPECT_EQ(probe->CaptureControl().Value(), 2);
    probe->CaptureThread() = nullptr;
}

TEST_F(KeyClickTest, DeleteModeComesBeforeEveryOtherBranch) {
    Open();
    probe->LearningMode() = true;
    probe->PendingKeys().append(window->KeyButton("01"));
    probe->DeleteMode() = true;
    const Look before = Snapshot();
    // Neither the pending key nor learning mode is spoken of: the click is a delete.
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
    EXPECT_FALSE(window->KeyButton("30")->IsEnable());
    EXPECT_EQ(KeyPictureShown(window->KeyButton("33")), 505 + 0x33);  // downloaded
    EXPECT_TRUE(window->KeyButton("00")->IsEnable());
    // An action button has no Code and matches no slot.
    EXPECT_EQ(window->learnButton->Picture().toImage(), marker.toImage());

    // The slots decide, not the remote: after a change of the slot texts the pictures follow.
    probe->KeySlots()[d::kSlotOfKey01] = {.keyCode = 0x01,
                                          .state = SlotState::kLearned,
                                          .holding = CodeHolding::kDirect,
                                          .learnedCodeId = CodeId{{0x12, 0x34, 0x56}}};
    probe->KeySlots()[d::kSlotOfKey00] = NotLearnedSlot(0x00);
    ASSERT_EQ(SlotText(probe->KeySlots()[d::kSlotOfKey01]), "01|2|0|123456");
    ASSERT_EQ(SlotText(probe->KeySlots()[d::kSlotOfKey00]), "00|0");
    window->ShowKeyStates();
    EXPECT_EQ(KeyPictureShown(window->KeyButton("01")), 169 + 0x01);
    EXPECT_EQ(KeyPictureShown(window->KeyButton("00")),
              505 + 0x00);  // "0" leaves the key as it was
}

TEST_F(KeyClickTest, UpdateDeleteButtonsFollowsWhetherAnyKeyIsLearned) {
    Open();  // key 30 is learned
    window->UpdateDeleteButtons();
    EXPECT_TRUE(window->deleteButton->isEnabled());
    EXPECT_TRUE(window->clearButton->isEnabled());
    EXPECT_EQ(NamedPictureShown(window->deleteButton), "delete");
    EXPECT_EQ(NamedPictureShown(window->clearButton), "clear");

    probe->KeySlots()[d::kSlotOfKey30] = NotLearnedSlot(0x30);
    probe->DeleteMode() = true;
    window->UpdateDeleteButtons();
    EXPECT_FALSE(window->deleteButton->isEnabled());
    EXPECT_FALSE(window->clearButton->isEnabled());
    EXPECT_EQ(NamedPictureShown(window->deleteButton), "deletehui");
    EXPECT_EQ(NamedPictureShown(window->clearButton), "clearhui");
    EXPECT_FALSE(probe->DeleteMode());
}

}  // namespace
