#include "platform/singleinstance.h"

#include "platform/filelock.h"
#include "platform/runtimedir.h"

SingleInstanceLock::SingleInstanceLock(const QString& name)
    : lock_(new FileLock(RuntimeDirectory() + QLatin1Char('/') + name + QStringLiteral(".lock"))) {}

SingleInstanceLock::~SingleInstanceLock() {
    delete lock_;
}

bool SingleInstanceLock::acquire() {
    if (!lock_->open())
        return true;
    return lock_->tryLock();
}
