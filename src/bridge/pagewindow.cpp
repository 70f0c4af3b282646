#include "bridge/pagewindow.h"

#include "bridge/clientpage.h"
#include "log/logger.h"

#include <QVBoxLayout>
#include <QWebEngineView>

TPageWindow::TPageWindow(QWebEngineProfile* profile, const PageScripts& scripts) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("PageWindow"));
    resize(800, 600);
    auto* view = new QWebEngineView(this);
    page_ = new ClientPage(profile, scripts, view);
    page_->navigationFilter = [](const QUrl& url, QWebEnginePage::NavigationType type, bool) {
        return ClassifyNavigation(url, type) == AddressUse::Load;
    };
    view->setPage(page_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    connect(page_, &QWebEnginePage::titleChanged, this, &QWidget::setWindowTitle);
    // A page's own "关闭" button (window.close()) closes the window, which frees its place
    // among the windows pages may keep open.
    connect(page_, &QWebEnginePage::windowCloseRequested, this, [this] {
        DebugLog("new window closed by its page");
        close();
    });
    connect(page_, &QWebEnginePage::urlChanged, this, [](const QUrl& url) {
        DebugLog("new window at: %s", qUtf8Printable(BrowserAddress(url)));
    });
}

ClientPage* TPageWindow::page() const {
    return page_;
}
