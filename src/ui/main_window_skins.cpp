// The skins: the four sets of key pictures, the ten named pictures and the learning animation,
// read from the five bundles beside the program while they are registered.
#include <QDir>
#include <QFile>

#include "platform/skin_bundles.h"
#include "ui/main_window.h"

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

bool MainWindow::LoadSkins() {
    // Pictures of the services' own stand in for the skins.
    if (services.pictures)
        return true;
    // Released when this goes, on every way out.
    SkinBundles bundles;
    if (!bundles.Register(ProgramFolder()))
        return false;
    animation.Write(bundles.Read(SkinBundle::kWindow, kAnimationResource));
    pictures.animationFile = animation.Path();
    for (int code = 0; code < kKeyPicturesPerSet; ++code) {
        for (const auto& keySet : kKeySets) {
            const QImage picture =
                bundles.Picture(keySet.bundle, QStringLiteral("gif%1").arg(code));
            if (picture.isNull())
                return false;
            pictures.keyPictures[static_cast<qsizetype>(KeyPictureIndex(keySet.set, code))] =
                QPixmap::fromImage(picture);
        }
    }
    // Every later change of look expects all ten: a missing one fails the loading as a missing
    // key picture does.
    for (const QString& name : named_picture::kAll) {
        const QImage picture = bundles.Picture(SkinBundle::kWindow, name);
        if (picture.isNull())
            return false;
        pictures.namedPictures.insert(name, QPixmap::fromImage(picture));
    }
    return true;
}

void MainWindow::DeleteAnimationFile() {
    animation.Delete();
}
