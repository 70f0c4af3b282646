#include "reccheck/rectip.h"

#include "base/inifile.h"
#include "system/settings.h"
#include "ui/errorbox.h"

std::optional<QString> RecTipChange(bool turnOff, bool recTipOn) {
    if (turnOff != recTipOn)
        return std::nullopt;
    return turnOff ? QStringLiteral("no") : QStringLiteral("yes");
}

bool WriteRecTip(const QString& value) {
    return WriteProfileString(SettingsFilePath(), QStringLiteral("CheckRecTip"),
                              QStringLiteral("RecTip"), value);
}

void UpdateRecTip(bool turnOff) {
    const std::optional<QString> value = RecTipChange(turnOff, IsRecTipOn());
    if (value && !WriteRecTip(*value))
        throw ClientError(QStringLiteral("Cannot write file \"%1\".").arg(SettingsFilePath()));
}
