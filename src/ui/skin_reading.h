#pragma once
// Reading the skins: the four sets of key pictures, the ten named pictures and the learning
// animation, from the five bundles beside the program, decoded and ready to be shown. It needs
// no widget and no pixmap, so the window runs it on a thread of its own while the splash is up,
// and takes the result when it is first shown: the pictures are ready then, and the user does
// not wait for them after the splash.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>
#include <utility>
#include <vector>

class PictureCache;

struct SkinReading {
    // All five bundles could be registered; without them nothing else was read.
    bool registered = false;
    // Every key picture and named picture was there.
    bool complete = false;
    // The flash1 resource; empty when it is missing.
    QByteArray animation;
    // In the order they were read, up to the first one missing: (index in keyPictures, picture)
    // and (resource name, picture).
    std::vector<std::pair<std::size_t, QImage>> keyPictures;
    std::vector<std::pair<QString, QImage>> namedPictures;
};

// Registers the bundles in folder, reads what they hold as the window loads it (the animation,
// then key code by key code the four sets, then the named pictures, stopping at the first
// picture that is missing) and releases them again. Pictures go through the cache when one is
// given. Any thread.
SkinReading ReadSkins(const QString& folder, PictureCache* cache);
