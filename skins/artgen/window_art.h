#pragma once
// The main window's pictures other than the remote: the background with its legend, title,
// captions and panel; the action buttons; the tips panels; and the splash. Pictures that lie
// on the background are given their soft edges over the very background beneath them.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

namespace art {

inline constexpr QSize kBackgroundSize{1024, 734};

QImage Background();
// A picture of size at place on the window, its soft edges already laid over the background
// there and its fully clear pixels left clear.
QImage OverBackground(const QImage& background, const QImage& picture, QPoint place);

enum class Tips { kIdleLearned, kLearning, kDeleting, kIdleEmpty };
QImage TipsPanel(Tips tips, QSize size);

// A 128 x 38 pill button: a gradient from top to bottom, an icon in a white disc, the text.
enum class PillIcon { kPlay, kStop, kMinus, kCross };
QImage PillButton(const QString& text, QColor top, QColor bottom, PillIcon icon);
QImage StartLearningButton();
QImage StopLearningButton();
enum class RoundButton { kHelp, kUpdate, kClose };
QImage RoundIconButton(RoundButton which);

QImage Splash();

}  // namespace art
