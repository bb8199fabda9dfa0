#pragma once
// The remote as the window shows it: a dark body with every key drawn. Coordinates are
// those of the window's key box (197 x 731), where the clickable key buttons sit, so that a
// key drawn here lies exactly under its button. The remote's GIF is the same drawing scaled
// to its own 213 x 730; the window stretches it back into the box.

#include <QImage>
#include <QList>
#include <QPainter>
#include <QRect>
#include <QSize>
#include <functional>

namespace art {

inline constexpr QSize kRemoteBoxSize{197, 731};
inline constexpr QSize kRemoteGifSize{213, 730};

// How a key shows its state. Plain is the key's own look; the others are the four key
// picture sets (not learned, learned, waiting for its code, downloaded).
enum class KeyLook { kPlain, kEmpty, kLearned, kLearning, kDownloaded };

// A key that has a button on the window: its code and its button's place in the box.
struct KeyButtonPlace {
    int code;
    QRect rect;
};
inline constexpr KeyButtonPlace kKeyButtons[] = {
    {0x00, {31, 40, 42, 36}},   // POWER/TV
    {0x01, {74, 53, 31, 21}},   // TV/mute
    {0x30, {23, 328, 51, 49}},  // volume up
    {0x33, {23, 373, 49, 41}},  // volume down
};

// Paints the remote in box coordinates; lookOf gives each key code its look.
void PaintRemote(QPainter& painter, const std::function<KeyLook(int code)>& lookOf);

// The key code of every key the remote's picture draws, in code order: the remote's keys of
// common/remote_keys.h, each once.
QList<int> DrawnKeyCodes();

// The remote alone on a transparent canvas of the box size.
QImage RemoteInBox(const std::function<KeyLook(int code)>& lookOf);

// The key face of one look, as the legend of the window shows it.
void PaintKeyMark(QPainter& painter, const QRectF& face, KeyLook look);

// The colour that marks a look (the plain look has none: an invalid colour).
QColor KeyLookColour(KeyLook look);

}  // namespace art
