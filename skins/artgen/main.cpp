// keylearn-artgen OUTPUT_FOLDER: draws the window's pictures and writes them into the folder,
// where the build compiles them into the program; the desktop icon is drawn beside them and
// installed as it is. Run by the build, never by hand.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <functional>
#include <vector>

#include "skins/artgen/app_icon.h"
#include "skins/artgen/art_style.h"
#include "skins/artgen/picture_files.h"
#include "skins/artgen/remote_art.h"
#include "skins/artgen/window_art.h"

namespace {

struct Picture {
    QString name;  // the file name; its extension chooses JPEG or GIF
    QSize size;
    std::function<QImage()> draw;
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

// A key button's own picture: its piece of the remote, as it lies in the box.
QImage KeyPicture(int code) {
    QImage box(art::kRemoteBoxSize, QImage::Format_RGB32);
    box.fill(art::kWindowBlue);
    {
        QPainter painter(&box);
        painter.drawImage(0, 0, art::RemoteInBox([](int) { return art::KeyLook::kPlain; }));
    }
    for (const auto& button : art::kKeyButtons)
        if (button.code == code)
            return box.copy(button.rect);
    return QImage();
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
         }},
        {"update.gif",
         {49, 42},
         [=] {
             return onWindow(art::RoundIconButton(art::RoundButton::kUpdate), {969, 49});
         }},
        {"help.gif",
         {49, 42},
         [=] {
             return onWindow(art::RoundIconButton(art::RoundButton::kHelp), {969, 90});
         }},
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
        {"icon.png", {art::kAppIconSize, art::kAppIconSize}, art::AppIcon},
    };
    for (const auto& button : art::kKeyButtons)
        pictures.push_back({QStringLiteral("key_%1.jpg").arg(button.code, 2, 16, QChar('0')),
                            button.rect.size(), [code = button.code] { return KeyPicture(code); }});
    return pictures;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    if (!QFontDatabase::families().contains(QStringLiteral("WenQuanYi Micro Hei")))
        std::fprintf(stderr,
                     "keylearn-artgen: font \"WenQuanYi Micro Hei\" missing (fonts-wqy-microhei);"
                     " Chinese texts fall back to another face\n");
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "keylearn-artgen: cannot create %s\n", argv[1]);
        return 1;
    }
    const QImage background = art::Background();
    for (const Picture& picture : Pictures(background)) {
        const QImage image = picture.draw();
        const QString path = folder.filePath(picture.name);
        QString error;
        if (image.size() != picture.size) {
            error = QStringLiteral("drawn at the wrong size");
        } else {
            bool ok = false;
            if (picture.name.endsWith(QStringLiteral(".gif")))
                ok = WriteGif(image, path, &error);
            else if (picture.name.endsWith(QStringLiteral(".png")))
                ok = WritePng(image, path, &error);
            else
                ok = WriteJpeg(image, path, &error);
            if (ok) {
                // giflib creates its files readable by the owner only.
                QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadGroup | QFile::ReadOther);
                continue;
            }
        }
        std::fprintf(stderr, "keylearn-artgen: %s: %s\n", qPrintable(picture.name),
                     qPrintable(error));
        QFile::remove(path);
        return 1;
    }
    return 0;
}
