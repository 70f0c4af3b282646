#include "../../unit/reccheck/fakeaudiocontrols.h"
#include "base/inifile.h"
#include "base/programdir.h"
#include "log/logger.h"
#include "reccheck/checkrecord.h"
#include "reccheck/tipcheckrec.h"
#include "support/modalwatch.h"
#include "ui/picbutton.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
}

} // namespace

class TipCheckRecTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        install = std::make_unique<QTemporaryDir>();
        QVERIFY(install->isValid());
        SetProgramDir(install->path());
    }

    void layoutTextsAndFonts() {
        FakeAudioControls controls;
        TTipCheckRec tip(controls, nullptr);
        QCOMPARE(tip.size(), QSize(342, 193));
        QVERIFY(tip.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(!tip.mask().contains(QPoint(0, 0)));
        QCOMPARE(tip.img1->geometry(), QRect(0, 0, 342, 193));
        QCOMPARE(tip.lbl1->geometry(), QRect(40, 56, 266, 70));
        QCOMPARE(tip.RzBmpButton1->geometry(), QRect(40, 140, 77, 30));
        QCOMPARE(tip.RzBmpButton2->geometry(), QRect(132, 140, 77, 30));
        QCOMPARE(tip.rzchckbx1->geometry(), QRect(230, 145, 79, 17));
        QCOMPARE(tip.RzBmpButton1->caption(), QStringLiteral("立即开始"));
        QCOMPARE(tip.RzBmpButton2->caption(), QStringLiteral("跳过试音"));
        QCOMPARE(tip.rzchckbx1->text(), QStringLiteral("不再提示"));
        QCOMPARE(tip.lbl1->font().pixelSize(), 14);
        QCOMPARE(tip.RzBmpButton1->font().pixelSize(), 13);
        QVERIFY(tip.RzBmpButton1->font().bold());
        QCOMPARE(tip.rzchckbx1->font().pixelSize(), 12);
        QCOMPARE(tip.lbl1->palette().color(QPalette::WindowText), QColor(28, 120, 138));
        const QStringList lines = tip.lbl1->text().split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("试音过程约半分钟，首先录制一段语音，系"));
        QCOMPARE(lines[1], QString(15, ' '));
        QCOMPARE(lines[3], QString(16, ' '));
        QCOMPARE(lines[4], QStringLiteral("最佳状态。"));
    }

    // The box is ticked when shown exactly when the tip is off; the click stores the box.
    void skipStoresTheBox_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("tickBeforeClick");
        QTest::addColumn<bool>("shownTicked");
        QTest::addColumn<QString>("after");
        QTest::newRow("tip on, box left") << "yes" << false << false << "yes";
        QTest::newRow("tip on, box ticked") << "yes" << true << false << "no";
        QTest::newRow("tip off, box untouched") << "no" << false << true << "no";
        QTest::newRow("no setting, box ticked") << "" << true << false << "no";
    }
    void skipStoresTheBox() {
        QFETCH(QString, stored);
        QFETCH(bool, tickBeforeClick);
        QFETCH(bool, shownTicked);
        QFETCH(QString, after);
        if (!stored.isEmpty())
            QVERIFY(WriteProfileString(ConfFile(), "CheckRecTip", "RecTip", stored));
        const QByteArray before = Content();
        FakeAudioControls controls;
        TTipCheckRec tip(controls, nullptr);
        bool ticked = false;
        QTimer::singleShot(0, &tip, [&] {
            ticked = tip.rzchckbx1->isChecked();
            if (tickBeforeClick)
                tip.rzchckbx1->setChecked(true);
            Click(tip.RzBmpButton2);
        });
        tip.exec();
        QCOMPARE(ticked, shownTicked);
        QCOMPARE(ReadProfileString(ConfFile(), "CheckRecTip", "RecTip", "yes"), after);
        if (!tickBeforeClick)
            QCOMPARE(Content(), before); // nothing written when the setting already agrees
        QVERIFY(controls.journal.calls.isEmpty());
    }

    void startNowOpensTheWizardBehindWhichTheTipWaits() {
        FakeAudioControls controls;
        TTipCheckRec tip(controls, nullptr);
        bool tipVisibleBehindWizard = false;
        WhenModalShown<TCheckRecord>([&](TCheckRecord* wizard) {
            tipVisibleBehindWizard = tip.isVisible();
            Click(wizard->RzBmpButton1);
        });
        QTimer::singleShot(0, &tip, [&] {
            tip.rzchckbx1->setChecked(true);
            Click(tip.RzBmpButton1);
        });
        tip.exec();
        QVERIFY(tipVisibleBehindWizard);
        QVERIFY(!tip.isVisible());
        // The box was ticked: the tip is off; the wizard reached no verdict and wrote nothing.
        QCOMPARE(ReadProfileString(ConfFile(), "CheckRecTip", "RecTip", "yes"),
                 QStringLiteral("no"));
    }

    void anUnwritableSettingIsLoggedAndTheClickGoesOn() {
        // A folder where the settings file should be: it cannot be written.
        QVERIFY(QDir().mkpath(ConfFile()));
        const QString logFile = install->filePath(QStringLiteral("client.log"));
        QVERIFY(OpenLog(logFile, false, QString()));
        FakeAudioControls controls;
        TTipCheckRec tip(controls, nullptr);
        bool wizardOpened = false;
        WhenModalShown<TCheckRecord>([&](TCheckRecord* wizard) {
            wizardOpened = true;
            Click(wizard->RzBmpButton1);
        });
        QTimer::singleShot(0, &tip, [&] {
            tip.rzchckbx1->setChecked(true);
            Click(tip.RzBmpButton1);
        });
        tip.exec();
        CloseLog();
        QVERIFY(wizardOpened);
        QFile log(logFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        QCOMPARE(text.count(QStringLiteral("TTipCheckRec.NextTip Exception ERROR[")), 1);
    }

private:
    QString ConfFile() const { return install->filePath(QStringLiteral("Conf.ini")); }
    QByteArray Content() const {
        QFile file(ConfFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> install;
};

QTEST_MAIN(TipCheckRecTest)
#include "tipcheckrec_gui_test.moc"
