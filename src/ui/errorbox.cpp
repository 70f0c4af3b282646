#include "ui/errorbox.h"

#include "base/apptitle.h"
#include "log/logger.h"
#include "ui/plainmessage.h"

#include <QApplication>

void ShowDefaultError(const QString& text) {
    // One error box at a time: a page that keeps failing (a frame added again and again) would
    // otherwise stack modal windows without end.
    static bool showing = false;
    if (showing) {
        DebugLogText(QStringLiteral("error not shown, another is open: %1").arg(text));
        return;
    }
    DebugLogText(QStringLiteral("error shown: %1").arg(text));
    showing = true;
    ShowPlainMessage(QApplication::activeWindow(), QMessageBox::Critical, ApplicationTitle(), text,
                     false);
    showing = false;
}

void RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& failure) {
        ShowDefaultError(QString::fromUtf8(failure.what()));
    }
}
