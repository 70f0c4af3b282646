#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <functional>

// A control that shows one cell of a horizontal picture strip (TCustomPicClip), with the cell
// made selectable (TPicClip), and a two-state image button that shows its second cell while
// the mouse pointer is over it (TSmartImage).

class TCustomPicClip : public QWidget {
    Q_OBJECT
public:
    explicit TCustomPicClip(QWidget* parent = nullptr);

    const QPixmap& BitMap() const { return FBitMap; }
    // Copies the picture; the control takes the size of one cell.
    void SetBitMap(const QPixmap& picture);
    // Changes the owned strip in place; the control follows the new contents.
    void ChangeBitMap(const std::function<void(QPixmap&)>& change);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    QString About() const { return FAbout; }
    // The text is fixed; assignments are accepted and ignored.
    void SetAbout(const QString& value);

signals:
    void Click();
    void DblClick();
    void MouseDown(QMouseEvent* event);
    void MouseMove(QMouseEvent* event);
    void MouseUp(QMouseEvent* event);

protected:
    quint8 CellCount() const { return FCellCount; }
    void SetCellCount(quint8 value);
    quint8 Cell() const { return FCell; }
    void SetCell(quint8 value);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void BitMapChange();
    void FitToStrip();
    void ReportOutOfRange();

    QPixmap FBitMap;
    bool FAutoSize = false;
    QString FAbout;
    quint8 FCellCount = 10;
    quint8 FCell = 1;
    bool FClickPending = false;
};

class TPicClip : public TCustomPicClip {
    Q_OBJECT
public:
    explicit TPicClip(QWidget* parent = nullptr);

    using TCustomPicClip::Cell;
    using TCustomPicClip::CellCount;
    using TCustomPicClip::SetCell;
    using TCustomPicClip::SetCellCount;
};

class TSmartImage : public TPicClip {
    Q_OBJECT
public:
    explicit TSmartImage(QWidget* parent = nullptr);
    ~TSmartImage() override;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};
