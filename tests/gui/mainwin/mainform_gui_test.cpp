#include "base/inifile.h"
#include "base/programdir.h"
#include "bridge/webenginewb.h"
#include "mainwin/mainform.h"
#include "mainwin/privatemessages.h"
#include "platform/handover.h"
#include "platform/windowlookup.h"
#include "support/modalwatch.h"
#include "system/settings.h"
#include "ui/msgform.h"
#include "ui/picbutton.h"
#include "ui/picclip.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

namespace {

void AnswerMsgBox(bool ok) {
    WhenModalShown([](QWidget* w) { return w == MsgForm(); },
                   [ok](QWidget*) {
                       TSmartImage* button = ok ? MsgForm()->ImgBtnOk : MsgForm()->ImgBtnCancel;
                       QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
                   });
}

// Notes the text of the next message box into *text and closes it with Enter.
void ReadAndCloseMsgBox(QString* text) {
    WhenModalShown([](QWidget* w) { return w == MsgForm(); },
                   [text](QWidget*) {
                       *text = MsgForm()->MsgBody->text();
                       QTest::keyClick(MsgForm(), Qt::Key_Return);
                   });
}

// Sends a hand-over message from another thread, as another program would, while this
// thread's event loop lets the window handle it.
bool Send(quint32 message) {
    std::atomic<bool> done{false};
    bool answered = false;
    std::thread sender([&] {
        answered = SendHandoverMessage(QString::fromLatin1(HandoverName), message);
        done = true;
    });
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, 40000);
    sender.join();
    return finished && answered;
}

