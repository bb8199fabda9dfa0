#pragma once
// The main window's components as data: what each is, where it lies and what it shows. The
// window is drawn almost entirely from pictures, so its places are fixed pixels on a fixed-size
// client area, and the artwork is made for exactly these places. The layout code builds the
// window from these tables alone; tests check the tables' invariants.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace window_layout {

inline constexpr QSize kClientSize(1028, 737);

// Where a borderless window of size goes on a screen whose available area (without panels) is
// area: centred across it and against its top; a window larger than the area has its top-left
// corner at the area's, since a window without a frame cannot be dragged into view.
QPoint WindowPlace(QRect area, QSize size);

enum class ComponentKind {
    kPicture,           // a picture at its own size from the top-left corner
    kStretchedPicture,  // a picture stretched to its rectangle
    kButton,            // a picture button
    kLabel,             // white text in the small face
    kStatusLabel,       // the status text: large, bold, centred
    kRemoteBox,         // the box that holds the remote's picture and its keys
    kHiddenLog,         // a hidden text box
    kAnimation,         // where the learning animation plays
    kHiddenPushButton,  // a plain push button nobody sees
};

struct Component {
    QString name;  // the object name, also the member the window keeps it in
    ComponentKind kind;
    QRect place;            // in the window's client area
    QString art{};          // the picture shown at start; empty for none
    QString disabledArt{};  // buttons: the picture shown while IsEnable is false
    QString text{};         // labels: the initial caption; buttons: the tooltip
    bool visible = true;
};

// The window's own components, in the order they are made: each lies above those before it.
// Made at each call, so that their texts are those of the language shown then.
QList<Component> WindowComponents();

struct Key {
    QString code;   // two hex digits, as the remote's key code list names the key
    QString label;  // the key's name in messages
    QRect place;    // in the remote's box
};

// The remote's picture fills the box; the keys lie on it.
inline constexpr QRect kRemoteBoxPlace(146, 0, 197, 731);
const QString& RemotePictureArt();
// Made at each call, as the components are.
QList<Key> RemoteKeys();

}  // namespace window_layout
