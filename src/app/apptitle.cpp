#include "app/apptitle.h"

#include "app/settings.h"
#include "log/logger.h"

#include <QApplication>
#include <QWidget>

namespace {
QString& Storage() {
    static QString title = QStringLiteral("Parvelo");
    return title;
}
} // namespace

QString ApplicationTitle() {
    return Storage();
}

void SetApplicationTitle(const QString& title) {
    Storage() = title;
    // On X11 the taskbar shows the top-level window's own title.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->setWindowTitle(title);
}

void ApplyAppTitleFromSettings() {
    const QString title = ReadAppTitle();
    DebugLog("application title set to \"%s\"", qUtf8Printable(title));
    SetApplicationTitle(title);
}
