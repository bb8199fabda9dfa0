// The window's layout: every component with its place, look and initial visibility. The
// window is drawn almost entirely from pictures, so its places are fixed pixels on a fixed-size
// client area; the artwork is made for exactly these places.
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>

#include "ibtn1.h"
#include "jpeg_decoder.h"
#include "mainstudy.h"
#include "picture_view.h"
#include "window_art.h"

namespace {

const QColor kWindowColour(53, 124, 168);
constexpr QSize kClientSize(1028, 737);

// One of the window's own pictures, decoded as the program decodes every picture: JPEG
// through libjpeg, GIF through Qt. A missing picture shows nothing.
QPixmap ArtPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("window picture %s is missing", qUtf8Printable(path));
        return QPixmap();
    }
    QString error;
    const QImage image = DecodePicture(file.readAll(), &error);
    if (image.isNull())
        qWarning("window picture %s: %s", qUtf8Printable(path), qUtf8Printable(error));
    return QPixmap::fromImage(image);
}

template <typename Component>
Component* Place(Component* component, const char* name, int left, int top, int width, int height) {
    component->setObjectName(QString::fromLatin1(name));
    component->setGeometry(left, top, width, height);
    return component;
}

PictureView* Picture(QWidget* owner, const char* name, QRect place, const QString& art,
                     bool stretch = false) {
    auto* view =
        Place(new PictureView(owner), name, place.x(), place.y(), place.width(), place.height());
    view->SetStretch(stretch);
    if (!art.isEmpty())
        view->SetPicture(ArtPicture(art));
    return view;
}

// Action buttons and keys all press by one pixel each way (the new button's own values).
IBtn* Button(QWidget* owner, const char* name, QRect place, const QString& art,
             const QString& toolTip = QString()) {
    auto* button =
        Place(new IBtn(owner), name, place.x(), place.y(), place.width(), place.height());
    if (!art.isEmpty())
        button->SetPicture(ArtPicture(art));
    if (!toolTip.isEmpty())
        button->setToolTip(toolTip);
    return button;
}

IBtn* KeyButton(QWidget* box, const char* name, QRect place, const QString& path,
                const QString& code) {
    IBtn* key = Button(box, name, place, window_art::KeyPicture(code));
    key->SetPath(path);
    key->SetCode(code);
    return key;
}

// White text on whatever lies beneath: labels never fill their background.
QLabel* Label(QWidget* owner, const char* name, QRect place, const QFont& font,
              const QString& caption = QString()) {
    auto* label = Place(new QLabel(caption, owner), name, place.x(), place.y(), place.width(),
                        place.height());
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(colours);
    label->setFont(font);
    label->setAutoFillBackground(false);
    return label;
}

// "MS Sans Serif" at 11 pixels where it exists; the system's sans face elsewhere, with
// fontconfig supplying a Chinese face for the Chinese texts.
QFont SmallSans() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

// The status text's face, and the CJK faces that stand in where it is not installed.
QFont StatusFont() {
    QFont font;
    font.setFamilies({QStringLiteral("文鼎CS中等线"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei"),
                      QStringLiteral("SimHei")});
    font.setPixelSize(15);
    font.setBold(true);
    return font;
}

void FillWithWindowColour(QWidget* widget) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, kWindowColour);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

}  // namespace

