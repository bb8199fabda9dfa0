#include "message_box_prompter.h"

#include <QMessageBox>

namespace {

// Escape and the window's close button answer with the last button (No, Cancel), never with
// the one that goes on.
QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& text,
                                const QString& caption, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton,
                                QMessageBox::StandardButton escapeButton) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(escapeButton);
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
    Ask(parent_, QMessageBox::NoIcon, text, kApplicationTitle, QMessageBox::Ok, QMessageBox::Ok,
        QMessageBox::Ok);
}
