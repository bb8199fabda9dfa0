#pragma once
// PictureButton: a picture that behaves as a button. Every clickable thing of the main window is
// one, the remote's keys included. While a mouse button is held the picture sits MoveRight pixels
// right and MoveDown pixels down, which is all the pressed look there is. A second picture,
// DisablePic, is swapped in while the enabled look is off; the look never changes whether the
// button takes clicks. A button that takes no clicks (a disabled widget) never looks clickable:
// it shows its unavailable picture, or without one its picture in grey. The label (stored as the
// form property Path) is the key's name in the window's texts; only when it names an existing file
// is it also handed to the desktop shell on every press. Code is free text for the owner (the key's
// code).
//
// The properties keep the names a form stores them under (MoveDown, MoveRight, Path, IsEnable,
// DisablePic, Code); the C++ names say what they do.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QPixmap>
#include <QString>
#include <QVariant>

#include "ui/picture_view.h"

class DesktopShell;

class PictureButton : public PictureView {
    Q_OBJECT
    // In the order a form stores them. Qt 6 has no conditional STORED, so the rule of when
    // each is stored lives in IsPropertyStored.
    Q_PROPERTY(quint8 MoveDown READ MoveDown WRITE SetMoveDown)
    Q_PROPERTY(quint8 MoveRight READ MoveRight WRITE SetMoveRight)
    Q_PROPERTY(QString Path READ Label WRITE SetLabel)
    Q_PROPERTY(bool IsEnable READ HasEnabledLook WRITE SetEnabledLook)
    Q_PROPERTY(QPixmap DisablePic READ DisablePic WRITE SetDisablePic)
    Q_PROPERTY(QString Code READ Code WRITE SetCode)

  public:
    explicit PictureButton(QWidget* parent = nullptr);

    quint8 MoveDown() const { return moveDown_; }
    void SetMoveDown(quint8 pixels);
    quint8 MoveRight() const { return moveRight_; }
    void SetMoveRight(quint8 pixels);

    // The key's label, or a file the desktop shell opens on a press.
    const QString& Label() const { return label_; }
    void SetLabel(const QString& label) { label_ = label; }

    bool HasEnabledLook() const { return enabledLook_; }
    // true: the saved picture comes back (an empty one if false was never written).
    // false: the current picture is saved and DisablePic shown. The old value is not looked
    // at, so writing false twice saves DisablePic itself.
    void SetEnabledLook(bool enabled);

    const QPixmap& DisablePic() const { return disablePic_; }
    void SetDisablePic(const QPixmap& picture) { disablePic_ = picture; }

    // Shown while the button is disabled, in place of its picture in grey (for a picture whose
    // own background would turn grey with it). A null pixmap: the grey picture again.
    void SetUnavailablePicture(const QPixmap& picture);
    const QPixmap& UnavailablePicture() const { return unavailablePicture_; }

    const QString& Code() const { return code_; }
    void SetCode(const QString& code) { code_ = code; }

    // Whether a form would store the property: MoveDown and MoveRight always, Path and Code
    // when not empty, IsEnable only when false, DisablePic when it holds a picture.
    bool IsPropertyStored(const char* name) const;
    // The stored properties with their values, in declaration order.
    QList<QPair<QByteArray, QVariant>> StoredProperties() const;

    // The shell that presses hand Path to; the desktop's own when none is given. Not owned.
    void SetDesktopShell(DesktopShell* shell) { shell_ = shell; }

  signals:
    // A left button pressed and released over the button; raised before the button moves
    // back, so a handler runs (and any box it opens shows) with the button still pressed.
    void clicked();
    void doubleClicked();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void mouseMove(Qt::KeyboardModifiers modifiers, QPoint position);
    // A press found a program at path, but its folder could not become the current directory,
    // so the program was not started. The owner tells the user.
    void folderNotEntered(const QString& path);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Press(QMouseEvent* event);
    void MovePressed();
    void MoveBack();
    void MoveBackAll();
    void AskShell();
    // The picture in grey, made once per picture.
    const QPixmap& GreyPicture();

    quint8 moveDown_ = 1;
    quint8 moveRight_ = 1;
    QString label_;
    QPixmap disablePic_;
    QPixmap savedPicture_;
    bool enabledLook_ = true;
    QString code_;
    QPixmap unavailablePicture_;
    // GreyPicture's last result and the picture it was made from.
    QPixmap greyPicture_;
    qint64 greyPictureSource_ = 0;

    DesktopShell* shell_ = nullptr;
    // Presses whose release has not come yet: each holds one pressed offset.
    int heldPresses_ = 0;
    // A left press that may still become a click; a double click's press never does.
    bool clickArmed_ = false;
};