void Tmainkeylearn::BuildLayout() {
    // A borderless window; of the border icons only the system menu.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setWindowTitle(QStringLiteral("自学习"));
    setFixedSize(kClientSize);
    FillWithWindowColour(this);
    setFont(SmallSans());
    // Centred across the screen and against the top of its work area.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect work = screen->availableGeometry();
        move(work.x() + (work.width() - kClientSize.width()) / 2, work.y());
    }

    // In the form's order: each component lies above the ones made before it.
    Image1 = Picture(this, "Image1", {0, 0, 1028, 737}, window_art::kBackground);
    Imagehint = Picture(this, "Imagehint", {472, 275, 413, 86}, QString(), true);
    beginstudyibtn =
        Button(this, "beginstudyibtn", {432, 636, 137, 37}, window_art::kStartLearning);
    beginstudyibtn->SetDisablePic(ArtPicture(window_art::kStopLearning));
    helpibtn =
        Button(this, "helpibtn", {969, 90, 52, 43}, window_art::kHelp, QStringLiteral("帮助"));
    updateibtn = Button(this, "updateibtn", {969, 49, 50, 44}, window_art::kUpdate,
                        QStringLiteral("升级软件"));
    delallstudykey = Button(this, "delallstudykey", {787, 636, 137, 37}, QString());
    runstate_lab = Label(this, "runstate_lab", {467, 375, 422, 22}, StatusFont());
    runstate_lab->setAlignment(Qt::AlignCenter);
    IBtn79 =
        Button(this, "IBtn79", {969, 5, 50, 43}, window_art::kClose, QStringLiteral("关闭软件"));
    Image4 = Picture(this, "Image4", {472, 411, 410, 168}, window_art::kTipsLearned);
    Image5 = Picture(this, "Image5", {472, 410, 412, 169}, window_art::kTipsLearning);
    Image7 = Picture(this, "Image7", {473, 410, 412, 167}, window_art::kTipsDeleting);
    Image8 = Picture(this, "Image8", {473, 409, 411, 171}, window_art::kTipsEmpty);
    lab_usbstate = Label(this, "lab_usbstate", {610, 226, 228, 15}, SmallSans());
    lab_ykqtype = Label(this, "lab_ykqtype", {611, 118, 225, 15}, SmallSans(), " ");
    lab_gjbb = Label(this, "lab_gjbb", {611, 188, 221, 17}, SmallSans());
    lab_softver = Label(this, "lab_softver", {611, 152, 225, 17}, SmallSans(), " ");
    delstudykey = Button(this, "delstudykey", {609, 636, 137, 37}, QString());

    // The remote's box: exactly the size of what it holds, so it never scrolls.
    ykqbox = Place(new QScrollArea(this), "ykqbox", 146, 0, 197, 731);
    ykqbox->setFrameShape(QFrame::NoFrame);
    ykqbox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ykqbox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FillWithWindowColour(ykqbox->viewport());
    auto* remote = new QWidget;
    remote->setObjectName(QStringLiteral("ykqboxContents"));
    remote->resize(197, 731);
    FillWithWindowColour(remote);
    z = Picture(remote, "z", {0, 0, 197, 731}, window_art::kRemote, true);
    IBtn1 = KeyButton(remote, "IBtn1", {31, 40, 42, 36}, QStringLiteral("POWER/TV"), "00");
    IBtn5 = KeyButton(remote, "IBtn5", {74, 53, 31, 21}, QStringLiteral("TV/静音"), "01");
    IBtn41 = KeyButton(remote, "IBtn41", {23, 328, 51, 49}, QStringLiteral("CBL/音量+"), "30");
    IBtn2 = KeyButton(remote, "IBtn2", {23, 373, 49, 41}, QStringLiteral("音量－"), "33");
    ykqbox->setWidget(remote);
    connect(IBtn1, &IBtn::clicked, this, &Tmainkeylearn::IBtn1Click);
    connect(IBtn5, &IBtn::clicked, this, &Tmainkeylearn::IBtn5Click);
    connect(IBtn41, &IBtn::clicked, this, &Tmainkeylearn::IBtn41Click);
    connect(IBtn2, &IBtn::clicked, this, &Tmainkeylearn::IBtn2Click);

    Memo2 = Place(new QPlainTextEdit(this), "Memo2", 848, 168, 185, 89);
    Memo2->hide();
    Memo1 = Place(new QPlainTextEdit(this), "Memo1", 456, 536, 185, 89);
    Memo1->hide();
    // The learning animation plays here, over the hint picture.
    donghuaflash2 = Place(new QLabel(this), "donghuaflash2", 473, 277, 409, 84);
    donghuaflash2->setAlignment(Qt::AlignCenter);
    donghuaflash2->hide();
    Button1 = Place(new QPushButton(QStringLiteral("Button1"), this), "Button1", 408, 184, 75, 25);
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, &Tmainkeylearn::Button1Click);

    // Windowed components lie above every picture, label and picture button.
    for (QWidget* windowed :
         {static_cast<QWidget*>(ykqbox), static_cast<QWidget*>(Memo2), static_cast<QWidget*>(Memo1),
          static_cast<QWidget*>(donghuaflash2), static_cast<QWidget*>(Button1)})
        windowed->raise();
}
