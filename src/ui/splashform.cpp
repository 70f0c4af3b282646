#include "ui/splashform.h"

#include "base/apptitle.h"
#include "base/casepath.h"
#include "base/programdir.h"
#include "log/logger.h"
#include "ui/windowplace.h"
#include "ui/windowregion.h"

#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <functional>

namespace {

constexpr int FormWidth = 480;
constexpr int FormHeight = 260;
constexpr int CornerEllipse = 78;
constexpr int SquareCorner = 60;

const char* const MoviePath = "resource/flash/splash.swf";
const char* const PlayerPagePath = "resource/flash/splash.html";

// A movie the player can read starts with one of the format's signatures (plain, zlib, LZMA).
bool IsReadableMovie(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray signature = file.read(3);
    return signature == "FWS" || signature == "CWS" || signature == "ZWS";
}

// The player works from the installation only: nothing may reach the network.
class LocalFilesOnly : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        if (scheme != QLatin1String("file") && scheme != QLatin1String("data") &&
            scheme != QLatin1String("blob"))
            info.block(true);
    }
};

// Hears the page's reports, which carry the form's marker, and keeps every script dialog
// off the screen.
class PlayerWebPage : public QWebEnginePage {
public:
    PlayerWebPage(QWebEngineProfile* profile, const QString& marker,
                  std::function<void()> firstFrame, QObject* parent)
        : QWebEnginePage(profile, parent), marker_(marker), firstFrame_(std::move(firstFrame)) {}

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                  const QString&) override {
        if (message == marker_ + QLatin1String(" first frame"))
            firstFrame_();
        else if (message == marker_ + QLatin1String(" movie failed"))
            DebugLog("splash: the player could not play the movie");
    }
    void javaScriptAlert(const QUrl&, const QString&) override {}
    bool javaScriptConfirm(const QUrl&, const QString&) override { return false; }
    bool javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) override {
        return false;
    }

private:
    QString marker_;
    std::function<void()> firstFrame_;
};

} // namespace

QRegion SplashWindowRegion(const QSize& clientSize) {
    const QRect client(QPoint(0, 0), clientSize);
    QRegion region = RoundedWindowRegion(clientSize, CornerEllipse, CornerEllipse);
    region += QRect(0, 0, SquareCorner, SquareCorner);
    region += QRect(clientSize.width() - SquareCorner, clientSize.height() - SquareCorner,
                    SquareCorner, SquareCorner);
    return region.intersected(client);
}

QString SplashMoviePath() {
    return FindFileIgnoringCase(ProgramDir() + QLatin1String(MoviePath));
}

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      marker_(QString::number(QRandomGenerator::system()->generate64(), 36)) {
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(FormWidth, FormHeight);
    const QColor background = QGuiApplication::palette().color(QPalette::Light);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, background);
    setPalette(palette);
    setAutoFillBackground(true);
    CentreOnScreen(this);

    // A profile of its own, kept in memory: the main browser's cookies, scripts and command
    // addresses stay out of the splash, and nothing of the splash stays behind.
    auto* profile = new QWebEngineProfile(this);
    profile->setUrlRequestInterceptor(new LocalFilesOnly(profile));
    ShockwaveFlashEx1 = new QWebEngineView(this);
    ShockwaveFlashEx1->setGeometry(rect());
    ShockwaveFlashEx1->setContextMenuPolicy(Qt::NoContextMenu);
    auto* page = new PlayerWebPage(
        profile, marker_,
        [this] {
            DebugLog("splash: first frame");
            emit firstFrameShown();
        },
        ShockwaveFlashEx1);
    page->setBackgroundColor(background);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    ShockwaveFlashEx1->setPage(page);

    FormCreate();
}

TSplashForm::~TSplashForm() {
    // The page goes before its profile, and with them the player's browser process.
    delete ShockwaveFlashEx1;
}

void TSplashForm::FormCreate() {
    SetProgramDirFromExecutable();
    setWindowTitle(ApplicationTitle());
    // X11 without a compositing manager cannot key out a colour: the mask gives the shape.
    setMask(SplashWindowRegion(size()));
}

void TSplashForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!started_)
        FormShow();
    started_ = true;
}

void TSplashForm::FormShow() {
    DebugLog("splash: shown");
    const QString movie = SplashMoviePath();
    if (!QFile::exists(movie)) {
        DebugLog("splash: movie missing %s", qUtf8Printable(movie));
        return;
    }
    if (!IsReadableMovie(movie)) {
        DebugLog("splash: movie unreadable %s", qUtf8Printable(movie));
        return;
    }
    QUrl page =
        QUrl::fromLocalFile(FindFileIgnoringCase(ProgramDir() + QLatin1String(PlayerPagePath)));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("background"), palette().color(QPalette::Window).name());
    query.addQueryItem(QStringLiteral("marker"), marker_);
    query.addQueryItem(QStringLiteral("movie"), QUrl::fromLocalFile(movie).toString());
    page.setQuery(query);
    ShockwaveFlashEx1->load(page);
}

void TSplashForm::closeEvent(QCloseEvent* event) {
    DebugLog("splash: closed");
    QWidget::closeEvent(event);
}
