#pragma once
// The pictures the window shows: four sets of key pictures, the named pictures of the skins and
// the learning animation's file. The skins fill them at the first show; a test may give its own.

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVector>

#include "ui/key_pictures.h"

// The named pictures by their resource names in the skin bundles, which the bundles keep
// (pinyin among them); the constants say what each one shows.
namespace named_picture {
inline const QString kLearnedSwatch = QStringLiteral("jpgred");       // legend: learned
inline const QString kBlueSwatch = QStringLiteral("jpgblue");         // legend: the blue swatch
inline const QString kDownloadedSwatch = QStringLiteral("jpggreen");  // legend: downloaded
inline const QString kIdleHint = QStringLiteral("giftovani");         // hint: start learning
inline const QString kChooseKeyHint = QStringLiteral("jpgjingtai");   // hint: choose a key
inline const QString kStopDeleting = QStringLiteral("stopdelete");    // delete button, on
inline const QString kDeleteDisabled = QStringLiteral("deletehui");   // delete button, grey
inline const QString kDelete = QStringLiteral("delete");              // delete button
inline const QString kClear = QStringLiteral("clear");                // clear button
inline const QString kClearDisabled = QStringLiteral("clearhui");     // clear button, grey

// Every named picture, in the order the skins load them.
inline const QStringList kAll{kLearnedSwatch, kBlueSwatch,   kDownloadedSwatch, kIdleHint,
                              kChooseKeyHint, kStopDeleting, kDeleteDisabled,   kDelete,
                              kClear,         kClearDisabled};
}  // namespace named_picture

struct WindowPictures {
    // Index 1 + 168 x set + key code (key_pictures.h); index 0 is never filled.
    QVector<QPixmap> keyPictures = QVector<QPixmap>(static_cast<qsizetype>(kKeyPictureCount));
    // By resource name (named_picture).
    QHash<QString, QPixmap> namedPictures;
    // The learning animation, written out with the skins into a folder private to this user
    // and this run. Empty until the skins are loaded, and when it could not be written.
    QString animationFile;
};
