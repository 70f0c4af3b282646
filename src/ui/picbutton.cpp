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

void TPicButton::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TPicButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(rect(), faces_[currentFace()]);
    if (!caption_.isEmpty())
        painter.drawText(rect(), Qt::AlignCenter, caption_);
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

TPicButton* MakePicButton(QWidget* parent, const QRect& place,
                          std::initializer_list<PicButtonFace> faces) {
    auto* button = new TPicButton(parent);
    button->setGeometry(place);
    for (const PicButtonFace& face : faces)
        button->setFace(face.face, QString::fromLatin1(face.picture));
    return button;
}
