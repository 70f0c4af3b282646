#include "ui/picclip.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QColor CellColours[] = {Qt::red,    Qt::blue,      Qt::green,    Qt::magenta, Qt::cyan,
                              Qt::yellow, Qt::darkGreen, Qt::darkBlue, Qt::darkRed, Qt::gray};

// A strip of `cells` solid cells, cell 1 at the left, each in its own colour.
QPixmap Strip(int cells, const QSize& cell) {
    QPixmap strip(cell.width() * cells, cell.height());
    QPainter painter(&strip);
    for (int i = 0; i < cells; ++i)
        painter.fillRect(QRect(QPoint(cell.width() * i, 0), cell), CellColours[i]);
    return strip;
}

// The cell (counted from 1) whose colour covers the whole painted control; 0 for none.
int CellPainted(QWidget* control) {
    const QImage painted = control->grab().toImage();
    const QPoint probes[] = {{0, 0},
                             {painted.width() - 1, 0},
                             {0, painted.height() - 1},
                             {painted.width() - 1, painted.height() - 1},
                             painted.rect().center()};
    for (int cell = 0; cell < 10; ++cell) {
        bool all = true;
        for (const QPoint& probe : probes)
            all = all && painted.pixelColor(probe) == CellColours[cell];
        if (all)
            return cell + 1;
    }
    return 0;
}

struct SeenMessage {
    bool shown = false;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

// Notes and closes the next message box that comes up.
std::shared_ptr<SeenMessage> CloseNextMessage() {
    auto seen = std::make_shared<SeenMessage>();
    QTimer::singleShot(0, [seen] {
        const bool up = QTest::qWaitFor(
            [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
        if (!up)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen->shown = true;
            seen->text = box->text();
            seen->icon = box->icon();
            seen->buttons = static_cast<int>(box->buttons().size());
            box->accept();
        }
    });
    return seen;
}

} // namespace

class PicClipTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void construction();
    void stripSizesTheControl_data();
    void stripSizesTheControl();
    void paintsTheSelectedCell_data();
    void paintsTheSelectedCell();
    void cellLimitedByCount();
    void fewerCellsThanTheCellShown();
    void cellCountResizes();
    void zeroIsRefused_data();
    void zeroIsRefused();
    void autoSize();
    void changedStripInPlace();
    void aboutIgnoresAssignments();
    void clickKeepsTheCell();

    void hoverShowsTheSecondCell();
    void hoverEdges_data();
    void hoverEdges();
    void singleCellButtonStaysOnItsCell();
    void hiddenButtonLetsTheMouseGo();

private:
    void ShowHost();
    void MovePointerTo(const QPoint& global);

    int case_ = 0;
    QWidget* host_ = nullptr;
    TSmartImage* button_ = nullptr;
};

void PicClipTest::initTestCase() {
    qRegisterMetaType<QMouseEvent*>();
}

void PicClipTest::init() {
    // Qt drops a move to the very position it saw last, and a case may move the pointer to the
    // same spot of its button as the case before; each case's window sits one pixel further.
    ++case_;
    host_ = new QWidget;
    host_->setGeometry(300 + case_, 300 + case_, 300, 200);
    button_ = new TSmartImage(host_);
    button_->move(50, 50);
    // Start each case with the pointer away from the host.
    QCursor::setPos(10, 10);
}

void PicClipTest::cleanup() {
    delete host_;
    host_ = nullptr;
    button_ = nullptr;
}

void PicClipTest::ShowHost() {
    host_->show();
    QVERIFY(QTest::qWaitForWindowExposed(host_));
}

// Moves the real pointer and waits until the button has heard of it, wherever it went.
void PicClipTest::MovePointerTo(const QPoint& global) {
    QSignalSpy moves(button_, &TCustomPicClip::MouseMove);
    QCursor::setPos(global);
    QVERIFY(moves.wait());
}

void PicClipTest::construction() {
    TCustomPicClip custom;
    QCOMPARE(custom.size(), QSize(150, 150));
    QVERIFY(!custom.AutoSize());
    QVERIFY(custom.BitMap().isNull());
    QVERIFY(!custom.About().isEmpty());

    TPicClip clip;
    QCOMPARE(clip.size(), QSize(150, 150));
    QCOMPARE(clip.CellCount(), 10);
    QCOMPARE(clip.Cell(), 1);

    TSmartImage smart;
    QCOMPARE(smart.size(), QSize(150, 150));
    QCOMPARE(smart.CellCount(), 2);
    QCOMPARE(smart.Cell(), 1);
}

