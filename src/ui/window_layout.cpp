#include "ui/window_layout.h"

#include <algorithm>

#include "skins/window_art.h"
#include "ui/texts.h"

namespace window_layout {

QPoint WindowPlace(QRect area, QSize size) {
    return {area.x() + std::max(0, (area.width() - size.width()) / 2), area.y()};
}

QList<Component> WindowComponents() {
    using K = ComponentKind;
    namespace art = window_art;
    const QList<Component> components{
        {"background", K::kPicture, {0, 0, 1028, 737}, art::kBackground},
        {"hintPicture", K::kStretchedPicture, {472, 275, 413, 86}},
        {"learnButton", K::kButton, {432, 636, 137, 37}, art::kStartLearning, art::kStopLearning},
        {"helpButton", K::kButton, {969, 90, 52, 43}, art::kHelp, {}, texts::kHelpToolTip},
        {"updateButton", K::kButton, {969, 49, 50, 44}, art::kUpdate, {}, texts::kUpdateToolTip},
        // The delete and clear buttons get their pictures from the skins.
        {"clearButton", K::kButton, {787, 636, 137, 37}},
        {"statusLabel", K::kStatusLabel, {467, 375, 422, 22}},
        {"closeButton", K::kButton, {969, 5, 50, 43}, art::kClose, {}, texts::kCloseToolTip},
        {"tipsSomeLearned", K::kPicture, {472, 411, 410, 168}, art::kTipsLearned},
        {"tipsLearning", K::kPicture, {472, 410, 412, 169}, art::kTipsLearning},
        {"tipsDeleting", K::kPicture, {473, 410, 412, 167}, art::kTipsDeleting},
        {"tipsNoneLearned", K::kPicture, {473, 409, 411, 171}, art::kTipsEmpty},
        {"linkStateLabel", K::kLabel, {610, 226, 228, 15}},
        {"remoteTypeLabel", K::kLabel, {611, 118, 225, 15}, {}, {}, QStringLiteral(" ")},
        {"firmwareLabel", K::kLabel, {611, 188, 221, 17}},
        {"versionLabel", K::kLabel, {611, 152, 225, 17}, {}, {}, QStringLiteral(" ")},
        {"deleteButton", K::kButton, {609, 636, 137, 37}},
        {"remoteBox", K::kRemoteBox, kRemoteBoxPlace},
        {"learningLog", K::kHiddenLog, {848, 168, 185, 89}, {}, {}, {}, false},
        {"codeTableLog", K::kHiddenLog, {456, 536, 185, 89}, {}, {}, {}, false},
        // Plays over the hint picture.
        {"learningAnimation", K::kAnimation, {473, 277, 409, 84}, {}, {}, {}, false},
        {"replayCaptureButton",
         K::kHiddenPushButton,
         {408, 184, 75, 25},
         {},
         {},
         QStringLiteral("Replay saved capture"),
         false},
    };
    return components;
}

const QString& RemotePictureArt() {
    return window_art::kRemote;
}

QList<Key> RemoteKeys() {
    const QList<Key> keys{
        {"00", texts::kKeyPowerTv, {31, 40, 42, 36}},
        {"01", texts::kKeyTvMute, {74, 53, 31, 21}},
        {"30", texts::kKeyCableVolumeUp, {23, 328, 51, 49}},
        {"33", texts::kKeyVolumeDown, {23, 373, 49, 41}},
    };
    return keys;
}

}  // namespace window_layout
