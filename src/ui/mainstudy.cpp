#include "mainstudy.h"

#include <QMetaObject>
#include <QShowEvent>

Tmainkeylearn::Tmainkeylearn(DeviceLibrary& device, Prompter& prompter, QWidget* parent)
    : QWidget(parent), device(device), prompter(prompter) {
    setObjectName(QStringLiteral("mainkeylearn"));
    BuildLayout();
    FormCreate();
}

Tmainkeylearn::~Tmainkeylearn() = default;

void Tmainkeylearn::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce && !event->spontaneous()) {
        shownOnce = true;
        FormShow();
    }
}

void Tmainkeylearn::FormShow() {
    // A window whose start-up failed closes as soon as it is shown, which ends the program.
    // The close is queued: closing from inside the show would leave the show half done.
    if (startupFailed) {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return;
    }
}
