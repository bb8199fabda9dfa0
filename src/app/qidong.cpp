#include "qidong.h"

#include <QFont>
#include <QPalette>

#include "picture_view.h"
#include "window_art.h"

QPixmap SplashPicture() {
    return QPixmap(window_art::kSplash);
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
