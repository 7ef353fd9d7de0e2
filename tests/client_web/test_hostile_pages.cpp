// Pages that try to flood the user, pass for another site, reach past their
// pane or fill the disk, served by the demo portal; some through a loopback
// proxy that wants a login, as an office's does.

#include "BrowserWindow.h"
#include "PageDialogs.h"
#include "PagePolicy.h"
#include "PaneRecovery.h"
#include "Portal.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QDialog>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

using namespace webtest;

namespace {

// An HTTP proxy on 127.0.0.1 that wants "office"/"desk" and sends every
// request, whatever its host, to the demo portal.
class LoginProxy : public QTcpServer {
public:
    quint16 portalPort = 0;
    QByteArray whenDown; // its answer when the portal is down; none closes the connection

    LoginProxy() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = nextPendingConnection())
                connect(client, &QTcpSocket::readyRead, client, [this, client] { read(client); });
        });
    }

private:
    void read(QTcpSocket* client) {
        const QByteArray head = client->property("head").toByteArray() + client->readAll();
        client->setProperty("head", head);
        if (!head.contains("\r\n\r\n") || client->property("forwarded").toBool())
            return;
        client->setProperty("forwarded", true);
        const QList<QByteArray> request = head.left(head.indexOf("\r\n")).split(' ');
        if (request.size() != 3 || !head.contains("\r\nProxy-Authorization: Basic " +
                                                  QByteArray("office:desk").toBase64() + "\r\n")) {
            client->write("HTTP/1.1 407 Proxy Authentication Required\r\n"
                          "Proxy-Authenticate: Basic realm=\"office\"\r\n"
                          "Content-Length: 0\r\nConnection: close\r\n\r\n");
            client->disconnectFromHost();
            return;
        }
        // The portal is asked for the path alone.
        const QByteArray forwarded = request[0] + ' ' + request[1].mid(request[1].indexOf('/', 7)) +
                                     head.mid(head.indexOf(" HTTP/"));
        auto* portal = new QTcpSocket(client);
        connect(portal, &QTcpSocket::readyRead, client, [=] { client->write(portal->readAll()); });
        connect(portal, &QTcpSocket::disconnected, client, [=] { client->disconnectFromHost(); });
        connect(portal, &QTcpSocket::errorOccurred, client,
                [=, this](QAbstractSocket::SocketError e) {
                    if (e == QAbstractSocket::RemoteHostClosedError)
                        return;
                    client->write(whenDown);
                    client->disconnectFromHost();
                });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        portal->connectToHost(QHostAddress::LocalHost, portalPort);
        portal->write(forwarded); // sent once connected
    }
};

qint64 bytesUnder(const QString& folder) {
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        total += QFileInfo(it.next()).size();
    return total;
}

} // namespace

class TestHostilePages : public QObject {
    Q_OBJECT
public:
    static void initMain() {
        prepareApplication("orvanta-hostile-pages-test");
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
        QVERIFY(m_proxy.listen(QHostAddress::LocalHost));
        qputenv("http_proxy",
                QByteArray("http://127.0.0.1:") + QByteArray::number(m_proxy.serverPort()));
        QVERIFY(m_portal.start());
        m_proxy.portalPort = m_portal.port();
        portal::setBaseUrl(m_portal.address());
    }

    void cleanup() { qDeleteAll(browserWindows()); }

    // Four panes start behind the proxy while the modal login window is up:
    // the user is asked once, in a dialog above that window.
    void proxyAsksOnceAboveTheModalWindow() {
        QDialog login;
        login.setWindowModality(Qt::ApplicationModal);
        login.show();
        QStringList seen; // the user's own dialogs
        bool answerable = true;
        const auto answering = onDialogs([&](QDialog* shown) {
            if (shown == &login)
                return;
            seen.append(shown->findChild<QLabel*>()->text());
            answerable = answerable && shown->parentWidget() == &login &&
                         QApplication::activeModalWidget() == shown;
            shown->findChild<QLineEdit*>("user")->setText("office");
            shown->findChild<QLineEdit*>("password")->setText("desk");
            shown->accept();
        });
        WebEnginePane panes[4];
        for (int i = 0; i < 4; ++i)
            panes[i].load(QUrl(QString("http://portal.test/hostile/done.asp?pane%1").arg(i)));
        TRY_VERIFY(m_portal.requests().filter("?pane").size() >= 4);
        QStringList served = m_portal.requests().filter("?pane");
        served.sort();
        QCOMPARE(served.join(' ').remove("GET /hostile/done.asp?"), "pane0 pane1 pane2 pane3");
        QCOMPARE(seen, QStringList{"代理服务器 127.0.0.1 要求输入用户名和密码。"});
        QVERIFY(answerable);
    }

