#pragma once

#include "bridge/pagewindow.h"

#include <QByteArray>
#include <functional>
#include <memory>

class QCloseEvent;

// A web-page dialog that a platform page opened and waits for: a modal window of the client
// whose page finds the opener's arguments in window.dialogArguments and ends it with
// window.returnValue and window.close(). However it ends (the page closes it, the student closes
// the window), it answers once, with the return value as JSON ({"value": ...}, or {} for none).
class TPageDialog : public TPageWindow {
    Q_OBJECT
public:
    TPageDialog(QWebEngineProfile* profile, const PageScripts& scripts,
                const QString& argumentsJson);
    ~TPageDialog() override;

    std::function<void(const QByteArray& answer)> finished;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void readReturnValue();
    void answer(const QByteArray& json);

    QString closeMarker_;
    // The page's answer may come while the window is being destroyed: it is then dropped.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool reading_ = false;
    bool answered_ = false;
};

// What the dialog's page runs at its creation: the arguments, and a close() that tells the
// client through the marker.
QString DialogPageScript(const QString& argumentsJson, const QString& closeMarker);
