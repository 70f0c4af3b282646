#pragma once

class QMouseEvent;
class QWidget;

// Lets the user move a frameless window by pressing a mouse button on its background: the
// window manager moves it while the button is held. Where the window manager refuses, the
// window follows the mouse until the button is released.
void StartWindowDrag(QWidget* window, QMouseEvent* press);
