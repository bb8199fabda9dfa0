#pragma once
// The skin bundles: Qt resource bundles beside the program that hold the key pictures, the
// named pictures and the learning animation. Each file is mapped and registered for as long as a
// SkinBundles lives and released when it goes; pictures read from them are copies and stay
// valid after the release.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

#include "platform/picture_cache.h"

enum class SkinBundle {
    kNotLearnedKeys,  // on7731.rcc
    kLearnedKeys,     // sn7731.rcc
    kLearningKeys,    // fn7731.rcc
    kWindow,          // bn7731.rcc: the named pictures and the animation
    kDownloadedKeys,  // dn7731.rcc
};

// The bundle's file name, such as "on7731.rcc".
QString SkinBundleFileName(SkinBundle bundle);

class SkinBundles {
  public:
    SkinBundles() = default;
    SkinBundles(const SkinBundles&) = delete;
    SkinBundles& operator=(const SkinBundles&) = delete;
    // Releases what is registered, in the order of registration.
    ~SkinBundles();

    // Registers the five bundles from folder in the order on, sn, fn, bn, dn and stops at the
    // first that cannot be registered (missing or no bundle at all): false then, and the ones
    // before it stay registered until the release.
    bool Register(const QString& folder);
    void Release();

    // A resource of a registered bundle, copied; empty when the bundle or the resource is
    // missing.
    QByteArray Read(SkinBundle bundle, const QString& name) const;
    // A picture of a registered bundle (DecodePicture, or the cache when one is given); null
    // when it is missing or no picture.
    QImage Picture(SkinBundle bundle, const QString& name, PictureCache* cache = nullptr) const;

  private:
    struct Registered {
        SharedBytes bytes;  // the file, mapped while it is registered
        QString root;
        PictureFingerprint fingerprint;  // of the file's bytes
    };
    std::vector<Registered> registered_;
};
