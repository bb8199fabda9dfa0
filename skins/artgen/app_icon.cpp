#include "skins/artgen/app_icon.h"

#include <QPainter>

#include "skins/artgen/art_style.h"
#include "skins/artgen/remote_art.h"

namespace art {

QImage AppIcon() {
    QImage icon = NewCanvas(kAppIconSize, kAppIconSize);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Tilted, the long remote fills the square's diagonal and stays large enough to read at
    // the small sizes menus scale it to.
    const QImage remote = RemoteInBox([](int) { return KeyLook::kPlain; });
    constexpr qreal kScale = 0.335;
    painter.save();
    painter.translate(kAppIconSize * 0.44, kAppIconSize * 0.5);
    painter.rotate(35);
    painter.scale(kScale, kScale);
    painter.drawImage(QPointF(-remote.width() / 2.0, -remote.height() / 2.0), remote);
    painter.restore();
    IrEmblem(painter, QRectF(kAppIconSize - 104, kAppIconSize - 104, 96, 96));
    return icon;
}

}  // namespace art
