// The window's layout: every component made from the tables of window_layout.h, with its
// look and initial visibility.
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <utility>

#include "platform/picture_cache.h"
#include "skins/window_art.h"
#include "ui/main_window.h"
#include "ui/picture_button.h"
#include "ui/picture_view.h"
#include "ui/texts.h"
#include "ui/window_layout.h"

namespace {

using window_layout::Component;
using window_layout::ComponentKind;

const QColor kWindowColour(53, 124, 168);

// One of the window's own pictures, decoded as the program decodes every picture (or taken
// from the cache, when there is one). A missing picture shows nothing.
QPixmap ArtPicture(const QString& path, PictureCache* cache) {
    if (path.isEmpty())
        return QPixmap();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("window picture %s is missing", qUtf8Printable(path));
        return QPixmap();
    }
    QString error;
    QImage image = DecodeThrough(cache, file.readAll(), &error);
    if (image.isNull())
        qWarning("window picture %s: %s", qUtf8Printable(path), qUtf8Printable(error));
    // Moved: the pixmap takes the decoded pixels over instead of copying them.
    return QPixmap::fromImage(std::move(image));
}

template <typename Widget>
Widget* Place(Widget* widget, const QString& name, QRect place) {
    widget->setObjectName(name);
    widget->setGeometry(place);
    return widget;
}

PictureView* Picture(QWidget* owner, const QString& name, QRect place, const QString& art,
                     bool stretch, PictureCache* cache) {
    auto* view = Place(new PictureView(owner), name, place);
    view->SetStretch(stretch);
    view->SetPicture(ArtPicture(art, cache));
    return view;
}

// Action buttons and keys all press by one pixel each way (the new button's own values).
PictureButton* Button(QWidget* owner, const QString& name, QRect place, const QString& art,
                      PictureCache* cache) {
    auto* button = Place(new PictureButton(owner), name, place);
    button->SetPicture(ArtPicture(art, cache));
    return button;
}

// The first of the faces that is installed, or none. A face that is not on the machine is
// searched for and substituted for every label that asks for it (each search a round of
// fontconfig look-ups), and a face without the Chinese glyphs sends every Chinese text to
// fontconfig's fallbacks: so each font asks for one installed face, with Chinese in it where
// one is there.
QString InstalledFace(const QStringList& faces) {
    static const QStringList installed = QFontDatabase::families();
    for (const QString& face : faces)
        if (installed.contains(face, Qt::CaseInsensitive))
            return face;
    return {};
}

const QStringList kChineseFaces{QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("Microsoft YaHei"), QStringLiteral("SimHei")};

QFont FontOfFace(const QString& face) {
    QFont font;
    if (!face.isEmpty())
        font.setFamilies({face});
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// "MS Sans Serif" at 11 pixels where it exists; elsewhere an installed Chinese face (the
// labels are Chinese), else the system's sans face.
QFont SmallSans() {
    static const QString face = InstalledFace(
        QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")} +
        kChineseFaces + QStringList{QStringLiteral("DejaVu Sans")});
    QFont font = FontOfFace(face);
    font.setPixelSize(11);
    return font;
}

// The status text's face, or an installed Chinese face in its place.
QFont StatusFont() {
    static const QString face =
        InstalledFace(QStringList{QStringLiteral("文鼎CS中等线")} + kChineseFaces);
    QFont font = FontOfFace(face);
    font.setPixelSize(15);
    font.setBold(true);
    return font;
}

// White text on whatever lies beneath: labels never fill their background.
QLabel* Label(QWidget* owner, const Component& component, const QFont& font) {
    auto* label = Place(new QLabel(component.text, owner), component.name, component.place);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(colours);
    label->setFont(font);
    label->setAutoFillBackground(false);
    return label;
}

void FillWithWindowColour(QWidget* widget) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, kWindowColour);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

QWidget* MakeComponent(QWidget* owner, const Component& component, PictureCache* cache) {
    switch (component.kind) {
        case ComponentKind::kPicture:
        case ComponentKind::kStretchedPicture:
            return Picture(owner, component.name, component.place, component.art,
                           component.kind == ComponentKind::kStretchedPicture, cache);
        case ComponentKind::kButton: {
            PictureButton* button =
                Button(owner, component.name, component.place, component.art, cache);
            if (!component.disabledArt.isEmpty())
                button->SetDisablePic(ArtPicture(component.disabledArt, cache));
            button->setToolTip(component.text);
            return button;
        }
        case ComponentKind::kLabel:
            return Label(owner, component, SmallSans());
        case ComponentKind::kStatusLabel: {
            QLabel* label = Label(owner, component, StatusFont());
            label->setAlignment(Qt::AlignCenter);
            return label;
        }
        case ComponentKind::kRemoteBox: {
            // Exactly the size of what it holds, so it never scrolls.
            auto* box = Place(new QScrollArea(owner), component.name, component.place);
            box->setFrameShape(QFrame::NoFrame);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            FillWithWindowColour(box->viewport());
            return box;
        }
        case ComponentKind::kHiddenLog:
            return Place(new QPlainTextEdit(owner), component.name, component.place);
        case ComponentKind::kAnimation: {
            QLabel* label = Place(new QLabel(owner), component.name, component.place);
            label->setAlignment(Qt::AlignCenter);
            return label;
        }
        case ComponentKind::kHiddenPushButton:
            return Place(new QPushButton(component.text, owner), component.name, component.place);
    }
    return nullptr;
}

