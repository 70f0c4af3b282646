#include "components/modulepath.h"

#include <QFileInfo>
#include <dlfcn.h>

QString ModuleFilePath(const void* addressInModule) {
    Dl_info info{};
    if (dladdr(addressInModule, &info) == 0 || !info.dli_fname)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}
