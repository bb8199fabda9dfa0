#pragma once
// The look shared by every generated picture: colours, fonts and the small drawing pieces
// (soft shadows, glossy keys, icons) the window, the remote and the buttons are made of.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QString>

namespace art {

// The window's own colour; the remote's box and every edge of the background meet it.
inline const QColor kWindowBlue(53, 124, 168);
// The framed panel of hints and tips; the tips pictures are filled with it exactly.
inline const QColor kPanelBlue(26, 74, 112);
inline const QColor kPanelFrame(150, 205, 240);
inline const QColor kCaption(214, 234, 248);
inline const QColor kSoftText(170, 205, 230);
inline const QColor kNoteAmber(255, 214, 120);

// Key states, as the legend explains them.
inline const QColor kLearnedRed(232, 72, 77);
inline const QColor kDownloadedGreen(48, 194, 106);
inline const QColor kEmptyGrey(150, 160, 172);
inline const QColor kLearningAmber(245, 165, 36);

// The face used for every word of the artwork, Chinese or English.
QFont Cjk(qreal pixelSize, bool bold = false);
// A Latin face for digits and small Latin labels.
QFont Latin(qreal pixelSize, bool bold = false);

QImage NewCanvas(int width, int height, QColor fill = Qt::transparent);

// A blurred copy of shape's silhouette painted under it: cheap drop shadows.
void DropShadow(QPainter& painter, const QPainterPath& shape, QPointF offset, qreal blur,
                QColor colour);

// A word drawn into a picture, in the language the pictures are drawn in: source is the
// Chinese, marked for the translation file with QT_TRANSLATE_NOOP("artwork", ...); keylearn-artgen
// --translation draws the English of it.
QString Word(const char* source);

// font, made smaller (to no less than 7 pixels) until text fits width: an English word stands
// where a shorter Chinese one was drawn for. A text that fits keeps its font.
QFont Fitted(QFont font, const QString& text, qreal width);

// Both draw text at its fitted font.
void DrawCentred(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font,
                 QColor colour);
void DrawText(QPainter& painter, const QRectF& rect, int flags, const QString& text,
              const QFont& font, QColor colour);

// Icons drawn as strokes and paths, so no font needs to have the glyph.
void PowerIcon(QPainter& painter, QPointF centre, qreal radius, QColor colour);
void MuteIcon(QPainter& painter, QPointF centre, qreal size, QColor colour);
void IrEmblem(QPainter& painter, const QRectF& rect);

}  // namespace art
