#include "ui/qttranslations.h"

#include "log/logger.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void InstallQtTranslations() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase", "qtwebengine"}) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QLocale(QLocale::Chinese, QLocale::China), QLatin1String(name),
                             QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
        } else {
            DebugLog("Qt translation %s_zh_CN not found in %s", name, qUtf8Printable(folder));
            delete translator;
        }
    }
}
