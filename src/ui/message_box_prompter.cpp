#include "ui/message_box_prompter.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "ui/texts.h"

namespace {

// The boxes' buttons speak the program's language, as the system's own boxes do on the user's
// desktop; Qt's own labels would be English without a translation of Qt's installed.
void LabelButtons(QMessageBox& box) {
    const struct {
        QMessageBox::StandardButton button;
        const texts::Text& text;
    } labels[] = {{QMessageBox::Ok, texts::kOkButton},
                  {QMessageBox::Cancel, texts::kCancelButton},
                  {QMessageBox::Yes, texts::kYesButton},
                  {QMessageBox::No, texts::kNoButton},
                  {QMessageBox::Retry, texts::kRetryButton}};
    for (const auto& label : labels)
        if (QAbstractButton* button = box.button(label.button))
            button->setText(label.text);
}

// What the window manager's title bar needs besides the caption: its icon, its buttons and
// their margins, as the common desktops draw them.
constexpr int kTitleBarRoom = 140;

// A box sizes itself to its text and buttons alone; a short text would leave the caption cut
// off in the title bar ("雁…"). The title bar's font is the window manager's: taken here as
// the box's own, bold and a little larger, which is what the common desktops use.
void MakeRoomForCaption(QMessageBox& box, const QString& caption) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    else
        titleFont.setPixelSize(titleFont.pixelSize() * 6 / 5);
    const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// Escape and the window's close button answer with the last button (No, Cancel), never with
// the one that goes on.
QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                const QString& caption, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton,
                                QMessageBox::StandardButton escapeButton) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
    LabelButtons(box);
    MakeRoomForCaption(box, caption);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void MessageBoxPrompter::Information(const QString& text, const QString& caption) {
    Ask(parent_, QMessageBox::Information, text, caption, QMessageBox::Ok, QMessageBox::Ok,
        QMessageBox::Ok);
}

bool MessageBoxPrompter::Question(const QString& text, const QString& caption) {
    return Ask(parent_, QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes, QMessageBox::No) == QMessageBox::Yes;
}

bool MessageBoxPrompter::RetryCancel(const QString& text, const QString& caption) {
    return Ask(parent_, QMessageBox::Warning, text, caption,
               QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry,
               QMessageBox::Cancel) == QMessageBox::Retry;
}

bool MessageBoxPrompter::OkCancel(const QString& text, const QString& caption) {
    return Ask(parent_, QMessageBox::Question, text, caption, QMessageBox::Ok | QMessageBox::Cancel,
               QMessageBox::Ok, QMessageBox::Cancel) == QMessageBox::Ok;
}

void MessageBoxPrompter::PlainMessage(const QString& text) {
    Ask(parent_, QMessageBox::NoIcon, text, texts::kApplicationTitle, QMessageBox::Ok,
        QMessageBox::Ok, QMessageBox::Ok);
}
