#include "skins/artgen/art_style.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

QFont Cjk(qreal pixelSize, bool bold) {
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont Latin(qreal pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(static_cast<int>(std::lround(pixelSize)));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QImage NewCanvas(int width, int height, QColor fill) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

namespace {

// Three box blurs in each direction come close to a Gaussian.
void BoxBlur(QImage& image, int radius) {
    if (radius < 1)
        return;
    const int w = image.width(), h = image.height();
    std::vector<int> sums(4);
    std::vector<QRgb> line;
    auto blurLine = [&](auto get, auto set, int length) {
        line.resize(static_cast<std::size_t>(length));
        for (int i = 0; i < length; ++i)
            line[static_cast<std::size_t>(i)] = get(i);
        for (int i = 0; i < length; ++i) {
            int a = 0, r = 0, g = 0, b = 0, n = 0;
            for (int k = std::max(0, i - radius); k <= std::min(length - 1, i + radius); ++k) {
                const QRgb p = line[static_cast<std::size_t>(k)];
                a += qAlpha(p), r += qRed(p), g += qGreen(p), b += qBlue(p), ++n;
            }
            set(i, qRgba(r / n, g / n, b / n, a / n));
        }
    };
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            blurLine([&](int i) { return row[i]; }, [&](int i, QRgb p) { row[i] = p; }, w);
        }
        for (int x = 0; x < w; ++x) {
            blurLine([&](int i) { return reinterpret_cast<QRgb*>(image.scanLine(i))[x]; },
                     [&](int i, QRgb p) { reinterpret_cast<QRgb*>(image.scanLine(i))[x] = p; }, h);
        }
    }
}

}  // namespace

void DropShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, qreal blur,
                QColor colour) {
    const int margin = static_cast<int>(std::ceil(blur * 2)) + 2;
    const QRectF bounds = shape.boundingRect().adjusted(-margin, -margin, margin, margin);
    QImage shadow(static_cast<int>(std::ceil(bounds.width())),
                  static_cast<int>(std::ceil(bounds.height())),
                  QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter p(&shadow);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-bounds.topLeft());
        p.fillPath(shape, colour);
    }
    BoxBlur(shadow, static_cast<int>(std::lround(blur / 2)));
    painter.drawImage(bounds.topLeft() + offset, shadow);
}

QString Word(const char* source) {
    return QCoreApplication::translate("artwork", source);
}

QFont Fitted(QFont font, const QString& text, qreal width) {
    while (font.pixelSize() > 7 && QFontMetricsF(font).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

void DrawCentred(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
                 QColor colour) {
    DrawText(painter, rect, Qt::AlignCenter, text, font, colour);
}

void DrawText(QPainter& painter, const QRectF& rect, int flags, const QString& text,
              const QFont& font, QColor colour) {
    painter.save();
    painter.setFont(Fitted(font, text, rect.width()));
    painter.setPen(colour);
    painter.drawText(rect, flags, text);
    painter.restore();
}

void PowerIcon(QPainter& painter, QPointF centre, qreal radius, QColor colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, radius * 0.28, Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    // Qt counts arc angles in sixteenths of a degree, counter-clockwise from three o'clock.
    painter.drawArc(ring, 120 * 16, -300 * 16);
    painter.drawLine(QPointF(centre.x(), centre.y() - radius * 1.15),
                     QPointF(centre.x(), centre.y() - radius * 0.15));
    painter.restore();
}

void MuteIcon(QPainter& painter, QPointF centre, qreal size, QColor colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(centre);
    const qreal s = size / 2;
    QPainterPath speaker;
    speaker.moveTo(-s, -s * 0.35);
    speaker.lineTo(-s * 0.45, -s * 0.35);
    speaker.lineTo(s * 0.15, -s * 0.9);
    speaker.lineTo(s * 0.15, s * 0.9);
    speaker.lineTo(-s * 0.45, s * 0.35);
    speaker.lineTo(-s, s * 0.35);
    speaker.closeSubpath();
    painter.fillPath(speaker, colour);
    painter.setPen(QPen(colour, std::max<qreal>(1.2, size * 0.11), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(s * 0.42, -s * 0.38), QPointF(s * 1.05, s * 0.38));
    painter.drawLine(QPointF(s * 0.42, s * 0.38), QPointF(s * 1.05, -s * 0.38));
    painter.restore();
}

// A rounded tile with a remote's emitter sending three waves: the program's mark.
void IrEmblem(QPainter& painter, const QRectF& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(rect, rect.width() * 0.26, rect.width() * 0.26);
    DropShadow(painter, tile, QPointF(0, rect.height() * 0.05), rect.width() * 0.12,
               QColor(5, 25, 45, 120));
    QLinearGradient fill(rect.topLeft(), rect.bottomRight());
    fill.setColorAt(0, QColor(94, 200, 255));
    fill.setColorAt(1, QColor(32, 110, 220));
    painter.fillPath(tile, fill);
    painter.strokePath(tile, QPen(QColor(255, 255, 255, 90), 1));

    const qreal u = rect.width() / 10;
    const QPointF emitter(rect.left() + 3.2 * u, rect.bottom() - 3.2 * u);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(emitter, 0.9 * u, 0.9 * u);
    painter.setBrush(Qt::NoBrush);
    for (int wave = 1; wave <= 3; ++wave) {
        const qreal r = (1.2 + 1.55 * wave) * u;
        painter.setPen(QPen(QColor(255, 255, 255, 255 - 50 * (wave - 1)), 0.75 * u, Qt::SolidLine,
                            Qt::RoundCap));
        painter.drawArc(QRectF(emitter.x() - r, emitter.y() - r, 2 * r, 2 * r), 5 * 16, 80 * 16);
    }
    painter.restore();
}

}  // namespace art
