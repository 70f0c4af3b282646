#include "platform/singleinstance.h"

#include "platform/filelock.h"
#include "platform/runtimedir.h"

SingleInstanceLock::SingleInstanceLock(const QString& name) {
    const QString folder = RuntimeDirectory();
    if (!folder.isEmpty())
        lock_ = new FileLock(folder + QLatin1Char('/') + name + QStringLiteral(".lock"));
}

SingleInstanceLock::~SingleInstanceLock() {
    delete lock_;
}

bool SingleInstanceLock::acquire() {
    if (!lock_ || !lock_->open())
        return true;
    return lock_->tryLock();
}
