#include "../../unit/reccheck/fakeaudiocontrols.h"
#include "base/inifile.h"
#include "base/programdir.h"
#include "reccheck/checkrecord.h"
#include "reccheck/failureline.h"
#include "support/modalwatch.h"
#include "ui/picbutton.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <QtTest/qtestspontaneevent.h>

namespace {

void Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
}

QString RecTip(const QTemporaryDir& install) {
    return ReadProfileString(install.filePath(QStringLiteral("Conf.ini")),
                             QStringLiteral("CheckRecTip"), QStringLiteral("RecTip"),
                             QStringLiteral("(missing)"));
}

// Runs the wizard modally and acts on it once it is shown; the act ends by closing it.
void RunWizard(TCheckRecord& wizard, const std::function<void()>& act) {
    QTimer::singleShot(0, &wizard, act);
    wizard.exec();
}

// From the start page through the sample and a quick countdown to the result page.
bool CheckThrough(TCheckRecord& wizard, FakeAudioControls& controls) {
    wizard.tmr1->setInterval(10);
    Click(wizard.RzBmpButton2);
    controls.audio->Report(AudioPlaying);
    controls.audio->Report(AudioIdle);
    return QTest::qWaitFor(
        [&] {
            const int page = wizard.RzPageControl1->currentIndex();
            return page == SuccessPage || page == FailurePage;
        },
        10000);
}

