#include "skins/artgen/remote_art.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <vector>

#include "common/remote_keys.h"
#include "skins/artgen/art_style.h"

namespace art {
namespace {

const QColor kKeyBase(60, 66, 77);
const QColor kKeyText(232, 236, 242);
const QColor kPowerRed(214, 58, 62);

enum class Icon {
    kNone,
    kPower,
    kMute,
    kPlus,
    kMinus,
    kRewind,
    kPlay,
    kForward,
    kRecord,
    kPause,
    kStop,
    kUp,
    kDown,
    kLeft,
    kRight
};

struct Key {
    int code;  // -1: the key sends no code of its own (a device key, -/--)
    QRectF face;
    QString label;
    Icon icon = Icon::kNone;
    QColor base = kKeyBase;
};

QColor LookColour(KeyLook look) {
    switch (look) {
        case KeyLook::kEmpty:
            return kEmptyGrey;
        case KeyLook::kLearned:
            return kLearnedRed;
        case KeyLook::kLearning:
            return kLearningAmber;
        case KeyLook::kDownloaded:
            return kDownloadedGreen;
        case KeyLook::kPlain:
            break;
    }
    return QColor();
}

QColor Mix(QColor a, QColor b, qreal t) {
    return QColor::fromRgbF(a.redF() * (1 - t) + b.redF() * t,
                            a.greenF() * (1 - t) + b.greenF() * t,
                            a.blueF() * (1 - t) + b.blueF() * t);
}

// A key cap: soft shadow, a face lit from above, a bright rim on top. A state tints the cap
// and rings it in the state's colour.
void PaintCap(QPainter& painter, const QPainterPath& face, QColor base, KeyLook look) {
    const QRectF bounds = face.boundingRect();
    DropShadow(painter, face, QPointF(0, 1.6), 3.0, QColor(0, 0, 0, 170));
    const QColor state = LookColour(look);
    if (state.isValid()) {
        QColor glow = state;
        glow.setAlpha(look == KeyLook::kLearning ? 230 : 150);
        DropShadow(painter, face, QPointF(0, 0), 5.0, glow);
        base = Mix(base, state, look == KeyLook::kEmpty ? 0.35 : 0.55);
    }
    QLinearGradient fill(bounds.topLeft(), bounds.bottomLeft());
    fill.setColorAt(0, base.lighter(128));
    fill.setColorAt(0.55, base);
    fill.setColorAt(1, base.darker(125));
    painter.fillPath(face, fill);
    painter.save();
    painter.setClipPath(face);
    painter.translate(0, 0.8);
    painter.strokePath(face, QPen(QColor(255, 255, 255, 60), 1.2));
    painter.restore();
    painter.strokePath(face, QPen(state.isValid() ? state.lighter(115) : QColor(10, 12, 15, 200),
                                  state.isValid() ? 1.3 : 0.8));
}

void PaintIcon(QPainter& painter, Icon icon, QPointF c, qreal size, QColor colour) {
    painter.save();
    painter.setPen(QPen(colour, std::max<qreal>(1.4, size * 0.16), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(colour);
    const qreal s = size / 2;
    auto triangle = [&](qreal x, qreal dir) {
        QPainterPath path;
        path.moveTo(x, c.y() - s * 0.7);
        path.lineTo(x + dir * s * 1.0, c.y());
        path.lineTo(x, c.y() + s * 0.7);
        path.closeSubpath();
        painter.fillPath(path, colour);
    };
    switch (icon) {
        case Icon::kPower:
            PowerIcon(painter, c, s * 0.8, colour);
            break;
        case Icon::kMute:
            MuteIcon(painter, c, size, colour);
            break;
        case Icon::kPlus:
            painter.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
            painter.drawLine(QPointF(c.x(), c.y() - s), QPointF(c.x(), c.y() + s));
            break;
        case Icon::kMinus:
            painter.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
            break;
        case Icon::kRewind:
            triangle(c.x(), -1);
            triangle(c.x() + s, -1);
            break;
        case Icon::kForward:
            triangle(c.x() - s, 1);
            triangle(c.x(), 1);
            break;
        case Icon::kPlay:
            triangle(c.x() - s * 0.45, 1);
            break;
        case Icon::kRecord:
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(238, 70, 70));
            painter.drawEllipse(c, s * 0.62, s * 0.62);
            break;
        case Icon::kPause:
            painter.setPen(Qt::NoPen);
            painter.drawRect(QRectF(c.x() - s * 0.6, c.y() - s * 0.65, s * 0.42, s * 1.3));
            painter.drawRect(QRectF(c.x() + s * 0.18, c.y() - s * 0.65, s * 0.42, s * 1.3));
            break;
        case Icon::kStop:
            painter.setPen(Qt::NoPen);
            painter.drawRoundedRect(QRectF(c.x() - s * 0.6, c.y() - s * 0.6, s * 1.2, s * 1.2), 1.5,
                                    1.5);
            break;
        case Icon::kUp:
        case Icon::kDown:
        case Icon::kLeft:
        case Icon::kRight: {
            const qreal angle = icon == Icon::kUp     ? -90
                                : icon == Icon::kDown ? 90
                                : icon == Icon::kLeft ? 180
                                                      : 0;
            painter.translate(c);
            painter.rotate(angle);
            QPainterPath arrow;
            arrow.moveTo(s * 0.6, 0);
            arrow.lineTo(-s * 0.35, -s * 0.6);
            arrow.lineTo(-s * 0.35, s * 0.6);
            arrow.closeSubpath();
            painter.fillPath(arrow, colour);
            break;
        }
        case Icon::kNone:
            break;
    }
    painter.restore();
}

QPainterPath Rounded(const QRectF& rect) {
    QPainterPath path;
    const qreal r = std::min(rect.width(), rect.height()) / 2;
    path.addRoundedRect(rect, r, r);
    return path;
}

void PaintKey(QPainter& painter, const Key& key, KeyLook look) {
    // A state shows in its own colour alone: a red power key would look learned in every set.
    PaintCap(painter, Rounded(key.face), look == KeyLook::kPlain ? key.base : kKeyBase, look);
    const QPointF centre = key.face.center();
    if (key.icon != Icon::kNone) {
        PaintIcon(painter, key.icon, centre, std::min(key.face.width(), key.face.height()) * 0.55,
                  kKeyText);
        return;
    }
    const bool latin = key.label.at(0).unicode() < 0x2000;
    const qreal size = latin && key.label.size() == 1 ? 13 : key.label.size() > 2 ? 8.5 : 9.5;
    DrawCentred(painter, key.face.translated(0, latin ? 0 : -0.5), key.label,
                latin ? Latin(size, true) : Cjk(size), kKeyText);
}

// The code of the key with this function (common/remote_keys.h).
int Code(std::string_view function) {
    return remote_keys::KeyNamed(function)->code;
}

// A row of pills across the body. The labels are words of the translation (or the same in every
// language); codes: one per label, or none for keys without codes.
void Row(QList<Key>& keys, qreal top, qreal height, qreal width,
         const std::vector<const char*>& labels, const QList<int>& codes = {}) {
    const qreal count = static_cast<qreal>(labels.size());
    const qreal gap = (157 - width * count) / std::max<qreal>(1, count - 1);
    for (std::size_t i = 0; i < labels.size(); ++i)
        keys.append({codes.isEmpty() ? -1 : codes[static_cast<qsizetype>(i)],
                     QRectF(20 + static_cast<qreal>(i) * (width + gap), top, width, height),
                     Word(labels[i])});
}

// The functions of the digit block's keys, row by row; empty for -/--.
constexpr std::string_view kDigitFunctions[] = {"1", "2", "3", "4", "5", "6",
                                                "7", "8", "9", "",  "0", "Replay"};
constexpr std::string_view kMediaFunctions[] = {"Rew", "Play", "FF", "Rec", "Pause", "Stop"};
constexpr std::string_view kDpadFunctions[] = {"Up", "Down", "Left", "Right", "OK"};
constexpr std::string_view kColourFunctions[] = {"Red", "Green", "Yellow", "Blue"};

QList<Key> Keys() {
    QList<Key> keys;
    keys.append({0x00, QRectF(34, 43, 36, 30), QString(), Icon::kPower, kPowerRed});
    keys.append({0x01, QRectF(76.5, 55.5, 26, 16), QString(), Icon::kMute});
    keys.append(
        {Code("Input"), QRectF(121, 45, 44, 26), Word(QT_TRANSLATE_NOOP("artwork", "输入"))});
    Row(keys, 90, 18, 34,
        {QT_TRANSLATE_NOOP("artwork", "电视"), QT_TRANSLATE_NOOP("artwork", "机顶盒"), "DVD",
         QT_TRANSLATE_NOOP("artwork", "功放")});
    const char* const digits[] = {"1", "2", "3", "4",    "5", "6",
                                  "7", "8", "9", "-/--", "0", QT_TRANSLATE_NOOP("artwork", "回看")};
    for (int i = 0; i < 12; ++i)
        keys.append({kDigitFunctions[i].empty() ? -1 : Code(kDigitFunctions[i]),
                     QRectF(20.5 + (i % 3) * 56, 122 + (i / 3) * 30, 44, 24), Word(digits[i])});
    Row(keys, 246, 22, 44,
        {QT_TRANSLATE_NOOP("artwork", "菜单"), QT_TRANSLATE_NOOP("artwork", "信息"),
         QT_TRANSLATE_NOOP("artwork", "退出")},
        {Code("Menu"), Code("Info"), Code("Exit")});
    Row(keys, 278, 22, 44,
        {QT_TRANSLATE_NOOP("artwork", "返回"), QT_TRANSLATE_NOOP("artwork", "主页"),
         QT_TRANSLATE_NOOP("artwork", "设置")},
        {Code("Back"), Code("Home"), Code("Settings")});
    keys.append(
        {Code("List"), QRectF(80, 338, 37, 24), Word(QT_TRANSLATE_NOOP("artwork", "列表"))});
    keys.append(
        {Code("Subtitle"), QRectF(80, 380, 37, 24), Word(QT_TRANSLATE_NOOP("artwork", "字幕"))});
    Row(keys, 554, 22, 44,
        {QT_TRANSLATE_NOOP("artwork", "节目单"), QT_TRANSLATE_NOOP("artwork", "声道"),
         QT_TRANSLATE_NOOP("artwork", "画面")},
        {Code("Guide"), Code("Audio"), Code("Picture")});
    const Icon media[] = {Icon::kRewind, Icon::kPlay,  Icon::kForward,
                          Icon::kRecord, Icon::kPause, Icon::kStop};
    for (int i = 0; i < 6; ++i)
        keys.append({Code(kMediaFunctions[i]),
                     QRectF(20.5 + (i % 3) * 56, 614 + (i / 3) * 30, 44, 22), QString(), media[i]});
    return keys;
}

// The volume and channel rockers: one cap each, split into an upper and a lower key.
void PaintRocker(QPainter& painter, const QRectF& body, int upCode, int downCode,
                 const QString& caption, const std::function<KeyLook(int)>& lookOf) {
    const QPainterPath cap = Rounded(body);
    PaintCap(painter, cap, kKeyBase, KeyLook::kPlain);
    const qreal middle = body.center().y();
    for (const auto& [code, half] :
         {std::pair{upCode, QRectF(body.left(), body.top(), body.width(), middle - body.top())},
          std::pair{downCode, QRectF(body.left(), middle, body.width(), body.bottom() - middle)}}) {
        const KeyLook look = lookOf(code);
        if (look != KeyLook::kPlain) {
            QPainterPath part;
            part.addRect(half);
            painter.save();
            painter.setClipPath(cap.intersected(part));
            PaintCap(painter, cap.intersected(part), kKeyBase, look);
            painter.restore();
        }
    }
    painter.setPen(QPen(QColor(12, 14, 18, 220), 1.2));
    painter.drawLine(QPointF(body.left() + 6, middle), QPointF(body.right() - 6, middle));
    PaintIcon(painter, Icon::kPlus, QPointF(body.center().x(), body.top() + 20), 13, kKeyText);
    PaintIcon(painter, Icon::kMinus, QPointF(body.center().x(), body.bottom() - 20), 13, kKeyText);
    DrawCentred(painter, QRectF(body.left() - 6, body.bottom() + 3, body.width() + 12, 13), caption,
                Cjk(9), QColor(150, 158, 170));
}

void PaintDpad(QPainter& painter, QPointF centre) {
    QPainterPath ring;
    ring.addEllipse(centre, 50, 50);
    PaintCap(painter, ring, QColor(52, 58, 68), KeyLook::kPlain);
    // A groove between the ring and the OK key.
    painter.setPen(QPen(QColor(14, 16, 20), 2.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 23.5, 23.5);
    for (const auto& [icon, dx, dy] :
         {std::tuple{Icon::kUp, 0.0, -37.0}, std::tuple{Icon::kDown, 0.0, 37.0},
          std::tuple{Icon::kLeft, -37.0, 0.0}, std::tuple{Icon::kRight, 37.0, 0.0}})
        PaintIcon(painter, icon, centre + QPointF(dx, dy), 11, QColor(205, 212, 222));
    QPainterPath ok;
    ok.addEllipse(centre, 20, 20);
    PaintCap(painter, ok, QColor(70, 78, 92), KeyLook::kPlain);
    DrawCentred(painter, QRectF(centre.x() - 20, centre.y() - 20, 40, 40), QStringLiteral("OK"),
                Latin(11, true), kKeyText);
}

void PaintBody(QPainter& painter) {
    const QRectF body(10, 4, 177, 723);
    QPainterPath shape;
    shape.addRoundedRect(body, 40, 40);
    QLinearGradient side(body.topLeft(), body.topRight());
    side.setColorAt(0, QColor(46, 51, 59));
    side.setColorAt(0.18, QColor(36, 40, 47));
    side.setColorAt(0.75, QColor(28, 31, 37));
    side.setColorAt(1, QColor(18, 20, 24));
    painter.fillPath(shape, side);
    // Light falling on the upper end.
    QLinearGradient gloss(body.topLeft(), QPointF(body.left(), body.top() + 160));
    gloss.setColorAt(0, QColor(255, 255, 255, 26));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillPath(shape, gloss);
    painter.strokePath(shape, QPen(QColor(88, 96, 108), 1.2));
    QPainterPath inner;
    inner.addRoundedRect(body.adjusted(2.5, 2.5, -2.5, -2.5), 37.5, 37.5);
    painter.strokePath(inner, QPen(QColor(8, 9, 11, 200), 1.0));

    // The infrared window and the status light.
    QPainterPath window;
    window.addRoundedRect(QRectF(70, 11, 57, 11), 5.5, 5.5);
    QLinearGradient glass(QPointF(70, 11), QPointF(70, 22));
    glass.setColorAt(0, QColor(70, 20, 28));
    glass.setColorAt(1, QColor(20, 6, 10));
    painter.fillPath(window, glass);
    painter.strokePath(window, QPen(QColor(110, 40, 50), 0.8));
    QRadialGradient led(QPointF(98.5, 30), 3);
    led.setColorAt(0, QColor(120, 255, 170));
    led.setColorAt(1, QColor(20, 120, 60));
    painter.setPen(Qt::NoPen);
    painter.setBrush(led);
    painter.drawEllipse(QPointF(98.5, 30), 2.2, 2.2);
}

}  // namespace

void PaintRemote(QPainter& painter, const std::function<KeyLook(int code)>& lookOf) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    PaintBody(painter);
    for (const Key& key : Keys())
        PaintKey(painter, key, key.code >= 0 ? lookOf(key.code) : KeyLook::kPlain);
    PaintRocker(painter, QRectF(25, 330, 47, 82), 0x30, 0x33,
                Word(QT_TRANSLATE_NOOP("artwork", "音量")), lookOf);
    PaintRocker(painter, QRectF(125, 330, 47, 82), Code("Ch_next"), Code("Ch_prev"),
                Word(QT_TRANSLATE_NOOP("artwork", "频道")), lookOf);
    PaintDpad(painter, QPointF(98.5, 488));
    const QColor colourKeys[] = {{226, 68, 68}, {52, 190, 96}, {236, 196, 52}, {60, 130, 226}};
    for (int i = 0; i < 4; ++i)
        PaintCap(painter, Rounded(QRectF(20 + i * 41, 590, 34, 12)), colourKeys[i],
                 KeyLook::kPlain);
    DrawCentred(painter, QRectF(10, 688, 177, 16), Word(QT_TRANSLATE_NOOP("artwork", "雁湖智联")),
                Cjk(10, true), QColor(128, 138, 152));
    painter.restore();
}

QList<int> DrawnKeyCodes() {
    QList<int> codes;
    for (const Key& key : Keys()) {
        if (key.code >= 0)
            codes.append(key.code);
    }
    for (const std::string_view function : {"Vol_up", "Vol_dn", "Ch_next", "Ch_prev"})
        codes.append(Code(function));
    for (const std::string_view function : kDpadFunctions)
        codes.append(Code(function));
    for (const std::string_view function : kColourFunctions)
        codes.append(Code(function));
    std::sort(codes.begin(), codes.end());
    return codes;
}

QImage RemoteInBox(const std::function<KeyLook(int code)>& lookOf) {
    QImage image = NewCanvas(kRemoteBoxSize.width(), kRemoteBoxSize.height());
    QPainter painter(&image);
    PaintRemote(painter, lookOf);
    return image;
}

QColor KeyLookColour(KeyLook look) {
    return LookColour(look);
}

void PaintKeyMark(QPainter& painter, const QRectF& face, KeyLook look) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    PaintCap(painter, Rounded(face), kKeyBase, look);
    painter.restore();
}

}  // namespace art
