#include "system/titlesetting.h"

#include "base/apptitle.h"
#include "log/logger.h"
#include "system/settings.h"

void ApplyAppTitleFromSettings() {
    const QString title = ReadAppTitle();
    DebugLog("application title set to \"%s\"", qUtf8Printable(title));
    SetApplicationTitle(title);
}