// Windowed components lie above every picture, label and picture button.
bool IsWindowed(ComponentKind kind) {
    return kind == ComponentKind::kRemoteBox || kind == ComponentKind::kHiddenLog ||
           kind == ComponentKind::kAnimation || kind == ComponentKind::kHiddenPushButton;
}

}  // namespace

void MainWindow::BuildLayout() {
    // A borderless window; of the border icons only the system menu.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    setWindowTitle(texts::kMainWindowTitle);
    setFixedSize(window_layout::kClientSize);
    FillWithWindowColour(this);
    setFont(SmallSans());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(window_layout::WindowPlace(screen->availableGeometry(), window_layout::kClientSize));

    QHash<QString, QWidget*> made;
    QList<QWidget*> windowed;
    for (const Component& component : window_layout::WindowComponents()) {
        QWidget* widget = MakeComponent(this, component, services_.pictureCache);
        if (!component.visible)
            widget->hide();
        made.insert(component.name, widget);
        if (IsWindowed(component.kind))
            windowed.append(widget);
    }
    const auto take = [&made](auto*& member, const char* name) {
        member = qobject_cast<std::remove_reference_t<decltype(member)>>(
            made.value(QString::fromLatin1(name)));
        Q_ASSERT(member != nullptr);
    };
    take(background, "background");
    take(hintPicture, "hintPicture");
    take(learnButton, "learnButton");
    take(helpButton, "helpButton");
    take(updateButton, "updateButton");
    take(clearButton, "clearButton");
    take(statusLabel, "statusLabel");
    take(closeButton, "closeButton");
    take(tipsSomeLearned, "tipsSomeLearned");
    take(tipsLearning, "tipsLearning");
    take(tipsDeleting, "tipsDeleting");
    take(tipsNoneLearned, "tipsNoneLearned");
    take(linkStateLabel, "linkStateLabel");
    take(remoteTypeLabel, "remoteTypeLabel");
    take(firmwareLabel, "firmwareLabel");
    take(versionLabel, "versionLabel");
    take(deleteButton, "deleteButton");
    take(remoteBox, "remoteBox");
    take(learningLog, "learningLog");
    take(codeTableLog, "codeTableLog");
    take(learningAnimation, "learningAnimation");
    take(replayCaptureButton, "replayCaptureButton");
    BuildRemoteBox();
    connect(replayCaptureButton, &QPushButton::clicked, this,
            &MainWindow::ReplaySavedCaptureClicked);
    connect(learnButton, &PictureButton::clicked, this, &MainWindow::LearnButtonClicked);
    connect(deleteButton, &PictureButton::clicked, this, &MainWindow::DeleteButtonClicked);
    connect(clearButton, &PictureButton::clicked, this, &MainWindow::ClearButtonClicked);
    for (QWidget* widget : windowed)
        widget->raise();
    for (PictureButton* button : findChildren<PictureButton*>())
        connect(button, &PictureButton::folderNotEntered, this, &MainWindow::TellFolderNotEntered);
}

void MainWindow::BuildRemoteBox() {
    auto* remote = new QWidget;
    remote->setObjectName(QStringLiteral("remoteBoxContents"));
    remote->resize(window_layout::kRemoteBoxPlace.size());
    FillWithWindowColour(remote);
    remotePicture = Picture(remote, QStringLiteral("remotePicture"),
                            QRect(QPoint(0, 0), window_layout::kRemoteBoxPlace.size()),
                            window_layout::RemotePictureArt(), true, services_.pictureCache);
    for (const window_layout::Key& key : window_layout::RemoteKeys()) {
        PictureButton* button = Button(remote, QStringLiteral("key") + key.code, key.place,
                                       window_art::KeyPicture(key.code), services_.pictureCache);
        button->SetLabel(key.label);
        button->SetCode(key.code);
        keyButtons_.insert(key.code, button);
        connect(button, &PictureButton::clicked, this, [this, button] { KeyClick(button); });
    }
    remoteBox->setWidget(remote);
}
