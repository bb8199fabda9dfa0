// The delete and clear buttons through the real window against the in-process simulated remote:
// delete mode, deleting keys one by one, clearing every learned key, what each refuses, and
// what the window shows when the remote refuses a write. Every click is a real click and every
// prompt is scripted with its exact text.
#include <gtest/gtest.h>

#include <QLabel>
#include <set>
#include <string>
#include <vector>

#include "learning/key_slots.h"
#include "sim/remote_image_check.h"
#include "tests/ui/window_test.h"

namespace {

namespace d = default_remote;
using namespace window_test;
using Bytes = RemoteImageBuilder::ByteList;

const QString kNotLearned = QStringLiteral("该按键还没有自学习过，无法删除！");
const QString kDeleteQuestion = QStringLiteral("你确实要删除该自学习按键的编码？");
const QString kDeleted = QStringLiteral("删除操作成功！");
const QString kClearQuestion = QStringLiteral("你确实要清空所有自学习过的按键的编码吗？");
const QString kClearDone = QStringLiteral("清空操作完成！");

const Bytes kLearnedDirect = {0xC0, 0x00, 0x00, 0x21, 0x00, 0x00};
Bytes LearnedInEntry(std::uint8_t index) {
    return {0xC0, 0x00, 0x80, index, 0xFF, 0xFF};
}

// Keys of the picture: 00 downloaded, 01 learned (named in its entry), 30 learned (entry 2, its
// alone), 33 downloaded (entry 0).
RemoteImageBuilder TwoLearnedKeys() {
    return RemoteImageBuilder::DefaultRemote().KeyEntry(d::kSlotOfKey01, kLearnedDirect);
}

// No key learned: key 30's entry says downloaded.
RemoteImageBuilder NoneLearned() {
    return RemoteImageBuilder::DefaultRemote().KeyEntry(d::kSlotOfKey30, {0x80, 0x00, 0x80, 0x02});
}

class DeleteButtonsTest : public WindowTest {
  protected:
    // The window as its show handler leaves it: every key in its state, the buttons and the
    // tips panel by whether any key is learned, delete mode off.
    void OpenShown(const RemoteImageBuilder& remote) {
        Open(remote);
        window->ShowKeyStates();
        window->UpdateDeleteButtons();
        window->tipsSomeLearned->setVisible(window->Session().AnyKeyLearned());
        window->tipsNoneLearned->setVisible(!window->Session().AnyKeyLearned());
        window->tipsLearning->hide();
        window->tipsDeleting->hide();
    }

    // The one tips panel shown, by name; "" when none or several are.
    QString TipsShown() const {
        QString shown;
        for (PictureView* tips : {window->tipsSomeLearned, window->tipsLearning,
                                  window->tipsDeleting, window->tipsNoneLearned}) {
            if (!tips->isHidden()) {
                if (!shown.isEmpty())
                    return {};
                shown = tips->objectName();
            }
        }
        return shown;
    }

    // Everything a refused click must leave alone.
    struct Look {
        bool learningMode;
        bool deleteMode;
        QString status;
        QString tips;
        QString deletePicture;
        QString clearPicture;
        bool deleteEnabled;
        bool clearEnabled;
        std::vector<int> keyPictures;
        std::vector<KeySlot> keySlots;
        bool operator==(const Look&) const = default;
    };
    Look Snapshot() {
        Look look{window->Session().LearningMode(),
                  window->Session().DeleteMode(),
                  window->statusLabel->text(),
                  TipsShown(),
                  NamedPictureShown(window->deleteButton),
                  NamedPictureShown(window->clearButton),
                  window->deleteButton->isEnabled(),
                  window->clearButton->isEnabled(),
                  {},
                  KeySlots()};
        for (const char* code : {"00", "01", "30", "33"})
            look.keyPictures.push_back(KeyPictureShown(window->KeyButton(code)));
        return look;
    }

    void ExpectIdleWithNoKeyLearned() {
        EXPECT_FALSE(window->Session().DeleteMode());
        EXPECT_FALSE(window->deleteButton->isEnabled());
        EXPECT_FALSE(window->clearButton->isEnabled());
        EXPECT_EQ(NamedPictureShown(window->deleteButton), "deletehui");
        EXPECT_EQ(NamedPictureShown(window->clearButton), "clearhui");
        EXPECT_EQ(TipsShown(), "tipsNoneLearned");
    }

