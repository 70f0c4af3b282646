#include "ui/windowplace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QPoint CentredTopLeft(const QRect& area, const QSize& window) {
    return {area.x() + (area.width() - window.width()) / 2,
            area.y() + (area.height() - window.height()) / 2};
}

void CentreOnScreen(QWidget* window) {
    // The whole primary screen, not its work area: the window sits in the middle of the display.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(CentredTopLeft(screen->geometry(), window->size()));
}

void CentreOnWindow(QWidget* window, const QWidget* reference) {
    window->move(CentredTopLeft(reference->frameGeometry(), window->size()));
}
