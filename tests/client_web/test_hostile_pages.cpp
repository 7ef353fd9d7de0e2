// Pages that try to flood the user, pass for another site or reach past
// their pane, served by the demo portal; some through a loopback proxy that
// wants a login, as an office's does.

#include "BrowserWindow.h"
#include "PageDialogs.h"
#include "PagePolicy.h"
#include "PaneRecovery.h"
#include "Portal.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDialog>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <sys/socket.h>

namespace {

using webtest::Patience;
using webtest::valueOf;

template <class Setter, class Handler> [[nodiscard]] auto swapIn(Setter set, Handler standIn) {
    return qScopeGuard([set, previous = set(std::move(standIn))] { set(previous); });
}

// An HTTP proxy on 127.0.0.1 that wants "office"/"desk" and sends every
// request, whatever its host, to the demo portal.
class LoginProxy : public QObject {
public:
    quint16 portalPort = 0;
    QStringList served;  // "GET http://portal.test/..." of the requests let through
    QByteArray whenDown; // its answer when the portal is down; none closes the connection

    bool listen() {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = m_server.nextPendingConnection())
                connect(client, &QTcpSocket::readyRead, client, [this, client] { read(client); });
        });
        return m_server.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return m_server.serverPort(); }

private:
    void read(QTcpSocket* client) {
        QByteArray& head = m_heads[client];
        head += client->readAll();
        const qsizetype end = head.indexOf("\r\n\r\n");
        if (end < 0 || client->property("forwarded").toBool())
            return;
        client->setProperty("forwarded", true);
        const QList<QByteArray> lines = head.left(end).split('\n');
        const QList<QByteArray> request = lines.front().trimmed().split(' ');
        const bool authorized = std::any_of(lines.begin(), lines.end(), [](const QByteArray& l) {
            return l.trimmed() ==
                   "Proxy-Authorization: Basic " + QByteArray("office:desk").toBase64();
        });
        if (!authorized || request.size() != 3) {
            client->write("HTTP/1.1 407 Proxy Authentication Required\r\n"
                          "Proxy-Authenticate: Basic realm=\"office\"\r\n"
                          "Content-Length: 0\r\nConnection: close\r\n\r\n");
            client->disconnectFromHost();
            return;
        }
        served.append(QString::fromLatin1(request[0] + ' ' + request[1]));
        QByteArray forwarded =
            request[0] + ' ' +
            QUrl(QString::fromLatin1(request[1])).path(QUrl::FullyEncoded).toLatin1();
        const QByteArray query =
            QUrl(QString::fromLatin1(request[1])).query(QUrl::FullyEncoded).toLatin1();
        forwarded += (query.isEmpty() ? QByteArray() : '?' + query) + " HTTP/1.1\r\n";
        for (const QByteArray& line : lines.mid(1)) {
            if (!line.toLower().startsWith("proxy-"))
                forwarded += line.trimmed() + "\r\n";
        }
        forwarded += "\r\n" + head.mid(end + 4);
        auto* portal = new QTcpSocket(client);
        connect(portal, &QTcpSocket::connected, portal,
                [portal, forwarded] { portal->write(forwarded); });
        connect(portal, &QTcpSocket::readyRead, client,
                [portal, client] { client->write(portal->readAll()); });
        connect(portal, &QTcpSocket::disconnected, client,
                [client] { client->disconnectFromHost(); });
        connect(portal, &QTcpSocket::errorOccurred, client,
                [this, client](QAbstractSocket::SocketError e) {
                    if (e == QAbstractSocket::RemoteHostClosedError)
                        return;
                    client->write(whenDown);
                    client->disconnectFromHost();
                });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        portal->connectToHost(QHostAddress::LocalHost, portalPort);
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_heads;
};

qint64 bytesUnder(const QString& folder) {
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        total += QFileInfo(it.next()).size();
    return total;
}

QDialog* visibleDialogSaying(const QString& start) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (!dialog || !dialog->isVisible())
            continue;
        for (QLabel* label : dialog->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            if (label->text().startsWith(start))
                return dialog;
    }
    return nullptr;
}

class MailRecorder : public QObject {
    Q_OBJECT
public:
    MailRecorder() { QDesktopServices::setUrlHandler("mailto", this, "open"); }
    ~MailRecorder() override { QDesktopServices::unsetUrlHandler("mailto"); }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

} // namespace

