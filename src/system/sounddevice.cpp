#include "system/sounddevice.h"

#include "log/logger.h"
#include "system/pulsedefaults.h"

#include <QApplication>
#include <QMessageBox>
#include <optional>

// Asked of the server itself rather than of Qt Multimedia, whose engine looks for a new server
// only once after losing one.
bool CheckSoundDevice() {
    const std::optional<PulseDefaults> server = QueryPulseDefaults();
    const int outputs = server ? server->sinks : 0;
    DebugLog("sound output devices: %d", outputs);
    if (outputs > 0)
        return true;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("温馨提示"),
                    QStringLiteral("由于未安装声音设备，不能录制或播放。要安装声音设备，请转到“控制"
                                   "面板”，单击“打印机和其他硬件”，然后单击“添加新硬件”。"),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
    return false;
}
