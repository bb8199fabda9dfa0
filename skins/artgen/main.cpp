// keylearn-artgen OUTPUT_FOLDER: draws the window's pictures and writes them into the folder,
// where the build compiles them into the program; the desktop icon is drawn beside them and
// installed as it is.
// keylearn-artgen --skins OUTPUT_FOLDER: draws the pictures of the five skin bundles, one
// subfolder per bundle, named as the bundles' resources are (gif0.gif ... gif167.gif; the named
// pictures as .jpg and the animation flash1.gif in bn7731/), from which the build makes the
// bundles.
// --translation QM_FILE before the folder: draws the pictures that hold words, and only those,
// with the words of that translation (the English set); the others are the same in every
// language. Run by the build, never by hand.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QTranslator>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/remote_keys.h"
#include "skins/artgen/app_icon.h"
#include "skins/artgen/art_style.h"
#include "skins/artgen/picture_files.h"
#include "skins/artgen/remote_art.h"
#include "skins/artgen/skin_art.h"
#include "skins/artgen/window_art.h"

namespace {

struct Picture {
    QString name;  // the file name; its extension chooses JPEG or GIF
    QSize size;
    std::function<QImage()> draw;
    bool words = true;  // words are drawn into it
};

QImage RemoteGif() {
    QImage remote = art::NewCanvas(art::kRemoteGifSize.width(), art::kRemoteGifSize.height());
    {
        QPainter painter(&remote);
        painter.scale(qreal(art::kRemoteGifSize.width()) / art::kRemoteBoxSize.width(),
                      qreal(art::kRemoteGifSize.height()) / art::kRemoteBoxSize.height());
        art::PaintRemote(painter, [](int) { return art::KeyLook::kPlain; });
    }
    // The box behind the remote has the window's colour.
    QImage under(remote.size(), QImage::Format_RGB32);
    under.fill(art::kWindowBlue);
    return art::OverBackground(under, remote, QPoint(0, 0));
}

// The desktop icon keeps its soft edges: PNG, with alpha.
bool WritePng(const QImage& image, const QString& path, QString* error) {
    if (image.save(path, "PNG"))
        return true;
    *error = QStringLiteral("cannot write the PNG file");
    return false;
}

// A key button's own picture: its piece of the remote, as it lies in the box, in the look of a
// key without a code. The window keeps it on a key whose slot holds none, so that such a key is
// as grey as the legend says.
QImage KeyPicture(int code) {
    return art::SkinKeyPicture(art::KeyLook::kEmpty, code);
}

std::vector<Picture> Pictures(const QImage& background) {
    // Where the buttons lie on the window, for their soft edges.
    const auto onWindow = [&background](QImage picture, QPoint place) {
        return art::OverBackground(background, picture, place);
    };
    std::vector<Picture> pictures{
        {"background.jpg", art::kBackgroundSize, [&] { return background; }},
        {"remote.gif", art::kRemoteGifSize, RemoteGif},
        {"start_learning.gif",
         {128, 38},
         [=] {
             return onWindow(art::StartLearningButton(), {432, 636});
         }},
        {"stop_learning.gif",
         {128, 38},
         [=] {
             return onWindow(art::StopLearningButton(), {432, 636});
         }},
        {"close.gif",
         {49, 42},
         [=] {
             return onWindow(art::RoundIconButton(art::RoundButton::kClose), {969, 5});
         },
         false},
        {"update.gif",
         {49, 42},
         [=] {
             return onWindow(art::RoundIconButton(art::RoundButton::kUpdate), {969, 49});
         },
         false},
        {"help.gif",
         {49, 42},
         [=] {
             return onWindow(art::RoundIconButton(art::RoundButton::kHelp), {969, 90});
         },
         false},
        {"tips_learned.jpg",
         {410, 168},
         [] {
             return art::TipsPanel(art::Tips::kIdleLearned, {410, 168});
         }},
        {"tips_learning.jpg",
         {412, 169},
         [] {
             return art::TipsPanel(art::Tips::kLearning, {412, 169});
         }},
        {"tips_deleting.jpg",
         {412, 167},
         [] {
             return art::TipsPanel(art::Tips::kDeleting, {412, 167});
         }},
        {"tips_empty.jpg",
         {411, 171},
         [] {
             return art::TipsPanel(art::Tips::kIdleEmpty, {411, 171});
         }},
        {"splash.gif", {460, 260}, art::Splash},
        {"icon.png", {art::kAppIconSize, art::kAppIconSize}, art::AppIcon, false},
    };
    for (const auto& button : art::kKeyButtons)
        pictures.push_back({QStringLiteral("key_%1.jpg").arg(button.code, 2, 16, QChar('0')),
                            button.rect.size(), [code = button.code] { return KeyPicture(code); },
                            false});
    return pictures;
}

// The file's extension chooses its format: .gif or .png, JPEG otherwise.
bool WritePicture(const QImage& image, const QString& path, QString* error) {
    bool ok = false;
    if (path.endsWith(QStringLiteral(".gif")))
        ok = WriteGif(image, path, error);
    else if (path.endsWith(QStringLiteral(".png")))
        ok = WritePng(image, path, error);
    else
        ok = WriteJpeg(image, path, error);
    // giflib creates its files readable by the owner only.
    if (ok)
        QFile::setPermissions(
            path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return ok;
}

bool Fail(const QString& path, const QString& error) {
    std::fprintf(stderr, "keylearn-artgen: %s: %s\n", qPrintable(path), qPrintable(error));
    QFile::remove(path);
    return false;
}

// The swatches of the legend hold no words.
bool HasWords(const QString& namedPicture) {
    return !namedPicture.startsWith(QStringLiteral("jpg")) ||
           namedPicture == QStringLiteral("jpgjingtai");
}

// With wordsOnly, the pictures that hold words alone: bn7731's.
bool WriteSkins(const QDir& folder, bool wordsOnly) {
    const struct {
        const char* bundle;
        art::KeyLook set;
    } keySets[] = {{"on7731", art::KeyLook::kEmpty},
                   {"sn7731", art::KeyLook::kLearned},
                   {"fn7731", art::KeyLook::kLearning},
                   {"dn7731", art::KeyLook::kDownloaded}};
    QString error;
    for (const auto& keySet : keySets) {
        if (wordsOnly)
            break;
        const QString bundle = QString::fromLatin1(keySet.bundle);
        if (!folder.mkpath(bundle))
            return Fail(folder.filePath(bundle), QStringLiteral("cannot create the folder"));
        for (int code = 0; code < art::kKeyCodesPerSet; ++code) {
            const QString path = folder.filePath(bundle + QStringLiteral("/gif%1.gif").arg(code));
            if (!WritePicture(art::SkinKeyPicture(keySet.set, code), path, &error))
                return Fail(path, error);
        }
    }
    if (!folder.mkpath(QStringLiteral("bn7731")))
        return Fail(folder.filePath(QStringLiteral("bn7731")), QStringLiteral("cannot create"));
    const QImage background = art::Background();
    for (const QString& name : art::NamedPictureNames()) {
        if (wordsOnly && !HasWords(name))
            continue;
        const QString path = folder.filePath(QStringLiteral("bn7731/%1.jpg").arg(name));
        const QImage picture = art::NamedPicture(name, background);
        if (picture.isNull() || !WritePicture(picture, path, &error))
            return Fail(path, picture.isNull() ? QStringLiteral("not drawn") : error);
    }
    const QString animation = folder.filePath(QStringLiteral("bn7731/flash1.gif"));
    if (!WriteAnimatedGif(art::LearningAnimationFrames(), art::kLearningAnimationDelay, animation,
                          &error))
        return Fail(animation, error);
    QFile::setPermissions(
        animation, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool skins = !arguments.isEmpty() && arguments.first() == QStringLiteral("--skins");
    if (skins)
        arguments.removeFirst();
    QString translation;
    if (arguments.size() == 3 && arguments.first() == QStringLiteral("--translation")) {
        translation = arguments.at(1);
        arguments = arguments.mid(2);
    }
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: %s [--skins] [--translation QM_FILE] OUTPUT_FOLDER\n",
                     argv[0]);
        return 2;
    }
    QTranslator translator;
    if (!translation.isEmpty() &&
        (!translator.load(translation) || !QCoreApplication::installTranslator(&translator))) {
        std::fprintf(stderr, "keylearn-artgen: cannot load the translation %s\n",
                     qPrintable(translation));
        return 1;
    }
    const bool wordsOnly = !translation.isEmpty();
    if (!QFontDatabase::families().contains(QStringLiteral("WenQuanYi Micro Hei")))
        std::fprintf(stderr,
                     "keylearn-artgen: font \"WenQuanYi Micro Hei\" missing (fonts-wqy-microhei);"
                     " Chinese texts fall back to another face\n");
    // The picture draws every key of the remote's key table, and nothing else with a code.
    QList<int> keyCodes;
    for (const remote_keys::RemoteKey& key : remote_keys::Keys())
        keyCodes.append(key.code);
    if (art::DrawnKeyCodes() != keyCodes) {
        std::fprintf(stderr, "keylearn-artgen: the remote's picture and its key table differ\n");
        return 1;
    }
    const QString output = arguments.first();
    const QDir folder(output);
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "keylearn-artgen: cannot create %s\n", qPrintable(output));
        return 1;
    }
    if (skins)
        return WriteSkins(folder, wordsOnly) ? 0 : 1;
    const QImage background = art::Background();
    for (const Picture& picture : Pictures(background)) {
        if (wordsOnly && !picture.words)
            continue;
        const QImage image = picture.draw();
        const QString path = folder.filePath(picture.name);
        QString error = QStringLiteral("drawn at the wrong size");
        if (image.size() == picture.size && WritePicture(image, path, &error))
            continue;
        Fail(path, error);
        return 1;
    }
    return 0;
}
