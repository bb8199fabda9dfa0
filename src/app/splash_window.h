#pragma once
// SplashWindow, the splash: a frameless picture window shown while the main window is created and
// the remote is being read. It has no behaviour of its own.

#include <QPixmap>
#include <QWidget>

class PictureCache;
class PictureView;

class SplashWindow : public QWidget {
    Q_OBJECT

  public:
    // The picture through the cache when one is given.
    explicit SplashWindow(PictureCache* cache = nullptr, QWidget* parent = nullptr);

    PictureView* picture = nullptr;
};

// The splash artwork: 460 x 260, one frame.
QPixmap SplashPicture(PictureCache* cache = nullptr);
