#pragma once

#include <QString>
#include <QWebEngineUrlSchemeHandler>
#include <functional>

// Serves the installed Flash player's files, read-only, to the platform's own pages: a request
// that another site starts, or that names anything but a file of the player's folder, fails.
class FlashSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    // folder: the player's folder, ending in "/"; platformHost: the settings' host value at the
    // time of each request.
    FlashSchemeHandler(const QString& folder, std::function<QString()> platformHost,
                       QObject* parent);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    QString folder_;
    std::function<QString()> platformHost_;
};
