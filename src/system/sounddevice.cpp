#include "system/sounddevice.h"

#include "log/logger.h"

#include <QApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMessageBox>

bool CheckSoundDevice() {
    const qsizetype outputs = QMediaDevices::audioOutputs().size();
    DebugLog("sound output devices: %lld", static_cast<long long>(outputs));
    if (outputs > 0)
        return true;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("温馨提示"),
                    QStringLiteral("由于未安装声音设备，不能录制或播放。要安装声音设备，请转到“控制"
                                   "面板”，单击“打印机和其他硬件”，然后单击“添加新硬件”。"),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
    return false;
}
