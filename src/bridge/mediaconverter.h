#pragma once

#include <QObject>
#include <QUrl>

class QNetworkAccessManager;
class QWebEngineProfile;
class QWebEngineUrlRequestJob;

// Listening files in formats the page engine does not play (WMA/ASF audio) are fetched with the
// platform's session and converted to WAV by ffmpeg, in a process of its own: a broken or
// hostile file can stop the conversion but never the client. The answer is 16-bit mono WAV at
// 22 050 Hz, which the engine plays, seeks and times.
class TMediaConverter : public QObject {
    Q_OBJECT
public:
    TMediaConverter(QWebEngineProfile* profile, QObject* parent);

    // Answers the job with the converted file, or fails it (the file missing, cut short, not
    // convertible, too large, or the conversion taking too long).
    void Convert(QWebEngineUrlRequestJob* job, const QUrl& file);

private:
    void convertFetched(QWebEngineUrlRequestJob* job, const QUrl& file, const QByteArray& data);

    QNetworkAccessManager* network_;
};
