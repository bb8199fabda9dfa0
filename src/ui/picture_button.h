#pragma once
// PictureButton: a picture that behaves as a button. Every clickable thing of the main window is
// one, the remote's keys included. While a mouse button is held the picture sits MoveRight pixels
// right and MoveDown pixels down, which is all the pressed look there is. A second picture,
// DisablePic, is swapped in while IsEnable is false; IsEnable changes only the look, never
// whether the button takes clicks. Path is handed to the desktop shell on every press when it
// names an existing file (the window uses it as the key's label, which names none), Code is
// free text for the owner (the key's code).

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
    Q_PROPERTY(QString Path READ Path WRITE SetPath)
    Q_PROPERTY(bool IsEnable READ IsEnable WRITE SetIsEnable)
    Q_PROPERTY(QPixmap DisablePic READ DisablePic WRITE SetDisablePic)
    Q_PROPERTY(QString Code READ Code WRITE SetCode)

  public:
    explicit PictureButton(QWidget* parent = nullptr);

    quint8 MoveDown() const { return moveDown_; }
    void SetMoveDown(quint8 pixels);
    quint8 MoveRight() const { return moveRight_; }
    void SetMoveRight(quint8 pixels);

    const QString& Path() const { return path_; }
    void SetPath(const QString& path) { path_ = path; }

    bool IsEnable() const { return isEnable_; }
    // true: the saved picture comes back (an empty one if false was never written).
    // false: the current picture is saved and DisablePic shown. The old value is not looked
    // at, so writing false twice saves DisablePic itself.
    void SetIsEnable(bool enable);

    const QPixmap& DisablePic() const { return disablePic_; }
    void SetDisablePic(const QPixmap& picture) { disablePic_ = picture; }

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

  private:
    void Press(QMouseEvent* event);
    void MovePressed();
    void MoveBack();
    void MoveBackAll();
    void AskShell();

    quint8 moveDown_ = 1;
    quint8 moveRight_ = 1;
    QString path_;
    QPixmap disablePic_;
    QPixmap savedPicture_;
    bool isEnable_ = true;
    QString code_;

    DesktopShell* shell_ = nullptr;
    // Presses whose release has not come yet: each holds one pressed offset.
    int heldPresses_ = 0;
    // A left press that may still become a click; a double click's press never does.
    bool clickArmed_ = false;
};
