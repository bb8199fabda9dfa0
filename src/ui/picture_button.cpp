#include "ui/picture_button.h"

#include <QEvent>
#include <QImage>
#include <QMetaProperty>
#include <QMouseEvent>
#include <cstring>

#include "platform/desktop_shell.h"

PictureButton::PictureButton(QWidget* parent) : PictureView(parent) {
    // The button's own cursor would be the program's "CUR" resource, which the program does
    // not carry; what shows in its place is the default arrow.
    setCursor(Qt::ArrowCursor);
    resize(80, 25);
    // Mouse moves without a held button reach the owner's move handlers.
    setMouseTracking(true);
}

void PictureButton::SetMoveDown(quint8 pixels) {
    if (moveDown_ != pixels)
        moveDown_ = pixels;
}

void PictureButton::SetMoveRight(quint8 pixels) {
    if (moveRight_ != pixels)
        moveRight_ = pixels;
}

void PictureButton::SetEnabledLook(bool enabled) {
    if (enabled) {
        SetPicture(savedPicture_);
    } else {
        savedPicture_ = Picture();
        SetPicture(disablePic_);
    }
    enabledLook_ = enabled;
}

bool PictureButton::IsPropertyStored(const char* name) const {
    if (std::strcmp(name, "MoveDown") == 0 || std::strcmp(name, "MoveRight") == 0)
        return true;
    if (std::strcmp(name, "Path") == 0)
        return !label_.isEmpty();
    if (std::strcmp(name, "IsEnable") == 0)
        return !enabledLook_;
    if (std::strcmp(name, "DisablePic") == 0)
        return !disablePic_.isNull();
    if (std::strcmp(name, "Code") == 0)
        return !code_.isEmpty();
    return false;
}

QList<QPair<QByteArray, QVariant>> PictureButton::StoredProperties() const {
    QList<QPair<QByteArray, QVariant>> stored;
    const QMetaObject* meta = &PictureButton::staticMetaObject;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (IsPropertyStored(property.name()))
            stored.append({QByteArray(property.name()), property.read(this)});
    }
    return stored;
}

void PictureButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        clickArmed_ = true;
    Press(event);
}

// The platform reports a double click as press, release, double click, release. The double
// click stands for the second press: it moves the button and asks the shell again, but it
// never becomes a second click.
void PictureButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    Press(event);
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::LeftButton && clickArmed_) {
        clickArmed_ = false;
        if (rect().contains(position))
            emit clicked();
    }
    emit mouseUp(event->button(), event->modifiers(), position);
    MoveBack();
}

void PictureButton::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event->modifiers(), event->position().toPoint());
}

// A button disabled or hidden while pressed gets no release any more; it goes back to its
// place at once instead of staying pressed for good.
void PictureButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        MoveBackAll();
    PictureView::changeEvent(event);
}

void PictureButton::hideEvent(QHideEvent* event) {
    MoveBackAll();
    PictureView::hideEvent(event);
}

void PictureButton::SetUnavailablePicture(const QPixmap& picture) {
    unavailablePicture_ = picture;
    if (!isEnabled())
        update();
}

void PictureButton::paintEvent(QPaintEvent* event) {
    if (isEnabled()) {
        PictureView::paintEvent(event);
        return;
    }
    PaintPicture(unavailablePicture_.isNull() ? GreyPicture() : unavailablePicture_);
}

const QPixmap& PictureButton::GreyPicture() {
    const QPixmap& picture = Picture();
    if (picture.isNull())
        return picture;
    if (picture.cacheKey() == greyPictureSource_ && !greyPicture_.isNull())
        return greyPicture_;
    // The picture's brightness in grey, its transparency kept: a grey picture stays as it is.
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    greyPicture_ = QPixmap::fromImage(image);
    greyPictureSource_ = picture.cacheKey();
    return greyPicture_;
}

void PictureButton::Press(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    MovePressed();
    AskShell();
}

void PictureButton::MovePressed() {
    ++heldPresses_;
    move(x(), y() + moveDown_);
    move(x() + moveRight_, y());
}

void PictureButton::MoveBack() {
    if (heldPresses_ == 0)
        return;
    --heldPresses_;
    move(x(), y() - moveDown_);
    move(x() - moveRight_, y());
}

void PictureButton::MoveBackAll() {
    clickArmed_ = false;
    while (heldPresses_ > 0)
        MoveBack();
}

void PictureButton::AskShell() {
    if (label_.isEmpty())
        return;
    DesktopShell& shell = shell_ ? *shell_ : SystemDesktopShell();
    if (OpenExistingFileWithShell(shell, label_) == ShellOpenResult::kFolderNotEntered)
        emit folderNotEntered(label_);
}
