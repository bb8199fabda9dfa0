#include "skins/artgen/window_art.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>

#include "skins/artgen/art_style.h"
#include "skins/artgen/remote_art.h"

namespace art {
namespace {

QPainterPath RoundedPath(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A quiet card on the background: darker glass with a hairline rim.
void Card(QPainter& painter, const QRectF& rect, qreal radius) {
    const QPainterPath card = RoundedPath(rect, radius);
    painter.fillPath(card, QColor(6, 34, 62, 72));
    painter.strokePath(card, QPen(QColor(255, 255, 255, 46), 1));
}

void PaintBrandColumn(QPainter& painter) {
    IrEmblem(painter, QRectF(49, 22, 48, 48));
    DrawCentred(painter, QRectF(0, 76, 146, 22), Word(QT_TRANSLATE_NOOP("artwork", "雁湖智联")),
                Cjk(16, true), Qt::white);
    QFont small = Latin(8);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
    DrawCentred(painter, QRectF(0, 98, 146, 14), QStringLiteral("YANHU SMART LINK"), small,
                kSoftText);
}

void PaintLegend(QPainter& painter) {
    Card(painter, QRectF(12, 572, 122, 146), 10);
    DrawText(painter, QRectF(24, 582, 100, 20), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "按键状态")), Cjk(13, true), Qt::white);
    painter.setPen(QPen(QColor(255, 255, 255, 40), 1));
    painter.drawLine(QPointF(24, 607.5), QPointF(122, 607.5));
    const struct {
        KeyLook look;
        const char* caption;
    } rows[] = {{KeyLook::kLearned, QT_TRANSLATE_NOOP("artwork", "已学习")},
                {KeyLook::kDownloaded, QT_TRANSLATE_NOOP("artwork", "已下载")},
                {KeyLook::kEmpty, QT_TRANSLATE_NOOP("artwork", "无编码")}};
    qreal top = 618;
    for (const auto& row : rows) {
        PaintKeyMark(painter, QRectF(26, top, 30, 20), row.look);
        DrawText(painter, QRectF(66, top - 2, 66, 24), Qt::AlignLeft | Qt::AlignVCenter,
                 Word(row.caption), Cjk(13), kCaption);
        top += 32;
    }
}

// Left behind when the remote's box is hidden because the remote went away.
void PaintRemoteGhost(QPainter& painter) {
    QPen dashed(QColor(255, 255, 255, 70), 1.5, Qt::DashLine);
    dashed.setDashPattern({6, 5});
    painter.strokePath(RoundedPath(QRectF(156.5, 4.5, 177, 722), 40), dashed);
    DrawCentred(painter, QRectF(146, 340, 197, 24),
                Word(QT_TRANSLATE_NOOP("artwork", "遥控器未连接")), Cjk(15),
                QColor(255, 255, 255, 150));
    DrawCentred(painter, QRectF(146, 366, 197, 20),
                Word(QT_TRANSLATE_NOOP("artwork", "请用USB线连接遥控器")), Cjk(12),
                QColor(255, 255, 255, 110));
}

void PaintTitle(QPainter& painter) {
    IrEmblem(painter, QRectF(470, 24, 54, 54));
    DrawText(painter, QRectF(538, 20, 420, 40), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "遥控器按键自学习")), Cjk(30, true), Qt::white);
    DrawText(painter, QRectF(540, 60, 420, 20), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "红外编码学习  ·  雁湖智联遥控器")), Cjk(13),
             kSoftText);
}

// Captions of the four information labels, each centred on its label's row.
void PaintInformationCard(QPainter& painter) {
    Card(painter, QRectF(468, 102, 420, 152), 12);
    const struct {
        qreal top, height;
        const char* caption;
    } rows[] = {{118, 15, QT_TRANSLATE_NOOP("artwork", "遥控器类型：")},
                {152, 17, QT_TRANSLATE_NOOP("artwork", "软件版本：")},
                {188, 17, QT_TRANSLATE_NOOP("artwork", "固件版本：")},
                {226, 15, QT_TRANSLATE_NOOP("artwork", "连接状态：")}};
    for (const auto& row : rows) {
        const qreal centre = row.top + row.height / 2;
        DrawText(painter, QRectF(484, centre - 11, 116, 22), Qt::AlignRight | Qt::AlignVCenter,
                 Word(row.caption), Cjk(13), kCaption);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(120, 200, 250));
        painter.drawEllipse(QPointF(490, centre), 2.5, 2.5);
    }
    painter.setPen(QPen(QColor(255, 255, 255, 30), 1));
    for (qreal y : {143.5, 178.5, 215.5})
        painter.drawLine(QPointF(484, y), QPointF(872, y));
}

