#include "ui/picbutton.h"

#include "ui/olivekey.h"

#include <QMouseEvent>
#include <QPainter>

TPicButton::TPicButton(QWidget* parent) : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void TPicButton::setFace(Face face, const QString& picturePath) {
    faces_[face] = QPixmap::fromImage(WithOliveTransparent(QImage(picturePath)));
    update();
}

TPicButton::Face TPicButton::currentFace() const {
    Face face = Up;
    if (!isEnabled())
        face = Disabled;
    else if (pressed_)
        face = Down;
    else if (hovered_)
        face = Hot;
    return faces_[face].isNull() ? Up : face;
}

void TPicButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), faces_[currentFace()]);
}

void TPicButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    pressed_ = true;
    update();
}

void TPicButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    update();
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void TPicButton::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void TPicButton::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

void TPicButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        pressed_ = false;
    QWidget::changeEvent(event);
}
