#include "bridge/webenginewb.h"
#include "support/modalwatch.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

// The browser adapter against real pages on disk: every document's completion, navigation
// hooks, script injection, taken-over clicks, refused reloads and the dialog caption.
class WebEngineWBTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(pages.isValid());
        write("frames.html", "<html><body><h1>frames</h1>"
                             "<iframe src='child.html'></iframe><iframe></iframe></body></html>");
        write("child.html", "<html><body>child</body></html>");
        write("plain.html", "<html><body><h1>plain</h1>"
                            "<a id='hiddenLink' href='next.html' onclick='window.pageSawClick=1'>"
                            "go</a></body></html>");
        write("next.html", "<html><body>next</body></html>");
        panel.resize(796, 457);
        browser = new TWebEngineWB(&panel);
        panel.show();
        browser->OnDocumentComplete = [this](const QString& url) { completed << url; };
        browser->OnBeforeNavigate2 = [this](const QString& url, bool& cancel) {
            started << url;
            cancel = url.startsWith(QLatin1String("command:"));
        };
    }

    void everyDocumentCompletesFramesFirst() {
        load("frames.html");
        QVERIFY(QTest::qWaitFor([&] { return completed.size() >= 3; }, 20000));
        QCOMPARE(completed.last(), url("frames.html"));
        QVERIFY(completed.contains(url("child.html")));
        QVERIFY(completed.contains(QStringLiteral("about:blank")));
    }

    void injectedScriptSendsCommandsThatAreCancelled() {
        load("plain.html");
        browser->InjectScript(QStringLiteral(
            "function SendClientCommand(command, params) {\r\nwindow.location.href='command:' "
            "+ command + ',' + params\r\n}\r\n"));
        completed.clear();
        run("SendClientCommand('enableBackBtn', 'True')");
        QVERIFY(QTest::qWaitFor(
            [&] { return started.contains(QStringLiteral("command:enableBackBtn,True")); }));
        // The page stays: no new document, and its script state survives.
        QTest::qWait(300);
        QCOMPARE(browser->LocationURL(), url("plain.html"));
        QCOMPARE(run("typeof SendClientCommand"), QStringLiteral("function"));
        QVERIFY(!completed.contains(url("plain.html")));
    }

    void takenOverClickDecidesTheDefaultAction() {
        load("plain.html");
        int answer = 0;
        int calls = 0;
        browser->AttachClickHandler(QStringLiteral("hiddenLink"), [&] {
            ++calls;
            return answer;
        });
        QTest::qWait(200);
        run("document.getElementById('hiddenLink').click()");
        QVERIFY(QTest::qWaitFor([&] { return calls == 1; }));
        QTest::qWait(500);
        QCOMPARE(browser->LocationURL(), url("plain.html"));
        // The page's own handler was replaced.
        QCOMPARE(run("String(window.pageSawClick)"), QStringLiteral("undefined"));

        answer = -1;
        run("document.getElementById('hiddenLink').click()");
        QVERIFY(QTest::qWaitFor([&] { return browser->LocationURL() == url("next.html"); }));
        QCOMPARE(calls, 2);
    }

    void readsTheTopDocument() {
        load("plain.html");
        TEmbeddedWB::TopDocument document;
        bool answered = false;
        browser->ReadTopDocument([&](const TEmbeddedWB::TopDocument& d) {
            document = d;
            answered = true;
        });
        QVERIFY(QTest::qWaitFor([&] { return answered; }));
        QVERIFY(document.exists);
        QVERIFY(document.hasHiddenLink);
        QVERIFY(!document.hasShowReturnBtn);
    }

    void reloadIsRefusedFromEverySource() {
        int refreshes = 0;
        browser->OnRefresh = [&](bool& cancel) {
            ++refreshes;
            cancel = true;
        };
        load("plain.html");
        run("window.marker = 42");
        browser->view()->triggerPageAction(QWebEnginePage::Reload);
        run("location.reload()");
        QTest::qWait(800);
        QCOMPARE(run("String(window.marker)"), QStringLiteral("42"));
        QVERIFY(refreshes >= 2);
        browser->OnRefresh = nullptr;
    }

    // A local page (the error page, or a file a page led to) must not read answers of the web:
    // the answer of a web server that allows no other origins stays out of its reach.
    void localPagesCannotReadRemoteAnswers() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                              "Content-Length: 6\r\nConnection: close\r\n\r\nsecret");
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        });
        const QByteArray page =
            "<html><body><script>window.got = 'pending';"
            "fetch('http://127.0.0.1:" +
            QByteArray::number(server.serverPort()) +
            "/data').then(function (r) { return r.text(); })"
            ".then(function (t) { window.got = t; }, function () { window.got = 'refused'; });"
            "</script></body></html>";
        write("fetching.html", page.constData());
        load("fetching.html");
        QVERIFY(
            QTest::qWaitFor([&] { return run("window.got") != QLatin1String("pending"); }, 20000));
        QCOMPARE(run("window.got"), QStringLiteral("refused"));
    }

    void alertCarriesTheClientCaption() {
        load("plain.html");
        QString caption;
        WhenModalShown<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            box->accept();
        });
        run("alert('hi'); 1");
        QCOMPARE(caption, QStringLiteral("温馨提示"));
    }

private:
    void write(const char* name, const char* html) {
        QFile file(pages.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html);
    }
    QString url(const char* name) const {
        return QUrl::fromLocalFile(pages.filePath(QString::fromLatin1(name))).toString();
    }
    void load(const char* name) {
        completed.clear();
        started.clear();
        browser->Navigate(pages.filePath(QString::fromLatin1(name)));
        QVERIFY(QTest::qWaitFor([&] { return completed.contains(url(name)); }, 20000));
    }
    QString run(const char* script) {
        QString result;
        bool done = false;
        browser->view()->page()->runJavaScript(QString::fromLatin1(script),
                                               [&](const QVariant& value) {
                                                   result = value.toString();
                                                   done = true;
                                               });
        [&] { QVERIFY(QTest::qWaitFor([&] { return done; }, 10000)); }();
        return result;
    }

    QTemporaryDir pages;
    QWidget panel;
    TWebEngineWB* browser = nullptr;
    QStringList completed;
    QStringList started;
};

int main(int argc, char** argv) {
    RegisterBrowserSchemes();
    QApplication app(argc, argv);
    WebEngineWBTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "webenginewb_gui_test.moc"
