#include "bridge/webenginewb.h"
#include "support/modalwatch.h"
#include "ui/qttranslations.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <algorithm>

namespace {

// The texts of a dialog's buttons, in their order on the screen.
QStringList ButtonTexts(QWidget* dialog) {
    QList<QAbstractButton*> buttons = dialog->findChildren<QAbstractButton*>();
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
    });
    QStringList texts;
    for (QAbstractButton* button : buttons)
        if (button->isVisible())
            texts << button->text().remove(QLatin1Char('&'));
    return texts;
}

// The labels of a dialog that show text.
QList<QLabel*> TextLabels(QWidget* dialog) {
    QList<QLabel*> labels;
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (!label->text().isEmpty())
            labels << label;
    return labels;
}

} // namespace

// The browser adapter against real pages served on 127.0.0.1: every document's completion,
// navigation hooks, script injection, taken-over clicks, refused reloads and the page dialogs.
class WebEngineWBTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(pages.isValid());
        serve();
        write("frames.html", "<html><body><h1>frames</h1>"
                             "<iframe src='child.html'></iframe><iframe></iframe></body></html>");
        write("child.html", "<html><body>child</body></html>");
        write("plain.html", "<html><body><h1>plain</h1>"
                            "<a id='hiddenLink' href='next.html' onclick='window.pageSawClick=1'>"
                            "go</a></body></html>");
        write("next.html", "<html><body>next</body></html>");
        panel.resize(796, 457);
        browser = new TWebEngineWB(&panel);
        // The pages' server is the platform: its pages send commands.
        browser->PlatformHost = [this] { return base; };
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
        QTcpServer web;
        QVERIFY(web.listen(QHostAddress::LocalHost));
        connect(&web, &QTcpServer::newConnection, &web, [&] {
            QTcpSocket* socket = web.nextPendingConnection();
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
            QByteArray::number(web.serverPort()) +
            "/data').then(function (r) { return r.text(); })"
            ".then(function (t) { window.got = t; }, function () { window.got = 'refused'; });"
            "</script></body></html>";
        write("fetching.html", page.constData());
        // Loaded as a local file, as the client loads its error page.
        completed.clear();
        browser->Navigate(pages.filePath(QStringLiteral("fetching.html")));
        const QString file =
            QUrl::fromLocalFile(pages.filePath(QStringLiteral("fetching.html"))).toString();
        QVERIFY(QTest::qWaitFor([&] { return completed.contains(file); }, 20000));
        QVERIFY(
            QTest::qWaitFor([&] { return run("window.got") != QLatin1String("pending"); }, 20000));
        QCOMPARE(run("window.got"), QStringLiteral("refused"));
    }
    // Every page dialog: the client's caption, Chinese buttons, the page's text as plain text.
    void pageDialogsAreTheClients_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("expected");
        QTest::newRow("alert") << QStringLiteral("alert(%1); 'done'") << QStringList{"确定"}
                               << QStringLiteral("done");
        QTest::newRow("confirm") << QStringLiteral("String(confirm(%1))")
                                 << QStringList{"确定", "取消"} << QStringLiteral("true");
        QTest::newRow("prompt") << QStringLiteral("prompt(%1, 'unit 3')")
                                << QStringList{"确定", "取消"} << QStringLiteral("unit 3");
    }
    void pageDialogsAreTheClients() {
        QFETCH(QString, script);
        QFETCH(QStringList, buttons);
        QFETCH(QString, expected);
        load("plain.html");
        const QString message = QStringLiteral("<b>注意</b> <a href='x'>here</a> & <img src=x>");
        QString caption;
        QStringList shown;
        bool plain = false;
        WhenModalShown([](QWidget* w) { return w->isWindow(); },
                       [&](QWidget* dialog) {
                           caption = dialog->windowTitle();
                           shown = ButtonTexts(dialog);
                           for (QLabel* label : TextLabels(dialog))
                               plain = plain || (label->text() == message &&
                                                 label->textFormat() == Qt::PlainText);
                           QTest::keyClick(dialog, Qt::Key_Return);
                       });
        const QString quoted = QStringLiteral("\"%1\"").arg(message);
        QCOMPARE(run(script.arg(quoted)), expected);
        QCOMPARE(caption, QStringLiteral("温馨提示"));
        QCOMPARE(shown, buttons);
        QVERIFY2(plain, "the page's text is shown as it is, as plain text");
    }

    // The question before a page that asks to keep the student is in Chinese too.
    void leavePageQuestionIsChinese() {
        load("plain.html");
        run("window.onbeforeunload = function (e) { e.preventDefault(); e.returnValue = 'x'; }; 1");
        // A page may ask only after the student has used it.
        QWidget* surface = browser->view()->focusProxy();
        QVERIFY(surface);
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(400, 300));
        QTest::qWait(300);
        QString caption;
        QString text;
        QStringList shown;
        WhenModalShown([](QWidget* w) { return w->isWindow(); },
                       [&](QWidget* dialog) {
                           caption = dialog->windowTitle();
                           shown = ButtonTexts(dialog);
                           for (QLabel* label : TextLabels(dialog))
                               text += label->text();
                           QTest::keyClick(dialog, Qt::Key_Escape);
                       });
        browser->Navigate(url("next.html"));
        QVERIFY(QTest::qWaitFor([&] { return !caption.isEmpty(); }, 20000));
        QCOMPARE(caption, QStringLiteral("温馨提示"));
        QVERIFY2(text.contains(QStringLiteral("离开")), qUtf8Printable(text));
        QCOMPARE(shown, (QStringList{"确定", "取消"}));
        // Cancelled: the page stays.
        QTest::qWait(500);
        QCOMPARE(browser->LocationURL(), url("plain.html"));
        run("window.onbeforeunload = null; 1");
    }

    void cleanupTestCase() {
        server.kill();
        server.waitForFinished();
    }

private:
    void write(const char* name, const char* html) {
        QFile file(pages.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(html);
    }
    // The pages folder on a web server of its own: pages may follow links only on the web.
    void serve() {
        server.setProgram(QStringLiteral("python3"));
        server.setArguments({QStringLiteral("-u"), QStringLiteral("-m"),
                             QStringLiteral("http.server"), QStringLiteral("0"),
                             QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                             QStringLiteral("--directory"), pages.path()});
        server.start();
        const QRegularExpression served(QStringLiteral("port (\\d+)"));
        QVERIFY(QTest::qWaitFor(
            [&] {
                output += QString::fromUtf8(server.readAllStandardOutput());
                return served.match(output).hasMatch();
            },
            20000));
        base = QStringLiteral("http://127.0.0.1:%1/").arg(served.match(output).captured(1));
    }
    QString url(const char* name) const { return base + QString::fromLatin1(name); }
    void load(const char* name) {
        completed.clear();
        started.clear();
        browser->Navigate(url(name));
        QVERIFY(QTest::qWaitFor([&] { return completed.contains(url(name)); }, 20000));
    }
    QString run(const QString& script) {
        QString result;
        bool done = false;
        browser->view()->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value.toString();
            done = true;
        });
        [&] { QVERIFY(QTest::qWaitFor([&] { return done; }, 10000)); }();
        return result;
    }

    QTemporaryDir pages;
    QProcess server;
    QString output;
    QString base;
    QWidget panel;
    TWebEngineWB* browser = nullptr;
    QStringList completed;
    QStringList started;
};

int main(int argc, char** argv) {
    RegisterBrowserSchemes();
    QApplication app(argc, argv);
    InstallQtTranslations();
    WebEngineWBTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "webenginewb_gui_test.moc"
