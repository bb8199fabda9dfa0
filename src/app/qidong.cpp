#include "qidong.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>

#include "picture_view.h"

namespace {

constexpr int kPictureWidth = 460;
constexpr int kPictureHeight = 260;

// Drawn when the program carries no splash artwork: the title on a blue field with the outline
// of a remote, at the artwork's size.
QPixmap PaintedSplash() {
    QPixmap picture(kPictureWidth, kPictureHeight);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient field(0, 0, 0, kPictureHeight);
    field.setColorAt(0, QColor(53, 124, 168));
    field.setColorAt(1, QColor(20, 60, 96));
    painter.fillRect(picture.rect(), field);

    painter.setPen(QPen(QColor(230, 236, 242), 2));
    painter.setBrush(QColor(40, 44, 52));
    painter.drawRoundedRect(QRectF(352, 28, 64, 208), 24, 24);
    painter.setBrush(QColor(200, 40, 40));
    painter.drawEllipse(QPointF(384, 60), 9, 9);
    painter.setBrush(QColor(150, 156, 166));
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 3; ++column)
            painter.drawEllipse(QPointF(368 + 16 * column, 100 + 24 * row), 5, 5);

    painter.setPen(Qt::white);
    QFont title;
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(24, 70, 320, 48), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("雁湖智联遥控器"));
    QFont subtitle;
    subtitle.setPixelSize(18);
    painter.setFont(subtitle);
    painter.drawText(QRect(24, 124, 320, 32), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("遥控器自学习软件  V 2.3"));
    return picture;
}

}  // namespace

QPixmap SplashPicture() {
    QPixmap picture(QStringLiteral(":/splash/qidong.gif"));
    return picture.isNull() ? PaintedSplash() : picture;
}

TForm1::TForm1(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("启动界面"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
    setFixedSize(462, 258);
    move(299, 198);

    // Unscaled from the top-left corner: the picture's last two rows are cut off and a strip of
    // the form's colour shows at the right.
    Image1 = new PictureView(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(rect());
    Image1->SetPicture(SplashPicture());
}