    std::string SlotTextOf(int slot) { return SlotText(KeySlots().at(slot)); }

    int Writes() const { return sim->CallCount(DeviceCall::kWriteData); }
};

TEST_F(DeleteButtonsTest, BothButtonsRefuseInLearningModeAndChangeNothing) {
    OpenShown(TwoLearnedKeys());
    SwitchLearning();
    const Look before = Snapshot();

    prompter.ExpectInformation(QStringLiteral("现在正在学习状态，要删除请先停止学习！"));
    Click(window->deleteButton);
    prompter.ExpectInformation(
        QStringLiteral("现在是自学习遥控器按键编码状态，要清空请先点击\"停止学习\"按钮！"));
    Click(window->clearButton);
    prompter.VerifyAllShown();

    EXPECT_TRUE(Snapshot() == before);
    EXPECT_EQ(sim->CallCount(DeviceCall::kReadData), 0);
    EXPECT_EQ(Writes(), 0);
}

TEST_F(DeleteButtonsTest, DeleteModeTwiceReturnsToIdleWithTheTipsOfTheKeys) {
    struct Case {
        const char* name;
        RemoteImageBuilder remote;
        QString idleTips;
    };
    const std::vector<Case> cases = {
        {"a key learned", TwoLearnedKeys(), QStringLiteral("tipsSomeLearned")},
        // The link monitor enables both buttons when the remote comes back, learned keys or not.
        {"no key learned", NoneLearned(), QStringLiteral("tipsNoneLearned")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenShown(c.remote);
        window->SetKeyControlsAvailable(true);
        window->statusLabel->setText(QStringLiteral("x"));

        Click(window->deleteButton);
        EXPECT_TRUE(window->Session().DeleteMode());
        EXPECT_EQ(TipsShown(), "tipsDeleting");
        EXPECT_EQ(window->statusLabel->text(),
                  QStringLiteral("请在左面遥控器上选择待删除的按键！"));
        EXPECT_EQ(NamedPictureShown(window->deleteButton), "stopdelete");

        Click(window->deleteButton);
        EXPECT_FALSE(window->Session().DeleteMode());
        EXPECT_EQ(TipsShown(), c.idleTips);
        EXPECT_EQ(window->statusLabel->text(), QString());
        EXPECT_EQ(NamedPictureShown(window->deleteButton), "delete");
        // Switching the mode never changes whether the buttons take clicks.
        EXPECT_TRUE(window->deleteButton->isEnabled());
        EXPECT_TRUE(window->clearButton->isEnabled());
        EXPECT_EQ(Writes(), 0);
    }
}

TEST_F(DeleteButtonsTest, InDeleteModeKeysWithoutALearnedCodeAreRefused) {
    struct Case {
        const char* name;
        RemoteImageBuilder remote;
        QStringList keys;
        QString refusal;
    };
    const std::vector<Case> cases = {
        {"downloaded keys", TwoLearnedKeys(), {"00", "33"}, kNotLearned},
        {"no key learned", NoneLearned(), {"00", "01", "30", "33"}, kNotLearned},
        {"a remote without keys",
         RemoteImageBuilder(),
         {"00", "30"},
         QStringLiteral("该键还没有自学习过，无法删除！")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenShown(c.remote);
        window->SetKeyControlsAvailable(true);
        Click(window->deleteButton);
        const Look before = Snapshot();

        for (const QString& key : c.keys) {
            prompter.ExpectInformation(c.refusal);
            Click(window->KeyButton(key));
            prompter.VerifyAllShown();
        }
        EXPECT_TRUE(Snapshot() == before);
        EXPECT_EQ(sim->CallCount(DeviceCall::kReadData), 0);
        EXPECT_EQ(Writes(), 0);
    }
}

TEST_F(DeleteButtonsTest, TwoKeysDeletedInTurnEndDeleteModeWithTheLast) {
    OpenShown(TwoLearnedKeys());
    PictureButton* keyA = window->KeyButton("30");
    PictureButton* keyB = window->KeyButton("01");
    ASSERT_EQ(KeyPictureShown(keyA), Learned(0x30));
    Click(window->deleteButton);

    prompter.ExpectQuestion(kDeleteQuestion, true).ExpectInformation(kDeleted);
    Click(keyA);
    prompter.VerifyAllShown();
    EXPECT_EQ(KeyPictureShown(keyA), NotLearned(0x30));
    EXPECT_TRUE(keyA->HasEnabledLook());
    EXPECT_EQ(SlotTextOf(d::kSlotOfKey30), "30|0");
    EXPECT_EQ(sim->MemoryHex(
                  0x08, d::kKeyTableAddress + remote_layout::kKeyEntryBytes * d::kSlotOfKey30, 1),
              "00");
    // Delete mode stays for the next key, with an empty status label.
    EXPECT_TRUE(window->Session().DeleteMode());
    EXPECT_EQ(window->statusLabel->text(), QString());
    EXPECT_TRUE(window->deleteButton->isEnabled());
    EXPECT_TRUE(window->clearButton->isEnabled());
    EXPECT_EQ(NamedPictureShown(window->deleteButton), "stopdelete");
    EXPECT_EQ(TipsShown(), "tipsDeleting");

    prompter.ExpectQuestion(kDeleteQuestion, true).ExpectInformation(kDeleted);
    Click(keyB);
    prompter.VerifyAllShown();
    EXPECT_EQ(KeyPictureShown(keyB), NotLearned(0x01));
    EXPECT_EQ(SlotTextOf(d::kSlotOfKey01), "01|0");
    ExpectIdleWithNoKeyLearned();
    // The downloaded keys keep their pictures; entry 2 went with key 30.
    EXPECT_EQ(KeyPictureShown(window->KeyButton("00")), Downloaded(0x00));
    EXPECT_EQ(KeyPictureShown(window->KeyButton("33")), Downloaded(0x33));
    const RemoteMemoryCheck check = CheckRemoteMemory(sim->Image());
    EXPECT_TRUE(check.Consistent());
    EXPECT_TRUE(check.warnings.empty());
}

TEST_F(DeleteButtonsTest, NoToTheQuestionWritesNothing) {
    OpenShown(TwoLearnedKeys());
    Click(window->deleteButton);
    Look expected = Snapshot();
    expected.status.clear();  // emptied before the question

    prompter.ExpectQuestion(kDeleteQuestion, false);
    Click(window->KeyButton("30"));
    prompter.VerifyAllShown();

    EXPECT_TRUE(Snapshot() == expected);
    EXPECT_EQ(Writes(), 0);
}

TEST_F(DeleteButtonsTest, ADeleteTheRemoteRefusesLeavesTheKeyLearned) {
    OpenShown(TwoLearnedKeys());
    Click(window->deleteButton);
    Look expected = Snapshot();
    expected.status.clear();
    sim->FailNthWrite(1);

    prompter.ExpectQuestion(kDeleteQuestion, true)
        .ExpectInformation(QStringLiteral("删除操作失败！"));
    Click(window->KeyButton("30"));
    prompter.VerifyAllShown();

    EXPECT_TRUE(Snapshot() == expected);
    EXPECT_FALSE(window->KeyButton("30")->HasEnabledLook());
    EXPECT_TRUE(CheckRemoteMemory(sim->Image()).Consistent());
}

// The default remote with keys 02, 05 and 09 learned besides 30: 05 and 09 share entry 5.
RemoteImageBuilder LearnedInSlots2_5_9() {
    return RemoteImageBuilder::DefaultRemote()
        .CodeEntry(5, "123456", 16, 3)
        .KeyEntry(2, kLearnedDirect)
        .KeyEntry(5, LearnedInEntry(5))
        .KeyEntry(9, LearnedInEntry(5));
}

TEST_F(DeleteButtonsTest, ClearTakesEveryLearnedKeyOffInSlotOrderAndLeavesNothingBehind) {
    OpenShown(LearnedInSlots2_5_9());
    const std::vector<KeySlot> before = KeySlots();

    prompter.ExpectQuestion(kClearQuestion, true).ExpectInformation(kClearDone);
    Click(window->clearButton);
    prompter.VerifyAllShown();

    // The key entries in slot order; the region once entry 5 and once entry 2 is free.
    std::vector<int> keyWrites;
    for (const RemoteWrite& write : sim->Writes()) {
        if (write.address != d::kCodeTableAddress)
            keyWrites.push_back((write.address - d::kKeyTableAddress) /
                                remote_layout::kKeyEntryBytes);
    }
    EXPECT_EQ(keyWrites, (std::vector<int>{2, 2, 5, 5, 9, 9, 28, 28}));
    EXPECT_EQ(sim->Writes().size(), 10u);
    for (std::size_t slot = 0; slot < before.size(); ++slot) {
        const KeySlot& was = before[slot];
        EXPECT_EQ(KeySlots()[slot],
                  was.state == SlotState::kLearned ? NotLearnedSlot(was.keyCode) : was);
    }
    EXPECT_EQ(window->statusLabel->text(), kClearDone);
    EXPECT_EQ(KeyPictureShown(window->KeyButton("30")), NotLearned(0x30));
    EXPECT_TRUE(window->KeyButton("30")->HasEnabledLook());
    EXPECT_EQ(KeyPictureShown(window->KeyButton("00")), Downloaded(0x00));
    EXPECT_EQ(KeyPictureShown(window->KeyButton("33")), Downloaded(0x33));
    ExpectIdleWithNoKeyLearned();
    // No entry or unit stays claimed without a key.
    const RemoteMemoryCheck check = CheckRemoteMemory(sim->Image());
    EXPECT_TRUE(check.Consistent());
    EXPECT_TRUE(check.warnings.empty()) << check.warnings.front();
}

TEST_F(DeleteButtonsTest, AKeyTheRemoteWillNotClearKeepsItsPictureAndTheUserIsTold) {
    OpenShown(LearnedInSlots2_5_9());
    // Both status writes of key 30, the fourth learned key: writes 8 and 9, after the region
    // that frees entry 5.
    int calls = 0;
    sim->SetWriteObserver([&calls](const RemoteImage&) {
        ++calls;
        return calls != 8 && calls != 9;
    });
    const QString incomplete = QStringLiteral("清空操作未全部完成，有些按键的编码未能清空！");

    prompter.ExpectQuestion(kClearQuestion, true).ExpectInformation(incomplete);
    Click(window->clearButton);
    prompter.VerifyAllShown();

    EXPECT_EQ(window->statusLabel->text(), incomplete);
    EXPECT_EQ(KeyPictureShown(window->KeyButton("30")), Learned(0x30));
    EXPECT_EQ(KeySlots()[d::kSlotOfKey30].state, SlotState::kLearned);
    EXPECT_EQ(SlotTextOf(9), "09|0");
    // Key 30 is still learned: both buttons stay, and so do the tips for learned keys.
    EXPECT_TRUE(window->deleteButton->isEnabled());
    EXPECT_TRUE(window->clearButton->isEnabled());
    EXPECT_EQ(NamedPictureShown(window->deleteButton), "delete");
    EXPECT_EQ(TipsShown(), "tipsSomeLearned");
    EXPECT_TRUE(CheckRemoteMemory(sim->Image()).Consistent());
}

TEST_F(DeleteButtonsTest, ClearRefusesInDeleteModeWithNothingLearnedAndOnNo) {
    struct Case {
        const char* name;
        RemoteImageBuilder remote;
        bool deleteMode;
        QString text;
        bool question;
    };
    const std::vector<Case> cases = {
        {"delete mode", TwoLearnedKeys(), true,
         QStringLiteral("现在是删除单个遥控器按键编码状态，要清空请先点击\"停止删除\"按钮！"),
         false},
        {"nothing learned", NoneLearned(), false, QStringLiteral("没有可清空的按键的编码！"),
         false},
        {"no to the question", TwoLearnedKeys(), false, kClearQuestion, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenShown(c.remote);
        window->SetKeyControlsAvailable(true);
        if (c.deleteMode)
            Click(window->deleteButton);
        const Look before = Snapshot();

        if (c.question)
            prompter.ExpectQuestion(c.text, false);
        else
            prompter.ExpectInformation(c.text);
        Click(window->clearButton);
        prompter.VerifyAllShown();

        EXPECT_TRUE(Snapshot() == before);
        EXPECT_EQ(Writes(), 0);
    }
}

}  // namespace
