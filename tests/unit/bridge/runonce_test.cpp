#include "bridge/pagescripts.h"

#include <QCoreApplication>
#include <QJSEngine>
#include <gtest/gtest.h>

namespace {

// A document of its own for each engine; the script counts its runs in a global.
int RunsInOneDocument(const QStringList& scripts) {
    // The script engine wants an application object.
    static int argc = 1;
    static char name[] = "bridge_unit_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    QJSEngine engine;
    engine.evaluate(QStringLiteral("var document = {}; var runs = 0;"));
    for (const QString& script : scripts) {
        const QJSValue result = engine.evaluate(script);
        EXPECT_FALSE(result.isError()) << qPrintable(result.toString());
    }
    return engine.globalObject().property(QStringLiteral("runs")).toInt();
}

TEST(RunOnceInDocument, EachScriptRunsOnceHoweverManyCopiesReachADocument) {
    const QString counting = QStringLiteral("(function () { runs += 1; })();");
    const QString once = RunOnceInDocument(counting, QStringLiteral("k1client"));
    const QString other = RunOnceInDocument(counting, QStringLiteral("k1flash"));
    struct Case {
        const char* what;
        QStringList scripts;
        int runs;
    } cases[] = {
        {"one copy", {once}, 1},
        {"the profile's and the page's copy", {once, once}, 1},
        {"three copies", {once, once, once}, 1},
        {"two scripts, two copies each", {once, other, once, other}, 2},
        {"an unmarked script still runs each time", {counting, counting}, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunsInOneDocument(c.scripts), c.runs) << c.what;
}

TEST(RunOnceInDocument, APageCannotUndoTheMark) {
    const QString once =
        RunOnceInDocument(QStringLiteral("runs += 1;"), QStringLiteral("k2client"));
    // The mark cannot be deleted or overwritten once set, so a second copy stays out.
    EXPECT_EQ(RunsInOneDocument({once,
                                 QStringLiteral("delete document.k2client;"
                                                "document.k2client = false;"),
                                 once}),
              1);
}

} // namespace
