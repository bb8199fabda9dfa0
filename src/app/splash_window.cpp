#include "app/splash_window.h"

#include <QFile>
#include <QFont>
#include <QPalette>

#include "platform/picture_cache.h"
#include "skins/window_art.h"
#include "ui/picture_view.h"
#include "ui/texts.h"

QPixmap SplashPicture(PictureCache* cache) {
    // Through the program's own readers, as every other picture: Qt's GIF reader takes several
    // times as long, and the splash is the first thing the user waits for.
    QFile file(window_art::kSplash);
    if (!file.open(QIODevice::ReadOnly))
        return QPixmap();
    return QPixmap::fromImage(DecodeThrough(cache, file.readAll()));
}

SplashWindow::SplashWindow(PictureCache* cache, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("splashWindow"));
    setWindowTitle(texts::kSplashTitle);
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
    picture = new PictureView(this);
    picture->setObjectName(QStringLiteral("splashPicture"));
    picture->setGeometry(rect());
    picture->SetPicture(SplashPicture(cache));
}
