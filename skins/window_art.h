#pragma once
// The window's own pictures, drawn by keylearn-artgen at build time and compiled into the
// program: their resource paths and the sizes the window's layout is made for.

#include <QList>
#include <QSize>
#include <QString>

namespace window_art {

inline const QString kBackground = QStringLiteral(":/art/background.jpg");
inline const QString kRemote = QStringLiteral(":/art/remote.gif");
inline const QString kStartLearning = QStringLiteral(":/art/start_learning.gif");
inline const QString kStopLearning = QStringLiteral(":/art/stop_learning.gif");
inline const QString kHelp = QStringLiteral(":/art/help.gif");
inline const QString kUpdate = QStringLiteral(":/art/update.gif");
inline const QString kClose = QStringLiteral(":/art/close.gif");
inline const QString kTipsLearned = QStringLiteral(":/art/tips_learned.jpg");    // Image4
inline const QString kTipsLearning = QStringLiteral(":/art/tips_learning.jpg");  // Image5
inline const QString kTipsDeleting = QStringLiteral(":/art/tips_deleting.jpg");  // Image7
inline const QString kTipsEmpty = QStringLiteral(":/art/tips_empty.jpg");        // Image8
inline const QString kSplash = QStringLiteral(":/art/splash.gif");

// The own picture of the key button with this code (two hex digits), e.g. ":/art/key_30.jpg".
QString KeyPicture(const QString& code);

struct Picture {
    QString path;
    QSize size;
};
// Every picture with its size.
const QList<Picture>& AllPictures();

}  // namespace window_art