class OtherProgramWindow {
public:
    OtherProgramWindow(const char* windowClass, const char* caption) {
        process_.start(QStringLiteral("xmessage"),
                       {"-name", windowClass, "-title", caption, "other program"});
        shown_ = QTest::qWaitFor([&] {
            return TopLevelWindowExists(QString::fromLatin1(windowClass),
                                        QString::fromLatin1(caption));
        });
    }
    bool shown() const { return shown_; }
    ~OtherProgramWindow() {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
    bool shown_ = false;
};

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        const QString skins =
            QStringLiteral(PARVELO_SOURCE_DIR "/resources/install/resource/image");
        QVERIFY(QDir().mkpath(install.filePath("resource/image")));
        for (const char* name : {"So_800_600.png", "So_800_600_inside.png"})
            QVERIFY(QFile::copy(skins + '/' + name,
                                install.filePath(QStringLiteral("resource/image/") + name)));
        // A platform address where nothing answers: the window's own behaviour is tested here.
        QVERIFY(WriteProfileString(install.filePath("Conf.ini"), "Host", "Host",
                                   "http://127.0.0.1:9/"));
    }

    void creationSetsTheFrameAndWorkingDirectories() {
        SetProgramDir(install.path());
        TMainForm form;
        QCOMPARE(form.size(), QSize(800, 600));
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(form.objectName(), QStringLiteral("MainForm"));
        QVERIFY(!form.insideSkin());
        QVERIFY(!form.btnLogOut->isEnabled());
        QVERIFY(form.RzBmpButton1->isEnabled());
        QVERIFY(form.btnReturnMainWindow->isHidden());
        QCOMPARE(form.RzPanel1->geometry(), QRect(2, 115, 796, 457));
        QCOMPARE(form.RzBmpClose->geometry(), QRect(752, 2, 28, 14));
        // Only the corners are cut.
        QVERIFY(!form.mask().contains(QPoint(0, 0)));
        QVERIFY(!form.mask().contains(QPoint(799, 599)));
        QVERIFY(form.mask().contains(QPoint(8, 0)));
        QVERIFY(form.mask().contains(QPoint(400, 300)));
        for (const char* dir : {"course", "tmp", "tmpRinfo"})
            QVERIFY2(QDir(install.filePath(dir)).exists(), dir);
    }

    void missingSkinShowsTheErrorAndTheWindowStillOpens() {
        QTemporaryDir empty;
        SetProgramDir(empty.path());
        QString shown;
        WhenModalShown<QMessageBox>([&shown](QMessageBox* box) {
            shown = box->text();
            box->accept();
        });
        TMainForm form;
        QVERIFY(shown.contains(QStringLiteral("So_800_600.png")));
        QCOMPARE(form.size(), QSize(800, 600));
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        // Creation stopped before the working directories.
        QVERIFY(!QDir(empty.filePath("tmp")).exists());
    }

    void privateMessagesHideShowAndActivate() {
        SetProgramDir(install.path());
        TMainForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QVERIFY(Send(WM_HIDEMAINWINDOW));
        QVERIFY(!form.isVisible());
        QVERIFY(Send(WM_SHOWMAINWINDOW));
        QVERIFY(form.isVisible());

        form.hide();
        QVERIFY(Send(WM_OTHERINSTANCE));
        QVERIFY(form.isVisible());
        // Unknown messages are answered and change nothing.
        QVERIFY(Send(0x999));
        QVERIFY(form.isVisible());
    }

    void companionProgramKeepsTheWindowHidden() {
        SetProgramDir(install.path());
        TMainForm form;
        form.hide();
        {
            OtherProgramWindow ostrel("TRvnx", "Ostrel");
            QVERIFY(ostrel.shown());
            QVERIFY(Send(WM_OTHERINSTANCE));
            QVERIFY(!form.isVisible());
        }
        {
            OtherProgramWindow plomek("#32770", "Plomek");
            QVERIFY(plomek.shown());
            QVERIFY(Send(WM_OTHERINSTANCE));
            QVERIFY(!form.isVisible());
        }
        QVERIFY(Send(WM_OTHERINSTANCE));
        QVERIFY(form.isVisible());
    }

    void closeAsksAndOnlyOkCloses() {
        SetProgramDir(install.path());
        TMainForm form;
        QSignalSpy closed(&form, &TMainForm::closed);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        AnswerMsgBox(false);
        form.close();
        QVERIFY(form.isVisible());
        QCOMPARE(closed.count(), 0);
        QCOMPARE(MsgForm()->MsgBody->text(), QStringLiteral("确认关闭吗？"));

        AnswerMsgBox(true);
        QTest::mouseClick(form.RzBmpClose, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!form.isVisible());
        QCOMPARE(closed.count(), 1);
    }

    // Without a web address the browser would be sent to "/", a listing of the local files.
    void aStartPageThatIsNoWebAddressIsAConfigurationError() {
        const struct {
            const char* name;
            QByteArray settings;
        } cases[] = {
            {"no Host key", "[App]\nTitle=x\n"},
            {"a local path", "[Host]\nHost=/home/student\n"},
            {"a file address", "[Host]\nHost=file:///etc\n"},
            {"no scheme", "[Host]\nHost=www.example.com\n"},
        };
        for (const auto& c : cases) {
            QTemporaryDir dir;
            QVERIFY(QDir().mkpath(dir.filePath("resource/image")));
            for (const char* name : {"So_800_600.png", "So_800_600_inside.png"})
                QVERIFY(QFile::copy(install.filePath(QStringLiteral("resource/image/") + name),
                                    dir.filePath(QStringLiteral("resource/image/") + name)));
            QFile conf(dir.filePath("Conf.ini"));
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write(c.settings);
            conf.close();
            SetProgramDir(dir.path());
            QString text;
            ReadAndCloseMsgBox(&text);
            TMainForm form;
            QVERIFY2(QTest::qWaitFor([&] { return !text.isEmpty(); }, 5000), c.name);
            QCOMPARE(text, QStringLiteral("主机地址配置错误。"));
            QTest::qWait(300);
            QVERIFY2(form.EmbeddedWB1->LocationURL().isEmpty(),
                     qPrintable(form.EmbeddedWB1->LocationURL()));
        }
    }

    void unreadableSettingsBringTheHostMessage() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Conf.ini"));
        SetProgramDir(dir.path());
        QString text;
        ReadAndCloseMsgBox(&text);
        QCOMPARE(ReadHost(), QString());
        QVERIFY(QTest::qWaitFor([&] { return !text.isEmpty(); }, 5000));
        QCOMPARE(text, QStringLiteral("主机地址配置错误。"));
    }

    // The browser reads the Host on every Flash file, permission and full-screen request and
    // every completed document, some of them inside its request handlers: a settings file that
    // becomes unreadable while the client runs keeps the run on the last Host, and brings one
    // box, shown from the event loop rather than inside a read.
    void settingsThatBecomeUnreadableKeepTheLastHostAndBringOneBox() {
        QTemporaryDir dir;
        SetProgramDir(dir.path());
        QVERIFY(WriteProfileString(dir.filePath("Conf.ini"), "Host", "Host", "http://p.test"));
        QCOMPARE(ReadHost(), QStringLiteral("http://p.test/"));
        QVERIFY(QFile::remove(dir.filePath("Conf.ini")));
        QVERIFY(QDir(dir.path()).mkdir("Conf.ini"));

        int boxes = 0;
        bool reading = false;
        bool boxInsideARead = false;
        // Counts and closes every box until the end of the test.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal != MsgForm() || !modal->isVisible())
                return;
            ++boxes;
            boxInsideARead = boxInsideARead || reading;
            QTest::keyClick(MsgForm(), Qt::Key_Return);
        });
        watch.start(20);
        const auto readSeveralTimes = [&] {
            reading = true;
            for (int request = 0; request < 3; ++request)
                QCOMPARE(ReadHost(), QStringLiteral("http://p.test/"));
            reading = false;
        };
        readSeveralTimes();
        QVERIFY(QTest::qWaitFor([&] { return boxes == 1; }, 5000));
        QVERIFY(!boxInsideARead);

        // Later requests bring no further box.
        readSeveralTimes();
        QCoreApplication::processEvents();
        QTest::qWait(200);
        QCOMPARE(boxes, 1);
        QVERIFY(!MsgForm()->isVisible());
    }

private:
    QTemporaryDir runtime;
    QTemporaryDir install;
};

QTEST_MAIN(MainFormTest)
#include "mainform_gui_test.moc"
