#include "bridge/pagedialog.h"

#include "bridge/clientpage.h"
#include "bridge/pagescripts.h"
#include "log/logger.h"

#include <QCloseEvent>
#include <QJsonDocument>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

// A page whose process hangs or died never answers the question for its return value.
constexpr int ReturnValueWaitMs = 3000;

const char ReadReturnValue[] = R"JS(
(function () {
  try {
    var text = JSON.stringify({ value: window.returnValue });
    return typeof text === 'string' ? text : '{}';
  } catch (e) {
    return '{}';
  }
})()
)JS";

} // namespace

QString DialogPageScript(const QString& argumentsJson, const QString& closeMarker) {
    // The arguments came as JSON text: anything else is no argument at all.
    const QJsonDocument arguments = QJsonDocument::fromJson(argumentsJson.toUtf8());
    const QString literal = arguments.isObject()
                                ? QString::fromUtf8(arguments.toJson(QJsonDocument::Compact))
                                : QStringLiteral("{}");
    return QStringLiteral(R"JS(
(function (args, marker) {
  window.dialogArguments = args.value;
  window.returnValue = undefined;
  window.close = function () { console.log(marker); };
})(%1, %2);
)JS")
        .arg(literal, JsString(closeMarker));
}

TPageDialog::TPageDialog(QWebEngineProfile* profile, const PageScripts& scripts,
                         const QString& argumentsJson)
    : TPageWindow(profile, scripts), closeMarker_(NewPageMarker()) {
    setObjectName(QStringLiteral("PageDialog"));
    setWindowModality(Qt::ApplicationModal);
    QWebEngineScript dialogScript;
    dialogScript.setName(QStringLiteral("dialog"));
    dialogScript.setSourceCode(DialogPageScript(argumentsJson, closeMarker_));
    dialogScript.setInjectionPoint(QWebEngineScript::DocumentCreation);
    dialogScript.setWorldId(QWebEngineScript::MainWorld);
    dialogScript.setRunsOnSubFrames(false);
    page()->scripts().insert(dialogScript);
    page()->consoleFilter = [this](const QString& message) {
        if (message != closeMarker_)
            return false;
        readReturnValue();
        return true;
    };
    connect(page(), &QWebEnginePage::windowCloseRequested, this, &TPageDialog::readReturnValue);
}

TPageDialog::~TPageDialog() {
    *alive_ = false;
}

void TPageDialog::closeEvent(QCloseEvent* event) {
    if (answered_) {
        event->accept();
        return;
    }
    event->ignore();
    readReturnValue();
}

void TPageDialog::readReturnValue() {
    if (reading_)
        return;
    reading_ = true;
    page()->runJavaScript(QString::fromLatin1(ReadReturnValue), QWebEngineScript::MainWorld,
                          [this, alive = alive_](const QVariant& value) {
                              if (*alive)
                                  answer(value.toString().toUtf8());
                          });
    QTimer::singleShot(ReturnValueWaitMs, this, [this] { answer("{}"); });
}

void TPageDialog::answer(const QByteArray& json) {
    if (answered_)
        return;
    answered_ = true;
    DebugLog("modal dialog closed: %s", json.constData());
    if (finished)
        finished(json);
    close();
}
