#include "ui/skin_reading.h"

#include "platform/skin_bundles.h"
#include "ui/key_pictures.h"
#include "ui/window_pictures.h"

namespace {

// The key picture sets in the order their pictures of one key code are loaded.
constexpr struct {
    KeyPictureSet set;
    SkinBundle bundle;
} kKeySets[] = {{KeyPictureSet::kNotLearned, SkinBundle::kNotLearnedKeys},
                {KeyPictureSet::kLearned, SkinBundle::kLearnedKeys},
                {KeyPictureSet::kLearning, SkinBundle::kLearningKeys},
                {KeyPictureSet::kDownloaded, SkinBundle::kDownloadedKeys}};

const QString kAnimationResource = QStringLiteral("flash1");

}  // namespace

SkinReading ReadSkins(const QString& folder, PictureCache* cache) {
    SkinReading reading;
    // Released when this goes, on every way out.
    SkinBundles bundles;
    if (!bundles.Register(folder))
        return reading;
    reading.registered = true;
    reading.animation = bundles.Read(SkinBundle::kWindow, kAnimationResource);
    reading.keyPictures.reserve(4 * kKeyPicturesPerSet);
    for (int code = 0; code < kKeyPicturesPerSet; ++code) {
        for (const auto& keySet : kKeySets) {
            QImage picture =
                bundles.Picture(keySet.bundle, QStringLiteral("gif%1").arg(code), cache);
            if (picture.isNull())
                return reading;
            reading.keyPictures.emplace_back(KeyPictureIndex(keySet.set, code), std::move(picture));
        }
    }
    // Every later change of look expects all ten: a missing one fails the loading as a missing
    // key picture does.
    for (const QString& name : named_picture::kAll) {
        QImage picture = bundles.Picture(SkinBundle::kWindow, name, cache);
        if (picture.isNull())
            return reading;
        reading.namedPictures.emplace_back(name, std::move(picture));
    }
    reading.complete = true;
    return reading;
}
