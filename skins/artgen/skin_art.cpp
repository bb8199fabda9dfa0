#include "skins/artgen/skin_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "skins/artgen/art_style.h"
#include "skins/artgen/window_art.h"

namespace art {
namespace {

// Keys without a button: never shown by this window, but every set holds one per key code, and
// the window opens all 664 of them at every start. So they are small flat marks in the set's
// colour, which cost next to nothing to open; a skin for a remote with more buttons would draw
// them at their buttons' sizes, as the four keys with a button are drawn.
constexpr QSize kOtherKeySize{12, 8};

QImage OtherKey(KeyLook set) {
    QImage image(kOtherKeySize, QImage::Format_RGB32);
    image.fill(kWindowBlue);
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(1, 1), kOtherKeySize - QSize(2, 2)), KeyLookColour(set));
    return image;
}

QPainterPath Rounded(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QImage Swatch(QColor colour) {
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(kWindowBlue);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(Rounded(QRectF(2, 2, 26, 16), 6), colour);
    return image;
}

// A hint picture: filled with the panel's colour, which it lies on.
QImage HintCanvas() {
    QImage image(413, 86, QImage::Format_RGB32);
    image.fill(kPanelBlue);
    return image;
}

QImage IdleHint() {
    QImage image = HintCanvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    IrEmblem(painter, QRectF(18, 17, 52, 52));
    DrawText(painter, QRectF(84, 14, 320, 28), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "欢迎使用遥控器按键自学习")), Cjk(18, true),
             Qt::white);
    DrawText(painter, QRectF(85, 44, 320, 22), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "把任意红外遥控器的按键复制到本遥控器上")), Cjk(12),
             kCaption);
    return image;
}

// Learning mode with no key chosen: arrows point at the remote's picture on the left.
QImage ChooseKeyHint() {
    QImage image = HintCanvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (int i = 0; i < 3; ++i) {
        QPainterPath chevron;
        const qreal x = 22 + i * 17;
        chevron.moveTo(x + 12, 25);
        chevron.lineTo(x, 43);
        chevron.lineTo(x + 12, 61);
        painter.strokePath(chevron, QPen(QColor(94, 190, 245, 110 + 60 * i), 5, Qt::SolidLine,
                                         Qt::RoundCap, Qt::RoundJoin));
    }
    DrawText(painter, QRectF(90, 14, 315, 28), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "第一步：选择要学习的按键")), Cjk(18, true),
             Qt::white);
    DrawText(painter, QRectF(91, 44, 315, 22), Qt::AlignLeft | Qt::AlignVCenter,
             Word(QT_TRANSLATE_NOOP("artwork", "在左面遥控器图片上点击该按键")), Cjk(12), kCaption);
    return image;
}

// The delete and clear buttons, laid over the background where they lie on the window (JPEG
// has no transparency).
QImage ToolbarButton(const QImage& background, const QImage& button, QPoint place) {
    QImage flat = background.copy(QRect(place, button.size()))
                      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&flat);
    painter.drawImage(0, 0, button);
    painter.end();
    return flat.convertToFormat(QImage::Format_RGB32);
}

const QColor kGreyTop(176, 184, 194);
const QColor kGreyBottom(118, 128, 142);
constexpr QPoint kDeletePlace(609, 636);
constexpr QPoint kClearPlace(787, 636);

// A small remote lying on its side, its infrared window towards the right when facing right.
void LyingRemote(QPainter& painter, const QRectF& body, bool facingRight, QColor led) {
    const QPainterPath shape = Rounded(body, body.height() / 2);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, QColor(70, 76, 88));
    fill.setColorAt(1, QColor(28, 31, 37));
    painter.fillPath(shape, fill);
    painter.strokePath(shape, QPen(QColor(120, 130, 146), 1));
    const qreal tip = facingRight ? body.right() - 7 : body.left() + 4;
    painter.fillPath(Rounded(QRectF(tip, body.center().y() - 5, 3, 10), 1.5), QColor(120, 30, 40));
    for (int i = 0; i < 4; ++i) {
        const qreal x = facingRight ? body.left() + 12 + i * 14 : body.right() - 22 - i * 14;
        painter.fillPath(Rounded(QRectF(x, body.center().y() - 4, 9, 8), 3), QColor(96, 104, 118));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(led);
    const qreal ledX = facingRight ? body.right() - 14 : body.left() + 12;
    painter.drawEllipse(QPointF(ledX, body.top() + 5), 2.2, 2.2);
}

}  // namespace

