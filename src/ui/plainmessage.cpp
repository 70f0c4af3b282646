#include "ui/plainmessage.h"

#include <QPushButton>

bool ShowPlainMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                      const QString& text, bool withCancel) {
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* ok = box.addButton(OkButtonText, QMessageBox::AcceptRole);
    box.setEscapeButton(withCancel ? box.addButton(CancelButtonText, QMessageBox::RejectRole) : ok);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok;
}