    // The page's requests, from /hostile/: the dialog stays up until the
    // first has come, the flood is over with the last.
    void floodsBringOneDialogAtATime_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("whileOpen");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("click");
        QTest::addColumn<QString>("title");
        const auto row = [](const char* tag, const char* page, const char* whileOpen,
                            const char* last, const char* click, const char* title) {
            QTest::newRow(tag) << QString(page) << QString(whileOpen) << QString(last)
                               << QString(click) << QString(title);
        };
        row("20 password frames", "passwords.asp", "login.asp?frame=3", "login.asp?frame=19", "",
            "Orvanta同行协作办公信息系统");
        row("3 file pickers", "pickers.asp", "done.asp?pickers", "done.asp?pickers", "pick",
            "选择文件");
    }
    void floodsBringOneDialogAtATime() {
        QFETCH(QString, page);
        QFETCH(QString, whileOpen);
        QFETCH(QString, last);
        QFETCH(QString, click);
        QFETCH(QString, title);
        // Each dialog stays open, as the user's would, until the page has
        // made all its requests; then it is cancelled. A user answers in a
        // few seconds even if the engine holds the page's other frames back
        // meanwhile, as it now and then does.
        QStringList titles;
        const auto cancelling = onDialogs([&](QDialog* dialog) {
            if (!dialog->property("counted").toBool()) {
                dialog->setProperty("counted", true);
                titles << dialog->windowTitle();
                QTimer::singleShot(5000, dialog, &QDialog::reject);
            }
            if (m_portal.count("GET /hostile/" + whileOpen) > 0)
                dialog->reject();
        });
        WebEnginePane pane;
        pane.resize(640, 480);
        pane.show();
        if (click.isEmpty()) {
            pane.load(QUrl(portal::page("hostile/" + page)));
        } else {
            QVERIFY(loadInto(pane, portal::page("hostile/" + page)));
            QVERIFY(clickElement(pane, click));
        }
        TRY_VERIFY(m_portal.count("GET /hostile/" + last) > 0);
        // A later request from the page: a dialog it asked for before would be counted by now.
        const QString after = "done.asp?after-" + page;
        valueOf(pane.page(), "fetch('/hostile/" + after + "'); 1");
        TRY_VERIFY(m_portal.count("GET /hostile/" + after) > 0);
        QCOMPARE(titles, QStringList{title}); // one picker, the page's first, for files
    }

    // A lookalike host, reached through the proxy, in a page's dialog and a
    // password dialog. Pictures and frames aimed at the dialogs' own address
    // bring none. Pictures of the program's own, straight or by a redirect,
    // never load.
    void disguisesShowTheRealSiteAndReachNothingOfTheProgram() {
        QStringList sites;
        const auto scripts = swapIn(pagedialogs::setScriptAsker,
                                    [&](QWidget*, const pagedialogs::ScriptDialog& d, QObject*,
                                        const pagedialogs::ScriptReply& done) {
                                        sites.append(d.site + ' ' + d.text), done({});
                                    });
        const auto passwords = swapIn(pagedialogs::setCredentialsAsker,
                                      [&](QWidget*, const pagedialogs::AuthRequest& r) {
                                          return sites.append(r.host), pagedialogs::Credentials{};
                                      });
        WebEnginePane pane;
        QVERIFY(loadInto(pane, "http://xn--pple-43d.org/hostile/done.asp?idn", false));
        valueOf(pane.page(), "document.body.innerHTML = '<img src=orvanta-dialog:alert?text=img>"
                             "<iframe src=orvanta-dialog:alert?text=frame></iframe>';"
                             "alert('请重新输入网银密码')");
        pane.load(QUrl("http://xn--pple-43d.org/hostile/login.asp"));
        TRY_COMPARE(sites,
                    (QStringList{"xn--pple-43d.org 请重新输入网银密码", "xn--pple-43d.org"}));

        QVERIFY(QFile::exists(":/orvanta/16.png")); // there to be reached
        QVERIFY(loadInto(pane, portal::page("hostile/resources.asp")));
        valueOf(pane.page(), "var r = 'waiting'; Promise.all([seen('direct'), seen('redirected')])"
                             ".then(v => r = v.join()); 1");
        TRY_COMPARE(valueOf(pane.page(), "r"), QVariant("0,0"));
    }

    // Our save dialog, over the window that asked, keeping no history,
    // offers a plain name in the download folder while what the page sends
    // is held back; saved where the user chose and nowhere else, or refused
    // and gone.
    void downloadsWaitForTheSaveDialog_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<qint64>("size"); // 0: refused
        const auto row = [](const char* tag, const char* page, const char* offered, qint64 size) {
            QTest::newRow(tag) << QString(page) << QString(offered) << size;
        };
        row("refused", "large.bin?mib=128", "large.bin", 0);
        row("autostart", "attachment.asp?name=..%2F.config%2Fautostart%2Fx.desktop", "x.desktop",
            16);
        row("backslashes", "attachment.asp?name=..%5C..%5Cboot.ini", "boot.ini", 16);
        row("hidden", "attachment.asp?name=.profile", "profile", 16);
        row("large", "large.bin?mib=128", "large.bin", 128 << 20);
    }
    void downloadsWaitForTheSaveDialog() {
        QFETCH(QString, page);
        QFETCH(QString, offered);
        QFETCH(qint64, size);
        QWidget host;
        auto* pane = new WebEnginePane(&host);
        host.resize(640, 480);
        host.show();
        QTemporaryDir chosen;
        const QDir downloads(QDir::home().filePath("Downloads"));
        const qint64 before = bytesUnder(QDir::homePath());
        QPointer<QWebEngineDownloadRequest> download;
        connect(sharedWebProfile(), &QWebEngineProfile::downloadRequested, pane,
                [&](QWebEngineDownloadRequest* r) { download = r; });
        QStringList asked;
        qint64 whileAsked = -1;
        // The user takes a while: the dialog is answered once the download is held back.
        const auto answering = onDialogs([&](QDialog* shown) {
            auto* dialog = qobject_cast<QFileDialog*>(shown);
            if (!dialog || !download || !(download->isPaused() || download->isFinished()) ||
                whileAsked >= 0)
                return;
            whileAsked = bytesUnder(QDir::homePath()) - before;
            asked << dialog->windowTitle() << dialog->selectedFiles().value(0);
            asked << (dialog->parentWidget() == &host ? "over its window" : "elsewhere");
            if (size == 0)
                return dialog->reject();
            // The dialog's own file list may put the offered name back before
            // the answer: whichever name it took, the file lands in the chosen folder.
            dialog->selectFile(chosen.filePath("chosen.bin"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        pane->load(QUrl(portal::page("hostile/" + page)));
        TRY_VERIFY(download && download->isFinished());
        QCOMPARE(asked, (QStringList{"另存为", downloads.filePath(offered), "over its window"}));
        QVERIFY2(whileAsked < (32 << 20), qPrintable(QString::number(whileAsked)));
        QCOMPARE(download->state(), size ? QWebEngineDownloadRequest::DownloadCompleted
                                         : QWebEngineDownloadRequest::DownloadCancelled);
        const QFileInfoList saved = QDir(chosen.path()).entryInfoList(QDir::Files);
        QCOMPARE(saved.size(), size ? 1 : 0);
        QCOMPARE(saved.value(0).size(), size);
        // Nothing held back stays behind (the profile's own files aside).
        TRY_VERIFY(bytesUnder(QDir::homePath()) - before < (1 << 20));
        QVERIFY(!QFileInfo::exists(QDir::home().filePath(".config/autostart")));
        QVERIFY(downloads.isEmpty(QDir::Files | QDir::Hidden));
        QVERIFY(!QDirIterator(QDir::homePath(), {"QtProject.conf"}, QDir::Files | QDir::Hidden,
                              QDirIterator::Subdirectories)
                     .hasNext());
    }

    // A download that cannot be put where the user chose says so.
    void aDownloadThatCannotBeSavedSaysSo() {
        QTemporaryDir chosen;
        const QString taken = chosen.filePath("taken"); // a folder of the chosen name
        QVERIFY(QDir().mkdir(taken));
        const auto asker = swapIn(setSaveLocationAsker, [&](const QString&) { return taken; });
        QStringList told;
        const auto messages = messagesInto(told);
        WebEnginePane pane;
        pane.load(QUrl(portal::page("hostile/attachment.asp?name=x.txt")));
        TRY_COMPARE(told, QStringList{"下载失败：无法保存到“" + taken + "”。"});
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
        QVERIFY(loadInto(pane, "http://portal.test/hostile/done.asp?recover", false));
        const quint16 port = m_portal.port();
        QVERIFY(m_portal.stop());
        pane.reload();
        TRY_VERIFY(pane.findChild<PaneRecovery*>()->showsOwnPage());
        const int before = m_portal.count("GET /hostile/done.asp?recover");
        QVERIFY(m_portal.start(port));
        TRY_VERIFY(m_portal.count("GET /hostile/done.asp?recover") > before);
        QVERIFY(m_portal.requests().contains("HEAD /hostile/done.asp?recover")); // by the proxy
    }

private:
    LoginProxy m_proxy;
    DemoPortalProcess m_portal;
};

QTEST_MAIN(TestHostilePages)
#include "test_hostile_pages.moc"