void PaintPanel(QPainter& painter) {
    const QRectF frame(468, 272, 420, 310);
    const QPainterPath panel = RoundedPath(frame, 12);
    DropShadow(painter, panel, QPointF(0, 4), 10, QColor(4, 24, 44, 130));
    painter.fillPath(panel, kPanelBlue);
    painter.strokePath(RoundedPath(frame.adjusted(0.5, 0.5, -0.5, -0.5), 12), QPen(kPanelFrame, 2));
    painter.setPen(QPen(QColor(255, 255, 255, 50), 1));
    painter.drawLine(QPointF(484, 404.5), QPointF(872, 404.5));
}

void PaintToolbar(QPainter& painter) {
    Card(painter, QRectF(418, 624, 520, 62), 14);
}

// A faint light over the information side. It fades out before the remote's box, whose flat
// colour would otherwise stand out against it, and before the window's edges, which stay the
// window's own colour.
void PaintLight(QPainter& painter) {
    QRadialGradient light(QPointF(690, 250), 340);
    light.setColorAt(0, QColor(255, 255, 255, 34));
    light.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(QRectF(0, 0, 1024, 734), light);
}

// The largest size up to wanted at which every line fits the width.
qreal FittingSize(const QStringList& lines, qreal width, qreal wanted) {
    qreal size = wanted;
    for (const QString& line : lines)
        while (size > 9 && QFontMetricsF(Cjk(size)).horizontalAdvance(line) > width)
            size -= 0.5;
    return size;
}

}  // namespace

QImage Background() {
    QImage image(kBackgroundSize, QImage::Format_RGB32);
    image.fill(kWindowBlue);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintLight(painter);
    PaintBrandColumn(painter);
    PaintLegend(painter);
    PaintRemoteGhost(painter);
    PaintTitle(painter);
    PaintInformationCard(painter);
    PaintPanel(painter);
    PaintToolbar(painter);
    return image;
}

QImage OverBackground(const QImage& background, const QImage& picture, QPoint place) {
    QImage flat = background.copy(QRect(place, picture.size()))
                      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, picture);
    }
    QImage result = flat.convertToFormat(QImage::Format_ARGB32);
    const QImage alpha = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(alpha.constScanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if (qAlpha(in[x]) == 0)
                out[x] = 0;
    }
    return result;
}

