#include "skins/window_art.h"

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