void PicClipTest::stripSizesTheControl_data() {
    QTest::addColumn<QSize>("strip");
    QTest::addColumn<int>("cellCount");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("message box strip") << QSize(130, 26) << 2 << QSize(65, 26);
    QTest::newRow("ten cells") << QSize(200, 30) << 10 << QSize(20, 30);
    QTest::newRow("three cells truncate") << QSize(130, 26) << 3 << QSize(43, 26);
    QTest::newRow("no picture") << QSize(0, 0) << 2 << QSize(150, 150);
    QTest::newRow("cells under a pixel") << QSize(9, 26) << 10 << QSize(150, 150);
}

void PicClipTest::stripSizesTheControl() {
    QFETCH(QSize, strip);
    QFETCH(int, cellCount);
    QFETCH(QSize, expected);
    TPicClip clip;
    clip.resize(77, 77);
    clip.SetCellCount(static_cast<quint8>(cellCount));
    QPixmap picture;
    if (!strip.isEmpty()) {
        picture = QPixmap(strip);
        picture.fill(Qt::red);
    }
    clip.SetBitMap(picture);
    QCOMPARE(clip.size(), expected);
}

void PicClipTest::paintsTheSelectedCell_data() {
    QTest::addColumn<int>("cellCount");
    QTest::addColumn<int>("cell");
    QTest::newRow("first of two") << 2 << 1;
    QTest::newRow("second of two") << 2 << 2;
    QTest::newRow("third of three") << 3 << 3;
    QTest::newRow("middle of five") << 5 << 3;
    QTest::newRow("last of ten") << 10 << 10;
}

void PicClipTest::paintsTheSelectedCell() {
    QFETCH(int, cellCount);
    QFETCH(int, cell);
    TPicClip clip;
    clip.SetCellCount(static_cast<quint8>(cellCount));
    clip.SetBitMap(Strip(cellCount, {20, 12}));
    clip.SetCell(static_cast<quint8>(cell));
    QCOMPARE(clip.size(), QSize(20, 12));
    QCOMPARE(CellPainted(&clip), cell);
}

void PicClipTest::cellLimitedByCount() {
    TPicClip clip;
    clip.SetCellCount(2);
    clip.SetBitMap(Strip(2, {65, 26}));
    clip.SetCell(5);
    QCOMPARE(clip.Cell(), 2);
    QCOMPARE(CellPainted(&clip), 2);
}

void PicClipTest::fewerCellsThanTheCellShown() {
    TSmartImage image;
    image.SetBitMap(Strip(2, {65, 26}));
    image.SetCell(2);
    image.SetCellCount(1);
    QCOMPARE(image.Cell(), 1);
    // One cell now spans the whole strip.
    QCOMPARE(image.size(), QSize(130, 26));
    QCOMPARE(image.grab().toImage().convertToFormat(QImage::Format_RGB32),
             Strip(2, {65, 26}).toImage().convertToFormat(QImage::Format_RGB32));

    // A count still above the cell leaves the cell alone.
    TPicClip clip;
    clip.SetBitMap(Strip(10, {10, 10}));
    clip.SetCell(4);
    clip.SetCellCount(6);
    QCOMPARE(clip.Cell(), 4);
}

void PicClipTest::cellCountResizes() {
    TSmartImage image;
    image.SetBitMap(Strip(2, {65, 26}));
    QCOMPARE(image.size(), QSize(65, 26));
    image.SetCellCount(3);
    QCOMPARE(image.size(), QSize(43, 26));
    image.SetCellCount(1);
    QCOMPARE(image.size(), QSize(130, 26));
}

void PicClipTest::zeroIsRefused_data() {
    QTest::addColumn<bool>("countNotCell");
    QTest::newRow("Cell") << false;
    QTest::newRow("CellCount") << true;
}

void PicClipTest::zeroIsRefused() {
    QFETCH(bool, countNotCell);
    TPicClip clip;
    clip.SetBitMap(Strip(3, {10, 10}));
    clip.SetCellCount(3);
    clip.SetCell(2);
    const auto seen = CloseNextMessage();
    if (countNotCell)
        clip.SetCellCount(0);
    else
        clip.SetCell(0);
    QVERIFY(seen->shown);
    QCOMPARE(seen->text, QStringLiteral("Value Must be between 1 and 255"));
    QCOMPARE(seen->icon, QMessageBox::Critical);
    QCOMPARE(seen->buttons, 1);
    QCOMPARE(clip.CellCount(), 3);
    QCOMPARE(clip.Cell(), 2);
    QCOMPARE(clip.size(), QSize(10, 10));
}

void PicClipTest::autoSize() {
    TSmartImage image;
    image.SetBitMap(Strip(2, {65, 26}));
    image.SetAutoSize(true);
    QVERIFY(image.AutoSize());
    QCOMPARE(image.size(), QSize(65, 26));

    image.resize(100, 100);
    image.SetAutoSize(false);
    QVERIFY(!image.AutoSize());
    QCOMPARE(image.size(), QSize(100, 100));

    image.SetAutoSize(true);
    QCOMPARE(image.size(), QSize(65, 26));

    // With AutoSize off the control still follows a new strip.
    image.SetAutoSize(false);
    image.SetBitMap(Strip(2, {45, 20}));
    QCOMPARE(image.size(), QSize(45, 20));
    QCOMPARE(CellPainted(&image), 1);
}

