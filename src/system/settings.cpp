#include "system/settings.h"

#include "base/inifile.h"
#include "base/programdir.h"
#include "ui/msgbox.h"

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
    const ProfileRead read =
        ReadProfileFile(SettingsFilePath(), QStringLiteral("Host"), QStringLiteral("Host"), {});
    if (read.status == ProfileReadStatus::Unreadable) {
        ShowInfo(QStringLiteral("主机地址配置错误。"), QStringLiteral("温馨提示"));
        return QString();
    }
    return HostWithSlash(read.value);
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
