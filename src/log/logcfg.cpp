#include "log/logcfg.h"

#include "base/inifile.h"
#include "log/lognumber.h"

const char* const TzarqLogCfg::DefaultTitle = "Tavro Platform Running Information";
const char* const TzarqLogCfg::DefaultFile = "zoravoraz.log";
const char* const TzarqLogCfg::DefaultSection = "logger";

void TzarqLogCfg::Reset() {
    flush = false;
    overwrite = false;
    maxsize = DefaultMaxSize;
    output = DefaultOutput;
    level = DefaultLevel;
    title = QString::fromUtf8(DefaultTitle);
    file = QString::fromUtf8(DefaultFile);
}

bool TzarqLogCfg::LoadFromIni(const QString& path, const QString& section) {
    const QString name = section.isEmpty() ? QString::fromUtf8(DefaultSection) : section;
    const ProfileRead first = ReadProfileFile(path, name, QStringLiteral("flush"), QString());
    if (first.status == ProfileReadStatus::Missing)
        return false;
    auto read = [&](const char* key, const QString& defaultValue) {
        return ReadProfileString(path, name, QString::fromUtf8(key), defaultValue);
    };

    flush = ParseLogBoolean(first.value, false);
    overwrite = ParseLogBoolean(read("overwrite", QString()), false);
    maxsize = ParseLogInteger(read("maxsize", QString()), DefaultMaxSize);
    output = ParseLogInteger(read("output", QString()), DefaultOutput);
    level = ParseLogInteger(read("level", QString()), DefaultLevel);
    title = read("title", QString::fromUtf8(DefaultTitle));
    file = read("file", QString::fromUtf8(DefaultFile));
    return true;
}