void PicClipTest::changedStripInPlace() {
    TSmartImage image;
    image.SetBitMap(Strip(2, {65, 26}));
    image.ChangeBitMap([](QPixmap& strip) { strip = Strip(2, {30, 16}); });
    QCOMPARE(image.size(), QSize(30, 16));
    image.ChangeBitMap([](QPixmap& strip) {
        QPainter painter(&strip);
        painter.fillRect(strip.rect(), CellColours[4]);
    });
    QCOMPARE(CellPainted(&image), 5);
}

void PicClipTest::aboutIgnoresAssignments() {
    TPicClip clip;
    const QString about = clip.About();
    clip.SetAbout(QStringLiteral("something else"));
    QCOMPARE(clip.About(), about);
}

void PicClipTest::clickKeepsTheCell() {
    ShowHost();
    QSignalSpy clicks(button_, &TCustomPicClip::Click);
    button_->SetBitMap(Strip(2, {65, 26}));
    button_->SetCell(2);
    QTest::mouseClick(button_, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(button_->Cell(), 2);
    // Released outside: no click.
    QTest::mousePress(button_, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(100, 10));
    QCOMPARE(clicks.count(), 1);
}

void PicClipTest::hoverShowsTheSecondCell() {
    button_->SetBitMap(Strip(2, {65, 26}));
    ShowHost();
    QCOMPARE(button_->size(), QSize(65, 26));
    QCOMPARE(CellPainted(button_), 1);

    MovePointerTo(button_->mapToGlobal(QPoint(10, 10)));
    QCOMPARE(button_->Cell(), 2);
    QCOMPARE(CellPainted(button_), 2);
    QCOMPARE(QWidget::mouseGrabber(), button_);

    MovePointerTo(button_->mapToGlobal(QPoint(30, 20)));
    QCOMPARE(button_->Cell(), 2);

    // Off the button but still over the host window: only the capture brings this move here.
    MovePointerTo(host_->mapToGlobal(QPoint(250, 150)));
    QCOMPARE(button_->Cell(), 1);
    QCOMPARE(CellPainted(button_), 1);
    QCOMPARE(QWidget::mouseGrabber(), nullptr);

    MovePointerTo(button_->mapToGlobal(QPoint(20, 5)));
    QCOMPARE(button_->Cell(), 2);

    // Right out of the window.
    MovePointerTo(host_->mapToGlobal(QPoint(-100, -100)));
    QCOMPARE(button_->Cell(), 1);
}

void PicClipTest::hoverEdges_data() {
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("cell");
    QTest::newRow("right edge") << QPoint(65, 10) << 2;
    QTest::newRow("bottom edge") << QPoint(10, 26) << 2;
    QTest::newRow("bottom right corner") << QPoint(65, 26) << 2;
    QTest::newRow("left column") << QPoint(0, 13) << 2;
    QTest::newRow("past the right edge") << QPoint(66, 10) << 1;
    QTest::newRow("past the bottom edge") << QPoint(10, 27) << 1;
    QTest::newRow("left of it") << QPoint(-1, 10) << 1;
    QTest::newRow("above it") << QPoint(10, -1) << 1;
}

void PicClipTest::hoverEdges() {
    QFETCH(QPoint, to);
    QFETCH(int, cell);
    button_->SetBitMap(Strip(2, {65, 26}));
    ShowHost();
    MovePointerTo(button_->mapToGlobal(QPoint(30, 13)));
    QCOMPARE(button_->Cell(), 2);
    MovePointerTo(button_->mapToGlobal(to));
    QCOMPARE(button_->Cell(), cell);
    QCOMPARE(CellPainted(button_), cell);
}

void PicClipTest::singleCellButtonStaysOnItsCell() {
    button_->SetCellCount(1);
    button_->SetBitMap(Strip(1, {40, 20}));
    ShowHost();
    MovePointerTo(button_->mapToGlobal(QPoint(10, 10)));
    QCOMPARE(QWidget::mouseGrabber(), button_);
    QCOMPARE(button_->Cell(), 1);
    QCOMPARE(CellPainted(button_), 1);
}

void PicClipTest::hiddenButtonLetsTheMouseGo() {
    button_->SetBitMap(Strip(2, {65, 26}));
    ShowHost();
    MovePointerTo(button_->mapToGlobal(QPoint(10, 10)));
    QCOMPARE(QWidget::mouseGrabber(), button_);
    button_->hide();
    QCOMPARE(QWidget::mouseGrabber(), nullptr);
}

QTEST_MAIN(PicClipTest)
#include "picclip_gui_test.moc"
