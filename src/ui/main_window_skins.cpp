// The skins: the four sets of key pictures, the ten named pictures and the learning animation,
// read from the five bundles beside the program while they are registered.
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "learning/key_pictures.h"
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

const QStringList kNamedPictures{QStringLiteral("jpgred"),     QStringLiteral("jpgblue"),
                                 QStringLiteral("jpggreen"),   QStringLiteral("giftovani"),
                                 QStringLiteral("jpgjingtai"), QStringLiteral("stopdelete"),
                                 QStringLiteral("deletehui"),  QStringLiteral("delete"),
                                 QStringLiteral("clear"),      QStringLiteral("clearhui")};

const QString kAnimationResource = QStringLiteral("flash1");

// Under the user's runtime folder where there is one (Unix: private, and emptied at logout, so
// even a killed run leaves nothing for long); in the user's temporary folder elsewhere.
QString AnimationFolderTemplate() {
    QString base;
#ifdef Q_OS_UNIX
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
    if (base.isEmpty())
        base = QDir::tempPath();
    return QDir(base).filePath(QStringLiteral("keylearn-XXXXXX"));
}

}  // namespace

bool MainWindow::LoadSkins() {
    // Released when this goes, on every way out.
    SkinBundles bundles;
    if (!bundles.Register(ProgramFolder()))
        return false;
    WriteAnimationFile(bundles.Read(SkinBundle::kWindow, kAnimationResource));
    for (int code = 0; code < kKeyPicturesPerSet; ++code) {
        for (const auto& keySet : kKeySets) {
            const QImage picture =
                bundles.Picture(keySet.bundle, QStringLiteral("gif%1").arg(code));
            if (picture.isNull())
                return false;
            keyPictures[static_cast<qsizetype>(KeyPictureIndex(keySet.set, code))] =
                QPixmap::fromImage(picture);
        }
    }
    // Every later change of look expects all ten: a missing one fails the loading as a missing
    // key picture does.
    for (const QString& name : kNamedPictures) {
        const QImage picture = bundles.Picture(SkinBundle::kWindow, name);
        if (picture.isNull())
            return false;
        namedPictures.insert(name, QPixmap::fromImage(picture));
    }
    return true;
}

void MainWindow::WriteAnimationFile(const QByteArray& animation) {
    // A folder of this user (mode 700) and this run: no other user or run can clash with the
    // file or plant a link where it is written.
    if (!animationFolder) {
        animationFolder = std::make_unique<QTemporaryDir>(AnimationFolderTemplate());
        if (!animationFolder->isValid()) {
            animationFolder.reset();
            return;
        }
    }
    animationFile = QDir(animationFolder->path()).filePath(QStringLiteral("learning.gif"));
    // What is there goes first, a link included (never the file it leads to); the new file
    // is then created afresh. A failure leaves no animation, and learning works without one.
    QFile::remove(animationFile);
    if (animation.isEmpty())
        return;
    QFile file(animationFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return;
    if (file.write(animation) != animation.size()) {
        file.close();
        QFile::remove(animationFile);
    }
}

void MainWindow::DeleteAnimationFile() {
    // The folder goes with the file in it.
    animationFolder.reset();
}
