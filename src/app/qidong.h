#pragma once
// TForm1, the splash: a frameless picture window shown while the main window is created and
// the remote is being read. It has no behaviour of its own.

#include <QPixmap>
#include <QWidget>

class PictureView;

class TForm1 : public QWidget {
    Q_OBJECT

  public:
    explicit TForm1(QWidget* parent = nullptr);

    PictureView* Image1 = nullptr;
};

// The splash artwork: 460 x 260, one frame.
QPixmap SplashPicture();