QImage TipsPanel(Tips tips, QSize size) {
    QStringList lines;
    QString note;
    switch (tips) {
        case Tips::kIdleEmpty:
            lines = {
                Word(QT_TRANSLATE_NOOP("artwork", "如需学习按键编码，请点击“开始学习”按钮。"))};
            break;
        case Tips::kIdleLearned:
            lines = {
                Word(QT_TRANSLATE_NOOP("artwork", "如需学习按键编码，请点击“开始学习”按钮；")),
                Word(QT_TRANSLATE_NOOP("artwork", "如需删除已学习的编码，请点击“删除”按钮；")),
                Word(QT_TRANSLATE_NOOP("artwork", "如需清空全部已学习的编码，请点击“清空”按钮。"))};
            break;
        case Tips::kLearning:
            lines = {Word(QT_TRANSLATE_NOOP("artwork", "在左面遥控器图片上点击要学习的按键；")),
                     Word(QT_TRANSLATE_NOOP("artwork",
                                            "按动画提示，用原遥控器对准本遥控器按下要复制的键；")),
                     Word(QT_TRANSLATE_NOOP("artwork", "重复以上步骤，继续学习其他按键；")),
                     Word(QT_TRANSLATE_NOOP("artwork", "学习完毕，请点击“停止学习”按钮；")),
                     Word(QT_TRANSLATE_NOOP("artwork", "每次按键请按住至少2秒钟。"))};
            note = Word(
                QT_TRANSLATE_NOOP("artwork", "注意：点击“停止学习”按钮之前，请勿拔下USB连接线！"));
            break;
        case Tips::kDeleting:
            lines = {Word(QT_TRANSLATE_NOOP("artwork",
                                            "在左面遥控器图片的红色按键中选择要删除的按键；")),
                     Word(QT_TRANSLATE_NOOP("artwork", "在弹出的对话框中确认删除；")),
                     Word(QT_TRANSLATE_NOOP("artwork", "重复以上步骤，继续删除其他按键；")),
                     Word(QT_TRANSLATE_NOOP("artwork", "删除完毕，请点击“停止删除”按钮。"))};
            note =
                Word(QT_TRANSLATE_NOOP("artwork", "注意：每次删除是否成功，都会弹出对话框提示。"));
            break;
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(kPanelBlue);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // Heading: an "i" badge and the title.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(94, 190, 245));
    painter.drawEllipse(QPointF(20, 16), 8, 8);
    DrawCentred(painter, QRectF(12, 8, 16, 16), QStringLiteral("i"), Latin(11, true), kPanelBlue);
    DrawText(painter, QRectF(34, 5, 300, 22), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "操作提示")), Cjk(14, true), kCaption);

    const qreal textLeft = 40;
    const qreal width = size.width() - textLeft - 8;
    QStringList all = lines;
    if (!note.isEmpty())
        all << note;
    const qreal fontSize = FittingSize(all, width, 13);
    const qreal step = lines.size() > 3 ? 21 : 26;
    qreal top = 32;
    for (int i = 0; i < lines.size(); ++i, top += step) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 40));
        painter.drawEllipse(QPointF(24, top + 9.5), 8, 8);
        DrawCentred(painter, QRectF(16, top + 1.5, 16, 16), QString::number(i + 1), Latin(10, true),
                    Qt::white);
        DrawText(painter, QRectF(textLeft, top, width, 19), Qt::AlignLeft | Qt::AlignVCenter,
                 lines[i], Cjk(fontSize), Qt::white);
    }
    if (!note.isEmpty())
        DrawText(painter, QRectF(16, top + 2, size.width() - 24, 19),
                 Qt::AlignLeft | Qt::AlignVCenter, note, Cjk(fontSize), kNoteAmber);
    return image;
}

