// The program's prompts are real modal boxes: each kind must offer exactly its buttons and
// caption, and the answer must follow the button pressed. A timer inspects the open box and
// presses one of its buttons, so no test waits on a user.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "ui/message_box_prompter.h"

namespace {

struct SeenBox {
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QStringList labels;  // the buttons' texts, in the order of the standard buttons
    int width = 0;
    int titleWidth = 0;  // the caption in the box's font, bold
};

// Runs prompt while a timer looks at the box it opens and presses `press`.
SeenBox Answer(const std::function<void()>& prompt, QMessageBox::StandardButton press) {
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no message box open";
            return;
        }
        QFont bold = box->font();
        bold.setBold(true);
        seen = {box->windowTitle(),     box->text(),
                box->standardButtons(), {},
                box->width(),           QFontMetrics(bold).horizontalAdvance(box->windowTitle())};
        for (QAbstractButton* b : box->buttons())
            seen.labels << b->text();
        std::sort(seen.labels.begin(), seen.labels.end());
        QAbstractButton* button = box->button(press);
        if (button == nullptr) {
            ADD_FAILURE() << "the box has no such button";
            box->done(QMessageBox::Cancel);
            return;
        }
        button->click();
    });
    prompt();
    return seen;
}

TEST(MessageBoxPrompter, EachKindOffersItsButtonsAndAnswersByThem) {
    MessageBoxPrompter prompter;
    const QString caption = QStringLiteral("提示");
    bool answer = false;

    SeenBox box =
        Answer([&] { prompter.Information(QStringLiteral("info"), caption); }, QMessageBox::Ok);
    EXPECT_EQ(box.title, caption);
    EXPECT_EQ(box.text, QStringLiteral("info"));
    EXPECT_EQ(box.buttons, QMessageBox::Ok);

    EXPECT_EQ(box.labels, QStringList{QStringLiteral("确定")});

    struct Case {
        std::function<bool()> ask;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton yes;
        QMessageBox::StandardButton no;
        QStringList labels;  // sorted
    } cases[] = {
        {[&] { return prompter.Question(QStringLiteral("q"), caption); },
         QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes,
         QMessageBox::No,
         {QStringLiteral("否"), QStringLiteral("是")}},
        {[&] { return prompter.RetryCancel(QStringLiteral("q"), caption); },
         QMessageBox::Retry | QMessageBox::Cancel,
         QMessageBox::Retry,
         QMessageBox::Cancel,
         {QStringLiteral("取消"), QStringLiteral("重试")}},
        {[&] { return prompter.OkCancel(QStringLiteral("q"), caption); },
         QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Ok,
         QMessageBox::Cancel,
         {QStringLiteral("取消"), QStringLiteral("确定")}},
    };
    for (Case& c : cases) {
        std::sort(c.labels.begin(), c.labels.end());
        box = Answer([&] { answer = c.ask(); }, c.yes);
        EXPECT_EQ(box.buttons, c.buttons);
        EXPECT_EQ(box.labels, c.labels);
        EXPECT_EQ(box.title, caption);
        EXPECT_TRUE(answer);
        Answer([&] { answer = c.ask(); }, c.no);
        EXPECT_FALSE(answer);
    }

    box = Answer([&] { prompter.PlainMessage(QStringLiteral("plain")); }, QMessageBox::Ok);
    EXPECT_EQ(box.title, QStringLiteral("雁湖智联遥控器"));
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
}

// A short text alone makes a narrow box, in whose title bar the caption is cut off ("雁…"):
// every box leaves room for its caption and the title bar's buttons.
TEST(MessageBoxPrompter, EveryBoxIsWideEnoughForItsCaption) {
    MessageBoxPrompter prompter;
    const SeenBox plain =
        Answer([&] { prompter.PlainMessage(QStringLiteral("学习失败！")); }, QMessageBox::Ok);
    EXPECT_EQ(plain.title, QStringLiteral("雁湖智联遥控器"));
    EXPECT_GE(plain.width, plain.titleWidth + 100);
    const SeenBox info =
        Answer([&] { prompter.Information(QStringLiteral("ok"), QStringLiteral("提示")); },
               QMessageBox::Ok);
    EXPECT_GE(info.width, info.titleWidth + 100);
}

}  // namespace