// A short recording where the check saves it, as the real recorder would.
void SaveRecording(const QTemporaryDir& install) {
    QByteArray wav(44 + 3200, '\0');
    const auto put32 = [&wav](int at, quint32 value) { qToLittleEndian(value, wav.data() + at); };
    const auto put16 = [&wav](int at, quint16 value) { qToLittleEndian(value, wav.data() + at); };
    wav.replace(0, 4, "RIFF");
    put32(4, wav.size() - 8);
    wav.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, 16000);
    put32(28, 32000);
    put16(32, 2);
    put16(34, 16);
    wav.replace(36, 4, "data");
    put32(40, 3200);
    QDir(install.path()).mkpath(QStringLiteral("tmp"));
    QFile file(install.filePath(QStringLiteral("tmp/RecordTestFile.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(wav), wav.size());
}

} // namespace

class CheckRecordTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(install.isValid());
        SetProgramDir(install.path());
        QFile::remove(install.filePath(QStringLiteral("Conf.ini")));
    }

    void controlsSitWhereTheirPagesNeedThem() {
        FakeAudioControls controls;
        TCheckRecord wizard(controls, nullptr);
        QCOMPARE(wizard.size(), QSize(558, 353));
        QVERIFY(wizard.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(!wizard.mask().contains(QPoint(0, 0)));
        QVERIFY(wizard.mask().contains(QPoint(3, 0)));
        QCOMPARE(wizard.RzPageControl1->count(), 4);
        const struct {
            QWidget* control;
            QWidget* page;
            QRect place;
        } table[] = {
            {wizard.RzBmpButton1, wizard.TabSheet4, {528, 12, 19, 19}},
            {wizard.RzBmpButton3, wizard.TabSheet1, {528, 12, 19, 19}},
            {wizard.RzBmpButton4, wizard.TabSheet2, {528, 12, 19, 19}},
            {wizard.RzBmpButton5, wizard.TabSheet3, {528, 12, 19, 19}},
            {wizard.RzBmpButton2, wizard.TabSheet4, {432, 272, 108, 36}},
            {wizard.RzBmpButton6, wizard.TabSheet2, {224, 264, 108, 36}},
            {wizard.RzBmpButton7, wizard.TabSheet3, {312, 264, 108, 36}},
            {wizard.RzBmpButton8, wizard.TabSheet3, {133, 264, 108, 36}},
            {wizard.RzBmpButton9, wizard.TabSheet4, {336, 178, 27, 26}},
            {wizard.lbl1, wizard.TabSheet1, {100, 300, 129, 16}},
            {wizard.img5, wizard.TabSheet1, {70, 290, 21, 34}},
            {wizard.RzProgressStatus1, wizard.TabSheet1, {180, 296, 220, 25}},
            {wizard.VyraMicLevel1, wizard.TabSheet1, {464, 128, 70, 150}},
            {wizard.failureLine, wizard.TabSheet3, {0, 308, 558, 24}},
            {wizard.replayOnSuccess, wizard.TabSheet2, {462, 270, 64, 24}},
            {wizard.replayOnFailure, wizard.TabSheet3, {462, 270, 64, 24}},
        };
        for (const auto& row : table) {
            QCOMPARE(row.control->parentWidget(), row.page);
            QCOMPARE(row.control->geometry(), row.place);
        }
        QVERIFY(wizard.RzBmpButton9->isHidden());
        QVERIFY(wizard.VyraMicLevel1->isHidden());
        QVERIFY(wizard.RzProgressStatus1->isHidden());
        QVERIFY(wizard.img5->isHidden());
        QCOMPARE(wizard.tmr1->interval(), 1000);
        QCOMPARE(wizard.lbl1->font().pixelSize(), 13);
        QVERIFY(wizard.lbl1->font().bold());
    }

    void aWholeCheckPassesAndTurnsTheTipOff() {
        FakeAudioControls controls;
        TCheckRecord wizard(controls, nullptr);
        QStringList countdown;
        int pageAfterStart = -1;
        bool closesDisabled = false;
        RunWizard(wizard, [&] {
            QCOMPARE(wizard.RzPageControl1->currentIndex(), int(StartPage));
            Click(wizard.RzBmpButton2);
            pageAfterStart = wizard.RzPageControl1->currentIndex();
            closesDisabled = !wizard.RzBmpButton1->isEnabled() && !wizard.RzBmpButton3->isEnabled();
            controls.audio->Report(AudioPlaying);
            controls.audio->Report(AudioIdle);
            QVERIFY(wizard.tmr1->isActive());
            QVERIFY(wizard.VyraMicLevel1->isVisible());
            QVERIFY(wizard.RzProgressStatus1->isVisible());
            countdown << wizard.lbl1->text();
            // The real one-second timer: eleven ticks and the verdict's pause.
            QVERIFY(QTest::qWaitFor(
                [&] {
                    if (countdown.last() != wizard.lbl1->text())
                        countdown << wizard.lbl1->text();
                    return wizard.RzPageControl1->currentIndex() == SuccessPage;
                },
                20000));
            QCOMPARE(wizard.RzProgressStatus1->value(), 10);
            Click(wizard.RzBmpButton6);
        });
        QCOMPARE(pageAfterStart, int(TestPage));
        QVERIFY(closesDisabled);
        QCOMPARE(countdown.size(), 11);
        QCOMPARE(countdown.first(), QStringLiteral("剩余10秒     "));
        QCOMPARE(countdown.last(), QStringLiteral("剩余0秒     "));
        QVERIFY(!wizard.isVisible());
        QVERIFY(wizard.Flow().Closed());
        QCOMPARE(RecTip(install), QStringLiteral("no"));
        QVERIFY(controls.journal.calls.contains(
            "SaveRecord " + install.filePath(QStringLiteral("tmp/RecordTestFile.wav"))));
    }

    // The line sits under the page's picture and its buttons, clear of both.
    void theFailurePageSaysWhyUnderItsPicture() {
        for (const int verdict : {4, 6}) {
            FakeAudioControls controls;
            controls.journal.verdict = verdict;
            TCheckRecord wizard(controls, nullptr);
            QString line;
            bool shown = false;
            RunWizard(wizard, [&] {
                QVERIFY(CheckThrough(wizard, controls));
                line = wizard.failureLine->text();
                shown = wizard.failureLine->isVisible();
                Click(wizard.RzBmpButton7);
            });
            QCOMPARE(line, FailureLine(verdict));
            QVERIFY(shown);
            for (QWidget* button : {static_cast<QWidget*>(wizard.RzBmpButton7),
                                    static_cast<QWidget*>(wizard.RzBmpButton8),
                                    static_cast<QWidget*>(wizard.replayOnFailure)})
                QVERIFY(!wizard.failureLine->geometry().intersects(button->geometry()));
            // Under the picture's last line of text (which ends at y 242).
            QVERIFY(wizard.failureLine->y() > 242);
        }
    }

    void replayPlaysTheRecordingUntilItEndsOrIsPressedAgain() {
        SaveRecording(install);
        FakeAudioControls controls;
        TCheckRecord wizard(controls, nullptr);
        const QString recording = install.filePath(QStringLiteral("tmp/RecordTestFile.wav"));
        RunWizard(wizard, [&] {
            QVERIFY(CheckThrough(wizard, controls));
            QCOMPARE(wizard.RzPageControl1->currentIndex(), int(SuccessPage));
            QVERIFY(wizard.replayOnSuccess->isVisible());
            QVERIFY(wizard.replayOnSuccess->isEnabled());
            QVERIFY(!wizard.replayOnSuccess->isChecked());
            controls.journal.calls.clear();

            Click(wizard.replayOnSuccess);
            QCOMPARE(controls.journal.calls, QStringList({"SetFileName " + recording, "Play"}));
            controls.audio->Report(AudioPlaying);
            QVERIFY(wizard.replayOnSuccess->isChecked());
            controls.audio->Report(AudioIdle);
            QVERIFY(!wizard.replayOnSuccess->isChecked());
            QVERIFY(wizard.replayOnSuccess->isEnabled());
            // Its end started no recording.
            QCOMPARE(controls.journal.Count("StartRecord"), 0);
            QCOMPARE(wizard.RzPageControl1->currentIndex(), int(SuccessPage));

            Click(wizard.replayOnSuccess);
            controls.audio->Report(AudioPlaying);
            Click(wizard.replayOnSuccess);
            QCOMPARE(controls.journal.calls.last(), QStringLiteral("Stop"));
            QVERIFY(!wizard.replayOnSuccess->isChecked());
            Click(wizard.RzBmpButton6);
        });
        QVERIFY(!wizard.isVisible());
    }

    void leavingTheFailurePageStopsTheReplay() {
        SaveRecording(install);
        FakeAudioControls controls;
        controls.journal.verdict = 4;
        TCheckRecord wizard(controls, nullptr);
        RunWizard(wizard, [&] {
            QVERIFY(CheckThrough(wizard, controls));
            QVERIFY(wizard.replayOnFailure->isEnabled());
            Click(wizard.replayOnFailure);
            controls.audio->Report(AudioPlaying);
            controls.journal.calls.clear();
            Click(wizard.RzBmpButton8);
            QCOMPARE(controls.journal.calls, QStringList{"Stop"});
            QCOMPARE(wizard.RzPageControl1->currentIndex(), int(StartPage));
            // The substitute recorder never reported the recording's end, which would have
            // enabled the start page's close button.
            wizard.close();
        });
    }

    void withoutARecordingFileReplayIsDisabled() {
        QFile::remove(install.filePath(QStringLiteral("tmp/RecordTestFile.wav")));
        FakeAudioControls controls;
        controls.journal.verdict = 2;
        TCheckRecord wizard(controls, nullptr);
        bool enabled = true;
        RunWizard(wizard, [&] {
            QVERIFY(CheckThrough(wizard, controls));
            enabled = wizard.replayOnFailure->isEnabled();
            controls.journal.calls.clear();
            Click(wizard.replayOnFailure);
            QVERIFY(controls.journal.calls.isEmpty());
            Click(wizard.RzBmpButton7);
        });
        QVERIFY(!enabled);
    }

    // Restoring the window from minimised sends a spontaneous show event; it must not bring the
    // start page back and stop the countdown while the recorder goes on.
    void aSpontaneousShowLeavesARunningCheckAlone() {
        FakeAudioControls controls;
        TCheckRecord wizard(controls, nullptr);
        bool countdownRuns = false;
        int page = -1;
        RunWizard(wizard, [&] {
            Click(wizard.RzBmpButton2);
            controls.audio->Report(AudioPlaying);
            controls.audio->Report(AudioIdle);
            QVERIFY(wizard.tmr1->isActive());
            QShowEvent restored;
            QSpontaneKeyEvent::setSpontaneous(&restored);
            QApplication::instance()->notify(&wizard, &restored);
            countdownRuns = wizard.tmr1->isActive();
            page = wizard.RzPageControl1->currentIndex();
            wizard.close();
        });
        QVERIFY(countdownRuns);
        QCOMPARE(page, int(TestPage));
    }

    void aFailingControlShowsItsErrorAndFreesTheCloseButtons() {
        FakeAudioControls controls;
        controls.journal.failing = QStringLiteral("PrepareRecord");
        TCheckRecord wizard(controls, nullptr);
        QString error;
        bool closeEnabled = false;
        RunWizard(wizard, [&] {
            Click(wizard.RzBmpButton2);
            WhenModalShown<QMessageBox>([&](QMessageBox* box) {
                error = box->text();
                box->accept();
            });
            controls.audio->Report(AudioPlaying);
            controls.audio->Report(AudioIdle);
            closeEnabled = wizard.RzBmpButton3->isEnabled();
            QCOMPARE(wizard.RzPageControl1->currentIndex(), int(TestPage));
            Click(wizard.RzBmpButton3);
        });
        QCOMPARE(error, QStringLiteral("cannot PrepareRecord"));
        QVERIFY(closeEnabled);
        QVERIFY(!wizard.isVisible());
        // No verdict: the tip setting is left alone.
        QCOMPARE(RecTip(install), QStringLiteral("(missing)"));
    }

    void escapeDoesNotCloseTheWizard() {
        FakeAudioControls controls;
        TCheckRecord wizard(controls, nullptr);
        bool visibleAfterEscape = false;
        RunWizard(wizard, [&] {
            QTest::keyClick(&wizard, Qt::Key_Escape);
            visibleAfterEscape = wizard.isVisible();
            Click(wizard.RzBmpButton1);
        });
        QVERIFY(visibleAfterEscape);
        QVERIFY(!wizard.isVisible());
    }

    void withoutSoundDeviceStartOnlyShowsTheDeviceMessage() {
        // Run without a sound server: no output device.
        if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            QSKIP("needs a machine without a sound server");
        FakeAudioControls controls;
        TCheckRecord wizard(controls, nullptr);
        QString message;
        int page = -1;
        RunWizard(wizard, [&] {
            WhenModalShown<QMessageBox>([&](QMessageBox* box) {
                message = box->text();
                box->accept();
            });
            Click(wizard.RzBmpButton2);
            page = wizard.RzPageControl1->currentIndex();
            Click(wizard.RzBmpButton1);
        });
        QVERIFY(message.startsWith(QStringLiteral("由于未安装声音设备")));
        QCOMPARE(page, int(StartPage));
        // Nothing was played or recorded; the controls were only destroyed at the close.
        QCOMPARE(controls.journal.calls, QStringList({"AudioUtil destroyed", "ECL destroyed"}));
    }

private:
    QTemporaryDir install;
};

QTEST_MAIN(CheckRecordTest)
#include "checkrecord_gui_test.moc"
