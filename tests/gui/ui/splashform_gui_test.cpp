#include "base/apptitle.h"
#include "base/programdir.h"
#include "log/logger.h"
#include "system/titlesetting.h"
#include "ui/splashform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QWebEngineView>
#include <QtEndian>
#include <QtTest>

namespace {

// The test program lives in a folder of its own that serves as the installation: the splash
// takes the program directory from the executable.
QString InstallFile(const QString& relative) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + relative;
}

const QString LogName = QStringLiteral("splashform.log");
const QColor MovieBackground(0xd0, 0x20, 0x30);

// Settings with the DBG lines on and, when title is not null, an application title.
void WriteSettings(const QString& title) {
    QFile conf(InstallFile(QStringLiteral("Conf.ini")));
    QVERIFY(conf.open(QIODevice::WriteOnly | QIODevice::Truncate));
    conf.write("[logger]\nflush=1\nlevel=39\nfile=" + LogName.toUtf8() + "\n");
    if (!title.isNull())
        conf.write("[App]\nTitle=" + title.toUtf8() + "\n");
}

QString LogText() {
    QFile log(InstallFile(LogName));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

// Appends `count` bits of `value`, most significant first.
void PutBits(QByteArray& bytes, int& bitCount, quint32 value, int count) {
    for (int bit = count - 1; bit >= 0; --bit) {
        if (bitCount % 8 == 0)
            bytes.append('\0');
        if (value >> bit & 1)
            bytes[bytes.size() - 1] = static_cast<char>(bytes.back() | 0x80 >> bitCount % 8);
        ++bitCount;
    }
}

QByteArray Little16(quint16 value) {
    QByteArray bytes(2, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// The smallest movie that draws: a 480 × 260 stage, one frame in the given background colour.
QByteArray OneFrameMovie(const QColor& background) {
    constexpr int TwipsPerPixel = 20;
    constexpr int RectFieldBits = 15;
    QByteArray body;
    int bitCount = 0;
    PutBits(body, bitCount, RectFieldBits, 5);
    for (int field : {0, 480 * TwipsPerPixel, 0, 260 * TwipsPerPixel})
        PutBits(body, bitCount, static_cast<quint32>(field), RectFieldBits);
    body += Little16(24 << 8); // 24 frames a second, 8.8 fixed point
    body += Little16(1);       // one frame
    constexpr quint16 SetBackgroundColor = 9, ShowFrame = 1;
    body += Little16(SetBackgroundColor << 6 | 3);
    body += static_cast<char>(background.red());
    body += static_cast<char>(background.green());
    body += static_cast<char>(background.blue());
    body += Little16(ShowFrame << 6);
    body += Little16(0); // End
    QByteArray length(4, '\0');
    qToLittleEndian(static_cast<quint32>(8 + body.size()), length.data());
    return QByteArray("FWS\x0a", 4) + length + body;
}

void WriteMovie(const QByteArray& content) {
    QFile movie(InstallFile(QStringLiteral("resource/flash/splash.swf")));
    QVERIFY(movie.open(QIODevice::WriteOnly | QIODevice::Truncate));
    movie.write(content);
}

// What the display shows where the splash is: the X server's own pixels.
QImage OnScreen(const TSplashForm& splash) {
    const QRect at = splash.geometry();
    return splash.screen()->grabWindow(0, at.x(), at.y(), at.width(), at.height()).toImage();
}

bool Near(QColor a, QColor b) {
    constexpr int Tolerance = 8;
    return qAbs(a.red() - b.red()) <= Tolerance && qAbs(a.green() - b.green()) <= Tolerance &&
           qAbs(a.blue() - b.blue()) <= Tolerance;
}

// Pixels inside the window's shape whose colour is not near `colour`.
int PixelsOtherThan(const QImage& image, const QRegion& shape, QColor colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (shape.contains(QPoint(x, y)) && !Near(image.pixelColor(x, y), colour))
                ++count;
    return count;
}

} // namespace

class SplashFormTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QDir flash(InstallFile(QStringLiteral("resource/flash")));
        QVERIFY(flash.removeRecursively());
        QVERIFY(QDir().mkpath(flash.path()));
        QVERIFY(QFile::copy(QStringLiteral(PARVELO_SPLASH_PAGE), flash.filePath("splash.html")));
        QVERIFY(QFile::link(QStringLiteral(PARVELO_RUFFLE_DIR), flash.filePath("ruffle")));
        QFile::remove(InstallFile(LogName));
        WriteSettings(QString());
        QVERIFY(OpenLog(InstallFile(QStringLiteral("Conf.ini")), true, QStringLiteral("logger")));
    }

    void cleanupTestCase() { CloseLog(); }

    void cleanup() { QFile::remove(InstallFile(QStringLiteral("resource/flash/splash.swf"))); }

    void isAFramelessWindowOfFixedSizeCentredOnTheScreen() {
        TSplashForm splash;
        QVERIFY(splash.isWindow());
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.size(), QSize(480, 260));
        QCOMPARE(splash.ShockwaveFlashEx1->geometry(), QRect(0, 0, 480, 260));
        QCOMPARE(splash.geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
    }

    void maskCutsTwoCornersRound_data() {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("top-left corner, square") << QPoint(0, 0) << true;
        QTest::newRow("bottom-right corner, square") << QPoint(479, 259) << true;
        QTest::newRow("top-right corner, rounded") << QPoint(479, 0) << false;
        QTest::newRow("bottom-left corner, rounded") << QPoint(0, 259) << false;
        QTest::newRow("inside the top-right curve") << QPoint(460, 9) << true;
        QTest::newRow("outside the top-right curve") << QPoint(470, 9) << false;
        QTest::newRow("outside the bottom-left curve") << QPoint(5, 250) << false;
        QTest::newRow("middle") << QPoint(240, 130) << true;
        QTest::newRow("right edge below the curve") << QPoint(479, 39) << true;
        QTest::newRow("left edge above the curve") << QPoint(0, 220) << true;
        QTest::newRow("right of the window") << QPoint(480, 130) << false;
        QTest::newRow("below the window") << QPoint(240, 260) << false;
    }

    void maskCutsTwoCornersRound() {
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        TSplashForm splash;
        QCOMPARE(splash.mask(), SplashWindowRegion(splash.size()));
        QCOMPARE(splash.mask().contains(point), inside);
    }

    void creationSetsProgramDirAndTakesTheTitle() {
        SetProgramDir(QDir::tempPath());
        SetApplicationTitle(QStringLiteral("Vorla 课堂"));
        TSplashForm splash;
        QCOMPARE(ProgramDir(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
        QCOMPARE(splash.windowTitle(), QStringLiteral("Vorla 课堂"));
    }

    // Start-up applies the settings' title before the splash; applied later, it renames the
    // open splash too.
    void titleFromTheSettingsNamesTheOpenSplash_data() {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QString>("title");
        QTest::newRow("title set") << QStringLiteral("Vorla 课堂") << QStringLiteral("Vorla 课堂");
        QTest::newRow("no title key") << QString() << QString();
        QTest::newRow("empty title") << QStringLiteral("") << QString();
    }

    void titleFromTheSettingsNamesTheOpenSplash() {
        QFETCH(QString, configured);
        QFETCH(QString, title);
        WriteSettings(configured);
        SetApplicationTitle(QStringLiteral("Parvelo"));
        TSplashForm splash;
        ApplyAppTitleFromSettings();
        QCOMPARE(ApplicationTitle(), title);
        QCOMPARE(splash.windowTitle(), title);
    }

    void playsTheMovieWhenShown() {
        WriteMovie(OneFrameMovie(MovieBackground));
        TSplashForm splash;
        QSignalSpy firstFrame(&splash, &TSplashForm::firstFrameShown);
        splash.show();
        QVERIFY(firstFrame.wait(30000));
        QTest::qWait(1500);
        const QImage image = OnScreen(splash);
        QVERIFY(Near(image.pixelColor(240, 130), MovieBackground));
        const QColor background = splash.palette().color(QPalette::Window);
        QVERIFY(!Near(background, MovieBackground));
        QVERIFY(PixelsOtherThan(image, splash.mask(), background) > 0);
        QCOMPARE(firstFrame.size(), 1);
        const QString log = LogText();
        QVERIFY(log.indexOf(QStringLiteral("splash: shown")) <
                log.indexOf(QStringLiteral("splash: first frame")));
    }

    void aRightClickOpensNoMenu() {
        WriteMovie(OneFrameMovie(MovieBackground));
        TSplashForm splash;
        QSignalSpy firstFrame(&splash, &TSplashForm::firstFrameShown);
        splash.show();
        QVERIFY(firstFrame.wait(30000));
        QWidget* surface = splash.ShockwaveFlashEx1->focusProxy();
        QVERIFY(surface);
        QTest::mouseClick(surface, Qt::RightButton, Qt::NoModifier, QPoint(240, 130));
        QTest::qWait(500);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(window == &splash || !window->isVisible());
    }

    void withoutAPlayableMovieShowsTheBackgroundOnly_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("logged");
        QTest::newRow("missing") << QByteArray() << false << QStringLiteral("movie missing");
        QTest::newRow("not a movie")
            << QByteArray("<html>not a movie</html>") << true << QStringLiteral("movie unreadable");
        QTest::newRow("empty file") << QByteArray() << true << QStringLiteral("movie unreadable");
    }

    void withoutAPlayableMovieShowsTheBackgroundOnly() {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        QFETCH(QString, logged);
        if (present)
            WriteMovie(content);
        TSplashForm splash;
        QSignalSpy firstFrame(&splash, &TSplashForm::firstFrameShown);
        splash.show();
        QTest::qWait(1500);
        QCOMPARE(firstFrame.size(), 0);
        const QColor background = splash.palette().color(QPalette::Window);
        QCOMPARE(PixelsOtherThan(OnScreen(splash), splash.mask(), background), 0);
        const QString line = QStringLiteral("splash: %1 %2").arg(logged, SplashMoviePath());
        QVERIFY2(LogText().contains(line), qPrintable(line));
    }

    void closingIsLogged() {
        const int before = static_cast<int>(LogText().count(QStringLiteral("splash: closed")));
        TSplashForm splash;
        splash.show();
        splash.close();
        QCOMPARE(LogText().count(QStringLiteral("splash: closed")), before + 1);
    }
};

QTEST_MAIN(SplashFormTest)
#include "splashform_gui_test.moc"
