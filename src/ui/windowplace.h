#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Top-left corner that centres a window of the given size on an area (a screen, another
// window); the halving truncates toward zero, so a window larger than the area still lines up
// the same way.
QPoint CentredTopLeft(const QRect& area, const QSize& window);

// Moves the window to the centre of the primary screen.
void CentreOnScreen(QWidget* window);

// Moves the window to the centre of another window's frame.
void CentreOnWindow(QWidget* window, const QWidget* reference);
