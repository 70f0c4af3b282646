#pragma once

#include <QByteArray>
#include <QtGlobal>

// Sets an environment variable for the life of the object, then restores it.
class TScopedEnvironment {
public:
    TScopedEnvironment(const char* name, const QByteArray& value)
        : FName(name), FWasSet(qEnvironmentVariableIsSet(name)), FSaved(qgetenv(name)) {
        qputenv(name, value);
    }
    ~TScopedEnvironment() {
        if (FWasSet)
            qputenv(FName, FSaved);
        else
            qunsetenv(FName);
    }
    TScopedEnvironment(const TScopedEnvironment&) = delete;
    TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

private:
    const char* FName;
    bool FWasSet;
    QByteArray FSaved;
};
