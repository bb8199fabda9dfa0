#pragma once
// A picture shown in a rectangle of the window: drawn at its own size from the top-left
// corner, or stretched to the whole rectangle. Parts not covered by the picture show what
// lies beneath, so pictures can be stacked on the window's background.

#include <QPixmap>
#include <QWidget>

class PictureView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QPixmap Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)

  public:
    explicit PictureView(QWidget* parent = nullptr);

    const QPixmap& Picture() const { return picture_; }
    // Shows a copy of picture (a null pixmap shows nothing).
    void SetPicture(const QPixmap& picture);

    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws picture as this view draws its own: at its size, or stretched.
    void PaintPicture(const QPixmap& picture);

  private:
    QPixmap picture_;
    bool stretch_ = false;
};
