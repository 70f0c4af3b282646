#include "reccheck/audiocontrols/miclevelhub.h"
#include "reccheck/audiocontrols/micmeter.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <limits>
#include <memory>

// The level meter painted to an image: how far up the foreground picture reaches for the
// levels the recorder publishes.

namespace {

const QSize MeterSize(70, 150);
const QColor BackgroundColour(0, 0, 255);
const QColor ForegroundColour(255, 0, 0);
constexpr double Silence = -std::numeric_limits<double>::infinity();

void Publish(double peakDbfs) {
    MicLevelHub::Instance().Publish(peakDbfs);
}

QColor PixelAt(TQtMicLevel& meter, int row) {
    const QImage image = meter.grab().toImage();
    return image.pixelColor(image.width() / 2, row);
}

// Rows in the middle column painted in the colour, counted from the bottom or the top.
enum class From { Bottom, Top };
int RowsOf(TQtMicLevel& meter, const QColor& colour, From from) {
    const QImage image = meter.grab().toImage();
    const auto rowAt = [&](int count) {
        return from == From::Bottom ? image.height() - 1 - count : count;
    };
    int rows = 0;
    while (rows < image.height() && image.pixelColor(image.width() / 2, rowAt(rows)) == colour)
        ++rows;
    return rows;
}

int LitRows(TQtMicLevel& meter) {
    return RowsOf(meter, ForegroundColour, From::Bottom);
}

} // namespace

class MicMeterTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    QString SolidPicture(const QString& name, const QColor& colour, const QSize& size) {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        const QString path = dir_.filePath(name);
        if (!picture.save(path, "BMP"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    std::unique_ptr<TQtMicLevel> Meter(const QSize& pictureSize = MeterSize) {
        auto meter = std::make_unique<TQtMicLevel>();
        meter->resize(MeterSize);
        meter->SetBackgroundImage(SolidPicture("bg.bmp", BackgroundColour, pictureSize));
        meter->SetForegroundImage(SolidPicture("fg.bmp", ForegroundColour, pictureSize));
        return meter;
    }

private slots:
    void heightFollowsTheLevel_data() {
        QTest::addColumn<double>("peakDbfs");
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<double>("litFraction");
        QTest::newRow("silence") << Silence << MeterSize << 0.0;
        QTest::newRow("below the floor") << TQtMicLevel::FloorDbfs - 20 << MeterSize << 0.0;
        QTest::newRow("at the floor") << TQtMicLevel::FloorDbfs << MeterSize << 0.0;
        QTest::newRow("halfway in dB") << TQtMicLevel::FloorDbfs / 2 << MeterSize << 0.5;
        QTest::newRow("a tenth below full") << TQtMicLevel::FloorDbfs / 10 << MeterSize << 0.9;
        QTest::newRow("full scale") << 0.0 << MeterSize << 1.0;
        QTest::newRow("small pictures, halfway")
            << TQtMicLevel::FloorDbfs / 2 << QSize(10, 20) << 0.5;
        QTest::newRow("small pictures, full scale") << 0.0 << QSize(10, 20) << 1.0;
    }

    void heightFollowsTheLevel() {
        QFETCH(double, peakDbfs);
        QFETCH(QSize, pictureSize);
        QFETCH(double, litFraction);
        auto meter = Meter(pictureSize);
        meter->StartMeter();
        Publish(peakDbfs);
        const int lit = LitRows(*meter);
        const int expected = qRound(litFraction * MeterSize.height());
        QVERIFY2(qAbs(lit - expected) <= 1, qPrintable(QString::number(lit)));
        // Above the lit part only the background shows.
        QCOMPARE(RowsOf(*meter, BackgroundColour, From::Top), MeterSize.height() - lit);
    }

    void risesAtOnceAndFallsGradually() {
        auto meter = Meter();
        meter->StartMeter();
        Publish(0.0);
        QCOMPARE(LitRows(*meter), MeterSize.height());
        Publish(Silence);
        QCOMPARE(LitRows(*meter), MeterSize.height());
        QTRY_VERIFY(LitRows(*meter) > 0 && LitRows(*meter) < MeterSize.height());
        QTRY_COMPARE(LitRows(*meter), 0);
        Publish(TQtMicLevel::FloorDbfs / 2);
        QCOMPARE(LitRows(*meter), MeterSize.height() / 2);
    }

    void showsLevelsOnlyBetweenStartAndStop() {
        auto meter = Meter();
        Publish(0.0);
        QCOMPARE(LitRows(*meter), 0);
        meter->StartMeter();
        Publish(0.0);
        QCOMPARE(LitRows(*meter), MeterSize.height());
        meter->StopMeter();
        QCOMPARE(LitRows(*meter), 0);
        Publish(0.0);
        QCOMPARE(LitRows(*meter), 0);
        meter->StartMeter();
        Publish(0.0);
        QCOMPARE(LitRows(*meter), MeterSize.height());
    }

    void missingPicturesPaintPlainColours() {
        TQtMicLevel meter;
        meter.resize(MeterSize);
        const QString background = dir_.filePath("missing-bg.bmp");
        const QString foreground = dir_.filePath("missing-fg.bmp");
        meter.SetBackgroundImage(background);
        meter.SetForegroundImage(foreground);
        QCOMPARE(meter.BackgroundImage(), background);
        QCOMPARE(meter.ForegroundImage(), foreground);
        meter.StartMeter();
        Publish(TQtMicLevel::FloorDbfs / 2);
        const QColor top = PixelAt(meter, 0);
        const QColor bottom = PixelAt(meter, MeterSize.height() - 1);
        QVERIFY(top != bottom);
        QCOMPARE(RowsOf(meter, bottom, From::Bottom), MeterSize.height() / 2);
        QCOMPARE(RowsOf(meter, top, From::Top), MeterSize.height() / 2);
    }
};

QTEST_MAIN(MicMeterTest)
#include "micmeter_gui_test.moc"
