#include "ui/picture_view.h"

#include <QPainter>

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureView::SetStretch(bool stretch) {
    if (stretch_ == stretch)
        return;
    stretch_ = stretch;
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    PaintPicture(picture_);
}

void PictureView::PaintPicture(const QPixmap& picture) {
    if (picture.isNull())
        return;
    QPainter painter(this);
    if (stretch_) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), picture);
    } else {
        painter.drawPixmap(0, 0, picture);
    }
}
