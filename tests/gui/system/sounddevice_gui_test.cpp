#include "support/modalwatch.h"
#include "system/sounddevice.h"

#include <QMessageBox>
#include <QTest>
#include <QTimer>

// Runs with a sound server address that leads nowhere, so the system offers no output device.
class SoundDeviceTest : public QObject {
    Q_OBJECT

private slots:
    void noDeviceTellsTheUserAndAnswersFalse() {
        QString caption;
        QString text;
        int buttons = 0;
        QMessageBox::Icon icon = QMessageBox::Critical;
        WhenModalShown<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            buttons = static_cast<int>(box->buttons().size());
            icon = box->icon();
            box->accept();
        });
        QVERIFY(!CheckSoundDevice());
        QCOMPARE(caption, QStringLiteral("温馨提示"));
        QCOMPARE(text,
                 QStringLiteral("由于未安装声音设备，不能录制或播放。要安装声音设备，请转到“控制"
                                "面板”，单击“打印机和其他硬件”，然后单击“添加新硬件”。"));
        QCOMPARE(buttons, 1);
        QCOMPARE(icon, QMessageBox::NoIcon);
    }
};

int main(int argc, char** argv) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/pulse/native");
    QApplication app(argc, argv);
    SoundDeviceTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "sounddevice_gui_test.moc"
