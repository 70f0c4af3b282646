#include "ui/errorbox.h"

#include "app/apptitle.h"
#include "log/logger.h"

#include <QApplication>
#include <QMessageBox>

void ShowDefaultError(const QString& text) {
    DebugLog("error shown: %s", qUtf8Printable(text));
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        ShowDefaultError(QString::fromUtf8(failure.what()));
    }
}