class TestHostilePages : public QObject {
    Q_OBJECT
public:
    static void initMain() {
        webtest::prepareApplication("orvanta-hostile-pages-test");
        static QTemporaryDir home;
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(".config").toLocal8Bit());
        qputenv("XDG_DATA_HOME", home.filePath(".local/share").toLocal8Bit());
        qunsetenv("no_proxy");
        qunsetenv("NO_PROXY");
    }

private slots:
    void initTestCase() {
        // The desktop's proxy setting, read before the first page starts the engine.
        QVERIFY(m_proxy.listen());
        qputenv("http_proxy", QByteArray("http://127.0.0.1:") + QByteArray::number(m_proxy.port()));
        QVERIFY(m_portal.start());
        m_proxy.portalPort = m_portal.port();
        portal::setBaseUrl(m_portal.address());
    }

    void cleanup() { qDeleteAll(webtest::browserWindows()); }

    // Four panes start behind the proxy while the modal login window is up.
    void proxyAsksOnceAboveTheModalWindow() {
        QDialog login;
        login.setWindowModality(Qt::ApplicationModal);
        login.show();
        // The user's own dialog, counted.
        int asked = 0;
        pagedialogs::CredentialsAsker dialog;
        dialog =
            pagedialogs::setCredentialsAsker([&](QWidget* over, const pagedialogs::AuthRequest& r) {
                return ++asked, dialog(over, r);
            });
        const auto restore = qScopeGuard([&] { pagedialogs::setCredentialsAsker(dialog); });
        QList<QDialog*> seen;
        bool answerable = true;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QDialog* dialog = visibleDialogSaying(QStringLiteral("代理服务器 127.0.0.1"));
            if (!dialog || seen.contains(dialog))
                return;
            seen.append(dialog);
            answerable = answerable && dialog->parentWidget() == &login &&
                         QApplication::activeModalWidget() == dialog;
            dialog->findChild<QLineEdit*>("user")->setText("office");
            dialog->findChild<QLineEdit*>("password")->setText("desk");
            dialog->accept();
        });
        poll.start(50);
        std::vector<std::unique_ptr<WebEnginePane>> panes;
        QList<QSignalSpy*> loaded;
        for (int i = 0; i < 4; ++i) {
            panes.push_back(std::make_unique<WebEnginePane>());
            loaded.append(new QSignalSpy(panes.back().get(), &QWebEngineView::loadFinished));
            panes.back()->load(
                QUrl(QStringLiteral("http://portal.test/hostile/done.asp?pane%1").arg(i)));
        }
        for (QSignalSpy* spy : loaded) {
            QTRY_VERIFY_WITH_TIMEOUT(!spy->isEmpty(), Patience);
            QVERIFY(spy->last().at(0).toBool());
        }
        qDeleteAll(loaded);
        QCOMPARE(asked, 1);
        QCOMPARE(seen.size(), 1);
        QVERIFY(answerable);
        for (int i = 0; i < 4; ++i)
            QVERIFY(m_portal.count(QStringLiteral("GET /hostile/done.asp?pane%1").arg(i)) == 1);
    }

    void floodsBringOneDialogAtATime_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("whileOpen"); // the dialog waits for this request
        QTest::addColumn<QString>("lastRequest");
        QTest::addColumn<QString>("click");
        QTest::addColumn<QString>("title");
        const QString pickers = "GET /hostile/done.asp?pickers";
        QTest::newRow("20 password frames") << "hostile/passwords.asp"
                                            << "GET /hostile/login.asp?frame=3"
                                            << "GET /hostile/login.asp?frame=19"
                                            << "" << QStringLiteral("Orvanta同行协作办公信息系统");
        QTest::newRow("3 file pickers")
            << "hostile/pickers.asp" << pickers << pickers << "pick" << QStringLiteral("选择文件");
    }
    void floodsBringOneDialogAtATime() {
        QFETCH(QString, page);
        QFETCH(QString, whileOpen);
        QFETCH(QString, lastRequest);
        QFETCH(QString, click);
        QFETCH(QString, title);
        // Each dialog stays open, as the user's would, until the page has
        // made all its requests; then it is cancelled.
        QStringList titles;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QDialog*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                if (!dialog->property("counted").toBool()) {
                    dialog->setProperty("counted", true);
                    titles << dialog->windowTitle();
                }
                if (m_portal.count(whileOpen) > 0)
                    dialog->reject();
            }
        });
        poll.start(50);
        WebEnginePane pane;
        pane.resize(640, 480);
        pane.show();
        if (click.isEmpty()) {
            pane.load(QUrl(portal::page(page)));
        } else {
            QVERIFY(webtest::loadInto(pane, portal::page(page)));
            QVERIFY(webtest::clickElement(pane, click));
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_portal.count(lastRequest) > 0, Patience);
        // A later request from the page: a dialog it asked for before would be counted by now.
        const QString after = QStringLiteral("done.asp?after-") + page.section('/', 1);
        valueOf(pane.page(), "fetch('/hostile/" + after + "'); 1");
        QTRY_VERIFY_WITH_TIMEOUT(m_portal.count("GET /hostile/" + after) > 0, Patience);
        QCOMPARE(titles, QStringList{title}); // one picker, the page's first, for files
    }

    void disguisesShowTheRealSite() {
        // A title with direction marks and 4,096 characters, in a window of its own.
        auto* window = new BrowserWindow;
        window->show();
        QVERIFY(webtest::loadInto(*window->pane(), portal::page("hostile/title.asp")));
        const QString site = QStringLiteral("127.0.0.1:%1 - ").arg(m_portal.port());
        QTRY_COMPARE_WITH_TIMEOUT(
            window->windowTitle(),
            site + QStringLiteral("请重新登录 ") + QString(73, 'x') + QChar(0x2026), Patience);

        // A lookalike host, reached through the proxy, in a page's dialog and a password dialog.
        QStringList sites;
        const auto scripts =
            swapIn(pagedialogs::setScriptAsker, [&](QWidget*, const pagedialogs::ScriptDialog& d) {
                return sites.append(d.site), pagedialogs::ScriptAnswer{};
            });
        const auto passwords = swapIn(pagedialogs::setCredentialsAsker,
                                      [&](QWidget*, const pagedialogs::AuthRequest& r) {
                                          return sites.append(r.host), pagedialogs::Credentials{};
                                      });
        WebEnginePane pane;
        QSignalSpy loaded(&pane, &QWebEngineView::loadFinished);
        pane.load(QUrl("http://xn--pple-43d.org/hostile/done.asp?idn"));
        QVERIFY(loaded.wait(Patience));
        valueOf(pane.page(), "alert('请重新输入网银密码')");
        pane.load(QUrl("http://xn--pple-43d.org/hostile/login.asp"));
        QTRY_COMPARE_WITH_TIMEOUT(sites.size(), 2, Patience);
        QCOMPARE(sites, (QStringList{"xn--pple-43d.org", "xn--pple-43d.org"}));
    }

    void pagesReachNothingOfTheProgram_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QVariant>("expected");
        QTest::newRow("picture") << "seen('direct')" << QVariant(0);
        QTest::newRow("picture by 302") << "seen('redirected')" << QVariant(0);
    }
    void pagesReachNothingOfTheProgram() {
        QFETCH(QString, script);
        QFETCH(QVariant, expected);
        QVERIFY(QFile::exists(":/orvanta/16.png")); // there to be reached
        WebEnginePane pane;
        QVERIFY(webtest::loadInto(pane, portal::page("hostile/resources.asp")));
        QVariant value;
        valueOf(pane.page(),
                "var r = 'waiting'; Promise.resolve(" + script + ").then(v => r = v); 1");
        QTRY_VERIFY_WITH_TIMEOUT((value = valueOf(pane.page(), "r")) != QVariant("waiting"),
                                 Patience);
        QCOMPARE(value.toString(), expected.toString());
    }

    void mailLinksNameNoFiles() {
        MailRecorder desktop;
        WebEnginePane pane;
        pane.resize(640, 480);
        pane.show();
        QVERIFY(webtest::loadInto(pane, portal::page("hostile/mail.asp")));
        QVERIFY(webtest::clickElement(pane, "mail"));
        QTRY_COMPARE_WITH_TIMEOUT(desktop.opened.size(), 1, Patience);
        QCOMPARE(desktop.opened[0].toString(),
                 QStringLiteral("mailto:agent@example.com?subject=Hi&body=x&cc=b@example.com"));
    }

    void downloadsWaitForTheSaveDialog_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved") << true;
        QTest::newRow("cancelled") << false;
    }
    void downloadsWaitForTheSaveDialog() {
        QFETCH(bool, save);
        constexpr qint64 size = 128 << 20;
        QTemporaryDir chosenFolder;
        const QString chosen = chosenFolder.filePath("large.bin");
        QPointer<QWebEngineDownloadRequest> download;
        const qint64 before = bytesUnder(QDir::homePath());
        qint64 whileAsked = -1;
        const auto asker = swapIn(setSaveLocationAsker, [&](const QString&) {
            if (QTest::qWaitFor([&] { return download && download->isPaused(); }, Patience))
                whileAsked = bytesUnder(QDir::homePath()) - before;
            return save ? chosen : QString();
        });
        WebEnginePane pane;
        connect(sharedWebProfile(), &QWebEngineProfile::downloadRequested, &pane,
                [&](QWebEngineDownloadRequest* r) { download = r; });
        pane.load(QUrl(portal::page("hostile/large.bin?mib=128")));
        QTRY_VERIFY_WITH_TIMEOUT(download && download->isFinished(), Patience);
        QVERIFY2(whileAsked >= 0 && whileAsked < size / 4, qPrintable(QString::number(whileAsked)));
        QCOMPARE(QFileInfo(chosen).size(), save ? size : 0);
        // Nothing held back stays behind (the profile's own files aside).
        QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(QDir::homePath()) - before < (1 << 20), Patience);
    }

    // The save dialog is Qt's, over the window that asked, and keeps no history.
    void saveDialogIsOursOverItsWindow() {
        QWidget host;
        auto* pane = new WebEnginePane(&host);
        host.resize(640, 480);
        host.show();
        QTemporaryDir chosenFolder;
        QString title;
        QWidget* over = nullptr;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QFileDialog*>(w);
                if (!dialog || !dialog->isVisible())
                    continue;
                poll.stop();
                title = dialog->windowTitle();
                over = dialog->parentWidget();
                dialog->selectFile(chosenFolder.filePath("saved.txt"));
                QMetaObject::invokeMethod(dialog, "accept");
            }
        });
        poll.start(50);
        pane->load(QUrl(portal::page("hostile/attachment.asp?name=a.txt")));
        // The dialog's own file list may put the suggested name back before the
        // answer: whichever name it took, the file lands in the chosen folder.
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(chosenFolder.path()).isEmpty(QDir::Files), Patience);
        QCOMPARE(title, QStringLiteral("另存为"));
        QCOMPARE(over, &host);
        QDirIterator written(QDir::homePath(), {"QtProject.conf"}, QDir::Files | QDir::Hidden,
                             QDirIterator::Subdirectories);
        QVERIFY(!written.hasNext());
    }

    void recoveryAsksThroughTheProxy_data() {
        QTest::addColumn<QByteArray>("whenDown");
        QTest::newRow("proxy closes") << QByteArray();
        QTest::newRow("proxy answers 502")
            << QByteArray("HTTP/1.1 502 Bad Gateway\r\nContent-Type: text/html\r\n"
                          "Content-Length: 11\r\nConnection: close\r\n\r\nBad gateway");
    }
    void recoveryAsksThroughTheProxy() {
        QFETCH(QByteArray, whenDown);
        m_proxy.whenDown = whenDown;
        const auto passwords =
            swapIn(pagedialogs::setCredentialsAsker, [](QWidget*, const pagedialogs::AuthRequest&) {
                return pagedialogs::Credentials{true, "office", "desk"};
            });
        WebEnginePane pane;
        const QUrl address("http://portal.test/hostile/done.asp?recover");
        QSignalSpy loaded(&pane, &QWebEngineView::loadFinished);
        pane.load(address);
        QVERIFY(loaded.wait(Patience));
        QVERIFY(loaded.last().at(0).toBool());
        const quint16 port = m_portal.port();
        QVERIFY(m_portal.stop());
        pane.reload();
        auto* recovery = pane.findChild<PaneRecovery*>();
        QTRY_VERIFY_WITH_TIMEOUT(recovery->showsOwnPage(), Patience);
        const int before = m_portal.count("GET /hostile/done.asp?recover");
        QVERIFY(m_portal.start(port));
        QTRY_VERIFY_WITH_TIMEOUT(m_portal.count("GET /hostile/done.asp?recover") > before,
                                 Patience);
        QVERIFY(m_proxy.served.contains("HEAD http://portal.test/hostile/done.asp?recover"));
    }

private:
    LoginProxy m_proxy;
    webtest::DemoPortalProcess m_portal;
};

QTEST_MAIN(TestHostilePages)
#include "test_hostile_pages.moc"