QImage SkinKeyPicture(KeyLook set, int code) {
    for (const KeyButtonPlace& button : kKeyButtons) {
        if (button.code != code)
            continue;
        QImage box(kRemoteBoxSize, QImage::Format_RGB32);
        box.fill(kWindowBlue);
        QPainter painter(&box);
        painter.drawImage(
            0, 0, RemoteInBox([&](int other) { return other == code ? set : KeyLook::kPlain; }));
        painter.end();
        return box.copy(button.rect);
    }
    return OtherKey(set);
}

const QStringList& NamedPictureNames() {
    static const QStringList names{"jpgred",     "jpgblue",   "jpggreen", "giftovani", "jpgjingtai",
                                   "stopdelete", "deletehui", "delete",   "clear",     "clearhui"};
    return names;
}

QImage NamedPicture(const QString& name, const QImage& background) {
    if (name == QLatin1String("jpgred"))
        return Swatch(kLearnedRed);
    if (name == QLatin1String("jpgblue"))
        return Swatch(QColor(60, 130, 226));
    if (name == QLatin1String("jpggreen"))
        return Swatch(kDownloadedGreen);
    if (name == QLatin1String("giftovani"))
        return IdleHint();
    if (name == QLatin1String("jpgjingtai"))
        return ChooseKeyHint();
    const QString remove = Word(QT_TRANSLATE_NOOP("artwork", "删除"));
    const QString clear = Word(QT_TRANSLATE_NOOP("artwork", "清空"));
    if (name == QLatin1String("delete"))
        return ToolbarButton(
            background,
            PillButton(remove, QColor(255, 190, 92), QColor(226, 128, 24), PillIcon::kMinus),
            kDeletePlace);
    if (name == QLatin1String("deletehui"))
        return ToolbarButton(
            background, PillButton(remove, kGreyTop, kGreyBottom, PillIcon::kMinus), kDeletePlace);
    if (name == QLatin1String("stopdelete"))
        return ToolbarButton(
            background,
            PillButton(Word(QT_TRANSLATE_NOOP("artwork", "停止删除")), QColor(255, 128, 100),
                       QColor(214, 62, 50), PillIcon::kStop),
            kDeletePlace);
    if (name == QLatin1String("clear"))
        return ToolbarButton(
            background,
            PillButton(clear, QColor(120, 170, 255), QColor(52, 104, 214), PillIcon::kCross),
            kClearPlace);
    if (name == QLatin1String("clearhui"))
        return ToolbarButton(background, PillButton(clear, kGreyTop, kGreyBottom, PillIcon::kCross),
                             kClearPlace);
    return QImage();
}

std::vector<QImage> LearningAnimationFrames() {
    constexpr int kFrames = 12;
    const QRectF source(14, 26, 92, 26);
    const QRectF target(303, 26, 92, 26);
    std::vector<QImage> frames;
    for (int frame = 0; frame < kFrames; ++frame) {
        QImage image(409, 84, QImage::Format_RGB32);
        image.fill(kPanelBlue);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        // The learning remote's light answers once the waves have reached it.
        const bool received = frame >= 8;
        LyingRemote(painter, source, true, QColor(255, 90, 90));
        LyingRemote(painter, target, false, received ? QColor(120, 255, 170) : QColor(40, 90, 60));
        // Three waves travel from the source's tip to the target's.
        const QPointF from(source.right() + 2, source.center().y());
        const qreal span = target.left() - from.x() - 8;
        for (int wave = 0; wave < 3; ++wave) {
            const qreal progress = std::fmod((frame + wave * 4.0) / kFrames, 1.0);
            const qreal r = 8 + progress * span;
            QColor colour(140, 210, 255);
            colour.setAlpha(static_cast<int>(230 * (1 - 0.6 * progress)));
            painter.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
            painter.setBrush(Qt::NoBrush);
            // Every wave as high as the remotes, however far it has travelled.
            const qreal half = std::min(28.0, std::asin(std::min(1.0, 15 / r)) * 180 / M_PI);
            painter.drawArc(QRectF(from.x() - r, from.y() - r, 2 * r, 2 * r),
                            static_cast<int>(-half * 16), static_cast<int>(2 * half * 16));
        }
        DrawText(painter, QRectF(0, 58, 409, 22), Qt::AlignCenter,
                 Word(QT_TRANSLATE_NOOP("artwork", "将原遥控器对准本遥控器，按住要复制的按键")),
                 Cjk(13), kCaption);
        frames.push_back(image);
    }
    return frames;
}

}  // namespace art