QImage PillButton(const QString& text, QColor top, QColor bottom, PillIcon icon) {
    QImage image = NewCanvas(128, 38);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF face(3, 1.5, 122, 32);
    const QPainterPath pill = RoundedPath(face, 16);
    DropShadow(painter, pill, QPointF(0, 2), 4, QColor(0, 20, 40, 150));
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.fillPath(pill, fill);
    QLinearGradient shine(face.topLeft(), QPointF(face.left(), face.center().y()));
    shine.setColorAt(0, QColor(255, 255, 255, 70));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillPath(RoundedPath(face.adjusted(1, 1, -1, -face.height() / 2), 15), shine);
    painter.strokePath(pill, QPen(bottom.darker(130), 1));

    // Icon in a white disc at the left end.
    const QPointF disc(face.left() + 18, face.center().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawEllipse(disc, 10.5, 10.5);
    painter.setBrush(bottom);
    switch (icon) {
        case PillIcon::kStop:
            painter.drawRoundedRect(QRectF(disc.x() - 4.5, disc.y() - 4.5, 9, 9), 1.5, 1.5);
            break;
        case PillIcon::kPlay: {
            QPainterPath play;
            play.moveTo(disc.x() - 3.5, disc.y() - 5.5);
            play.lineTo(disc.x() + 6, disc.y());
            play.lineTo(disc.x() - 3.5, disc.y() + 5.5);
            play.closeSubpath();
            painter.fillPath(play, bottom);
            break;
        }
        case PillIcon::kMinus:
            painter.drawRoundedRect(QRectF(disc.x() - 5.5, disc.y() - 1.6, 11, 3.2), 1.2, 1.2);
            break;
        case PillIcon::kCross:
            painter.setPen(QPen(bottom, 2.6, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(disc + QPointF(-4, -4), disc + QPointF(4, 4));
            painter.drawLine(disc + QPointF(-4, 4), disc + QPointF(4, -4));
            break;
    }
    QFont font = Cjk(15, true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    DrawCentred(painter, QRectF(face.left() + 32, face.top(), face.width() - 38, face.height()),
                text, font, Qt::white);
    return image;
}

namespace {

void RefreshIcon(QPainter& painter, QPointF c) {
    painter.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const QRectF ring(c.x() - 8, c.y() - 8, 16, 16);
    painter.drawArc(ring, 40 * 16, 250 * 16);
    QPainterPath head;
    head.moveTo(c.x() + 8.6, c.y() - 9.5);
    head.lineTo(c.x() + 9.2, c.y() - 1.8);
    head.lineTo(c.x() + 1.8, c.y() - 3.8);
    head.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.fillPath(head, Qt::white);
}

}  // namespace

QImage StartLearningButton() {
    return PillButton(Word(QT_TRANSLATE_NOOP("artwork", "开始学习")), QColor(72, 220, 140),
                      QColor(22, 160, 88), PillIcon::kPlay);
}

QImage StopLearningButton() {
    return PillButton(Word(QT_TRANSLATE_NOOP("artwork", "停止学习")), QColor(255, 128, 100),
                      QColor(214, 62, 50), PillIcon::kStop);
}

QImage RoundIconButton(RoundButton which) {
    QImage image = NewCanvas(49, 42);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QPointF c(24.5, 20);
    QPainterPath disc;
    disc.addEllipse(c, 16, 16);
    DropShadow(painter, disc, QPointF(0, 1.5), 4, QColor(0, 20, 40, 130));
    if (which == RoundButton::kClose) {
        QLinearGradient red(c - QPointF(0, 16), c + QPointF(0, 16));
        red.setColorAt(0, QColor(250, 102, 104));
        red.setColorAt(1, QColor(208, 52, 60));
        painter.fillPath(disc, red);
    } else {
        QLinearGradient glass(c - QPointF(0, 16), c + QPointF(0, 16));
        glass.setColorAt(0, QColor(255, 255, 255, 80));
        glass.setColorAt(1, QColor(255, 255, 255, 30));
        painter.fillPath(disc, glass);
    }
    painter.setPen(QPen(QColor(255, 255, 255, 170), 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(c, 15.5, 15.5);
    switch (which) {
        case RoundButton::kHelp:
            DrawCentred(painter, QRectF(c.x() - 16, c.y() - 16, 32, 32), QStringLiteral("?"),
                        Latin(19, true), Qt::white);
            break;
        case RoundButton::kUpdate:
            RefreshIcon(painter, c);
            break;
        case RoundButton::kClose:
            painter.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(c + QPointF(-6, -6), c + QPointF(6, 6));
            painter.drawLine(c + QPointF(-6, 6), c + QPointF(6, -6));
            break;
    }
    return image;
}

QImage Splash() {
    QImage image(460, 260, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QLinearGradient sky(QPointF(0, 0), QPointF(460, 260));
    sky.setColorAt(0, QColor(14, 48, 82));
    sky.setColorAt(1, QColor(53, 124, 168));
    painter.fillRect(image.rect(), sky);
    // Waves leaving the remote's tip.
    const QPointF tip(330, 44);
    for (int wave = 1; wave <= 4; ++wave) {
        const qreal r = 26.0 * wave;
        painter.setPen(
            QPen(QColor(140, 210, 255, 120 - 22 * wave), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(tip.x() - r, tip.y() - r, 2 * r, 2 * r), 110 * 16, 70 * 16);
    }

    IrEmblem(painter, QRectF(22, 20, 40, 40));
    DrawText(painter, QRectF(72, 20, 200, 22), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "雁湖智联")), Cjk(18, true), Qt::white);
    QFont small = Latin(8);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
    DrawText(painter, QRectF(73, 43, 200, 14), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("YANHU SMART LINK"), small, kSoftText);

    DrawText(painter, QRectF(24, 92, 300, 40), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "遥控器按键自学习")), Cjk(30, true), Qt::white);
    DrawText(painter, QRectF(26, 136, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "学习任意红外遥控器的按键编码")), Cjk(13), kCaption);
    DrawText(painter, QRectF(26, 220, 300, 18), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "V 2.3    正在连接遥控器…")), Cjk(12), kSoftText);

    // The remote, small and turned a little, with its shadow.
    const QImage remote = RemoteInBox([](int) { return KeyLook::kPlain; });
    painter.save();
    painter.translate(366, 140);
    painter.rotate(-16);
    painter.scale(0.31, 0.31);
    painter.translate(-remote.width() / 2.0, -remote.height() / 2.0);
    QPainterPath body;
    body.addRoundedRect(QRectF(10, 4, 177, 723), 40, 40);
    DropShadow(painter, body, QPointF(14, 20), 24, QColor(0, 10, 25, 140));
    painter.drawImage(0, 0, remote);
    painter.restore();
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace art
