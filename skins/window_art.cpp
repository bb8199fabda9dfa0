#include "skins/window_art.h"

#include <QtGlobal>

// The pictures are compiled into this static library, where the linker would leave their
// resource file out for want of a reference: every user of the pictures links this file, and
// this call pulls the resources in with it.
static void RegisterWindowPictures() {
    Q_INIT_RESOURCE(window_art);
}
[[maybe_unused]] static const bool kWindowPicturesRegistered = (RegisterWindowPictures(), true);

namespace window_art {

QString KeyPicture(const QString& code) {
    return QStringLiteral(":/art/key_%1.jpg").arg(code.toLower());
}

const QList<Picture>& AllPictures() {
    static const QList<Picture> pictures{
        {kBackground, {1024, 734}},
        {kRemote, {213, 730}},
        {kStartLearning, {128, 38}},
        {kStopLearning, {128, 38}},
        {kHelp, {49, 42}},
        {kUpdate, {49, 42}},
        {kClose, {49, 42}},
        {kTipsLearned, {410, 168}},
        {kTipsLearning, {412, 169}},
        {kTipsDeleting, {412, 167}},
        {kTipsEmpty, {411, 171}},
        {kSplash, {460, 260}},
        {KeyPicture("00"), {42, 36}},
        {KeyPicture("01"), {31, 21}},
        {KeyPicture("30"), {51, 49}},
        {KeyPicture("33"), {49, 41}},
    };
    return pictures;
}

}  // namespace window_art
