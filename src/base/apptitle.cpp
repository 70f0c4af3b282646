#include "base/apptitle.h"

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
