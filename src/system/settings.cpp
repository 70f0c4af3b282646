#include "system/settings.h"

#include "base/inifile.h"
#include "base/programdir.h"
#include "system/hostreads.h"
#include "ui/msgbox.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

QString SettingsFilePath() {
    return ProgramDir() + QStringLiteral("Conf.ini");
}

QString HostWithSlash(const QString& value) {
    return value.endsWith(QLatin1Char('/')) ? value : value + QLatin1Char('/');
}

bool RecTipValueIsOn(const QString& value) {
    return value != QLatin1String("no");
}

QString ReadHost() {
    static THostReads reads;
    const QString file = SettingsFilePath();
    const THostReads::Answer answer = reads.OnRead(
        file, ReadProfileFile(file, QStringLiteral("Host"), QStringLiteral("Host"), {}));
    // The caller may be one of the browser's request handlers, where a modal box's nested event
    // loop must not run: the box waits for the event loop.
    if (answer.tellUnreadable && QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(), [] {
            ShowInfo(QStringLiteral("主机地址配置错误。"), QStringLiteral("温馨提示"));
        });
    return answer.host;
}

QString ReadPinnedCertificates() {
    return ReadProfileString(SettingsFilePath(), QStringLiteral("Host"),
                             QStringLiteral("CertificateSHA256"), {});
}

QString ReadAppTitle() {
    return ReadProfileString(SettingsFilePath(), QStringLiteral("App"), QStringLiteral("Title"),
                             {});
}

bool IsRecTipOn() {
    return RecTipValueIsOn(ReadProfileString(SettingsFilePath(), QStringLiteral("CheckRecTip"),
                                             QStringLiteral("RecTip"), QStringLiteral("yes")));
}

void SizeMainWindow(QWidget* form) {
    form->setFixedSize(MainClientWidth, MainClientHeight);
    form->setWindowFlag(Qt::FramelessWindowHint, true);
}
