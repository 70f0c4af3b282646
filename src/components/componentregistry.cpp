#include "components/componentregistry.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString ModuleKey(const QString& component) {
    return component + QStringLiteral("/Module");
}

} // namespace

QString ComponentRegistryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/parvelo/components.ini");
}

bool RecordComponentModule(const QString& component, const QString& modulePath) {
    const QString path = ComponentRegistryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSettings registry(path, QSettings::IniFormat);
    registry.setValue(ModuleKey(component), QFileInfo(modulePath).absoluteFilePath());
    registry.sync();
    return registry.status() == QSettings::NoError;
}

QString RegisteredComponentModule(const QString& component) {
    const QSettings registry(ComponentRegistryPath(), QSettings::IniFormat);
    return registry.value(ModuleKey(component)).toString();
}
