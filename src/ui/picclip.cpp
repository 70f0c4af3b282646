#include "ui/picclip.h"

#include "ui/cellstrip.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int InitialSide = 150;
}

TCustomPicClip::TCustomPicClip(QWidget* parent)
    : QWidget(parent),
      FAbout(QStringLiteral("TPicClip: shows one cell of a horizontal picture strip")) {
    resize(InitialSide, InitialSide);
    // The control paints its whole area itself and hears every move, not only dragged ones.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void TCustomPicClip::SetBitMap(const QPixmap& picture) {
    FBitMap = picture;
    BitMapChange();
}

void TCustomPicClip::ChangeBitMap(const std::function<void(QPixmap&)>& change) {
    change(FBitMap);
    BitMapChange();
}

void TCustomPicClip::BitMapChange() {
    FitToStrip();
    update();
}

void TCustomPicClip::SetAutoSize(bool value) {
    FAutoSize = value;
    if (value) {
        FitToStrip();
        update();
    }
}

void TCustomPicClip::SetAbout(const QString& value) {
    Q_UNUSED(value);
}

void TCustomPicClip::FitToStrip() {
    resize(CellStripControlSize(FBitMap.size(), FCellCount));
}

void TCustomPicClip::ReportOutOfRange() {
    QMessageBox::critical(this, QStringLiteral("Error"),
                          QStringLiteral("Value Must be between 1 and 255"));
}

void TCustomPicClip::SetCellCount(quint8 value) {
    if (value == 0) {
        ReportOutOfRange();
        return;
    }
    if (value == FCellCount)
        return;
    FCellCount = value;
    if (value < FCell)
        SetCell(value);
    FitToStrip();
    update();
}

void TCustomPicClip::SetCell(quint8 value) {
    if (value == 0) {
        ReportOutOfRange();
        return;
    }
    const auto cell = static_cast<quint8>(CellWithin(value, FCellCount));
    if (cell == FCell)
        return;
    FCell = cell;
    update();
}

void TCustomPicClip::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    QPainter painter(this);
    const QRect source = CellSourceRect(FCell, size());
    if (!FBitMap.rect().contains(source))
        painter.fillRect(rect(), palette().window());
    painter.drawPixmap(QPoint(0, 0), FBitMap, source);
}

void TCustomPicClip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        FClickPending = true;
    emit MouseDown(event);
}

void TCustomPicClip::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = event->button() == Qt::LeftButton && FClickPending &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FClickPending = false;
    emit MouseUp(event);
    if (click)
        emit Click();
}

void TCustomPicClip::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit DblClick();
    else
        QWidget::mouseDoubleClickEvent(event);
}

void TCustomPicClip::mouseMoveEvent(QMouseEvent* event) {
    emit MouseMove(event);
}

TPicClip::TPicClip(QWidget* parent) : TCustomPicClip(parent) {}

TSmartImage::TSmartImage(QWidget* parent) : TPicClip(parent) {
    SetCellCount(2);
    SetCell(1);
}

TSmartImage::~TSmartImage() {
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

// The capture is what tells "over the button" from "just left it": while held, moves arrive
// here wherever the pointer is, so the first move outside turns the button back.
void TSmartImage::mouseMoveEvent(QMouseEvent* event) {
    TPicClip::mouseMoveEvent(event);
    if (QWidget::mouseGrabber() != this) {
        grabMouse();
        if (CellCount() > 1)
            SetCell(2);
        update();
    } else if (PointerOutside(event->position().toPoint(), size())) {
        releaseMouse();
        SetCell(1);
        update();
    }
}

// A hidden button must not keep the whole application's mouse.
void TSmartImage::hideEvent(QHideEvent* event) {
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    TPicClip::hideEvent(event);
}
