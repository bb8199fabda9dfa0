// Stand-in layout until the window's full layout lands: only the components start-up fills.
#include <QLabel>
#include <QPlainTextEdit>

#include "mainstudy.h"

void Tmainkeylearn::BuildLayout() {
    setFixedSize(1028, 737);
    lab_ykqtype = new QLabel(QStringLiteral(" "), this);
    lab_ykqtype->setGeometry(611, 118, 225, 15);
    lab_softver = new QLabel(QStringLiteral(" "), this);
    lab_softver->setGeometry(611, 152, 225, 17);
    lab_gjbb = new QLabel(this);
    lab_gjbb->setGeometry(611, 188, 221, 17);
    lab_usbstate = new QLabel(this);
    lab_usbstate->setGeometry(610, 226, 228, 15);
    runstate_lab = new QLabel(this);
    runstate_lab->setGeometry(467, 375, 422, 22);
    Memo2 = new QPlainTextEdit(this);
    Memo2->setGeometry(848, 168, 185, 89);
    Memo2->hide();
    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(456, 536, 185, 89);
    Memo1->hide();
}
