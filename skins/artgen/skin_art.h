#pragma once
// The pictures of the five skin bundles: the four key picture sets, the ten named pictures and
// the learning animation. A key that has a button on the window gets its picture at the
// button's size, cut from the remote with that key alone in the set's look; the other key codes
// get a small flat mark in the set's colour.

#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

#include "skins/artgen/remote_art.h"

namespace art {

inline constexpr int kKeyCodesPerSet = 168;

// The picture of key code in a set (kEmpty, kLearned, kLearning or kDownloaded).
QImage SkinKeyPicture(KeyLook set, int code);

// The ten named pictures, by name: jpgred, jpgblue, jpggreen, giftovani, jpgjingtai,
// stopdelete, deletehui, delete, clear, clearhui.
const QStringList& NamedPictureNames();
QImage NamedPicture(const QString& name, const QImage& background);

// The learning animation's frames (409 x 84, the place it plays in) and each frame's time in
// hundredths of a second.
std::vector<QImage> LearningAnimationFrames();
inline constexpr int kLearningAnimationDelay = 9;

}  // namespace art
