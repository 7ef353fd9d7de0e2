#include "BrowserWindow.h"
#include "PaneRecovery.h"
#include "Portal.h"
#include "PortalWatch.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <algorithm>
#include <csignal>
#include <optional>

namespace {

using namespace webtest;
constexpr int ShortPatience = 5000; // ms, for one script

// Answers every request with one page that declares no charset, the way the
// portal's legacy pages come.
class LegacyPageServer : public QTcpServer {
public:
    explicit LegacyPageServer(const QByteArray& body) {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this, body] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, body] {
                    // One answer per connection, whatever else the request brings.
                    QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
                    socket->readAll();
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                  QByteArray::number(body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
};

} // namespace

class TestWebPanes : public QObject {
    Q_OBJECT
public:
    static void initMain() { webtest::prepareApplication("orvanta-web-panes-test"); }

private slots:
    void initTestCase() {
        QVERIFY(m_portal.start());
        portal::setBaseUrl(m_portal.address());
    }

    void cleanup() { qDeleteAll(browserWindows()); }

    void addressesReachThePortalAsWritten_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("shown"); // the page's path, "?", its decoded query
        const auto row = [](const char* name, const char* path, const char* request,
                            const char* shown) {
            QTest::newRow(name) << QString::fromUtf8(path) << QString::fromUtf8(request)
                                << QString::fromUtf8(shown);
        };
        row("city in gbk", "tonghang/allcom.asp?city=北京",
            "GET /tonghang/allcom.asp?city=%B1%B1%BE%A9", "/tonghang/allcom.asp?city=北京");
        row("pre-encoded", "tonghang/allcom.asp?type=%B3%B5%C1%BE",
            "GET /tonghang/allcom.asp?type=%B3%B5%C1%BE", "/tonghang/allcom.asp?type=车辆");
        row("advertisement backslash", "market\\ad.asp", "GET /market/ad.asp", "/market/ad.asp?");
        row("peer help", "chat/", "GET /chat/", "/chat/?");
        row("companies", "chat/VIEWROOM2.asp", "GET /chat/VIEWROOM2.asp", "/chat/VIEWROOM2.asp?");
        row("group tours", "tonghang/infolist-mem.asp", "GET /tonghang/infolist-mem.asp",
            "/tonghang/infolist-mem.asp?");
    }
    void addressesReachThePortalAsWritten() {
        QFETCH(QString, path);
        QFETCH(QString, request);
        QFETCH(QString, shown);
        WebEnginePane pane;
        QCOMPARE(pane.stop(), pane::Ok); // as GotoWeb does, on an idle pane
        QVERIFY(loadInto(pane, portal::page(path)));
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), 1, Patience);
        QCOMPARE(valueOf(pane.page(), QStringLiteral("document.getElementById('path').textContent"
                                                     " + '?' + document.getElementById('query')"
                                                     ".textContent")),
                 QVariant(shown));
    }

    void pagesWithoutCharsetAreReadAsGbk_data() {
        QTest::addColumn<QByteArray>("body");
        QStringEncoder gbk("GBK");
        const QString text = QStringLiteral("北京同行协作办公信息系统，旅游从业者工作必备百宝箱");
        // Chromium's own detector recognises a page full of GBK text...
        QTest::newRow("gbk text") << "<html><body>" + QByteArray(gbk.encode(text)) +
                                         "</body></html>";
        // ...and where it has no verdict, the default decides.
        QTest::newRow("undecided bytes") << "<html><body>" + text.toUtf8() + "</body></html>";
    }
    void pagesWithoutCharsetAreReadAsGbk() {
        QFETCH(QByteArray, body);
        LegacyPageServer server(body);
        WebEnginePane pane;
        QVERIFY(loadInto(
            pane, QStringLiteral("http://127.0.0.1:%1/legacy.asp").arg(server.serverPort())));
        QCOMPARE(valueOf(pane.page(), QStringLiteral("document.characterSet")), QVariant("GBK"));
    }

    void localPageIsShownFromItsPath() {
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("velantrix.htm")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "<html><head><title>" +
            QByteArray(QStringEncoder("GBK").encode(QStringLiteral("同行协作办公信息系统"))) +
            "</title></head><body></body></html>");
        file.close();

        WebEnginePane pane;
        // The way the portal's code names its local page: folder + "\velantrix.htm".
        QVERIFY(loadInto(pane, folder.path() + QStringLiteral("\\velantrix.htm")));
        QVERIFY(pane.url().isLocalFile());
        QCOMPARE(pane.title(), QStringLiteral("同行协作办公信息系统"));
    }

    // Sizes in twips, back and forward at the ends of history, refresh while hidden.
    void paneCommandsRefuseWhatTheyCannotDo() {
        WebEnginePane pane;
        QCOMPARE(pane.navigate(QString()), pane::Failed);
        QCOMPARE(pane.setWidth(1500), pane::Ok);
        QCOMPARE(pane.setHeight(3000), pane::Ok);
        QCOMPARE(pane.size(), QSize(100, 200));
        QCOMPARE(pane.setWidth(-15), pane::Failed);
        QCOMPARE(pane.setHeight(-1), pane::Failed);
        QCOMPARE(pane.size(), QSize(100, 200));

        QCOMPARE(pane.goBack(), pane::Failed);
        QCOMPARE(pane.goForward(), pane::Failed);
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("first.asp"))));
        QCOMPARE(pane.goBack(), pane::Failed);
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("second.asp"))));
        QCOMPARE(pane.goForward(), pane::Failed);

        QCOMPARE(pane.goBack(), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(pane.url().path(), QStringLiteral("/first.asp"), Patience);
        QCOMPARE(pane.goBack(), pane::Failed);
        QCOMPARE(pane.goForward(), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(pane.url().path(), QStringLiteral("/second.asp"), Patience);
        QCOMPARE(pane.goForward(), pane::Failed);

        pane.show();
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("refresh.asp?n=1"))));
        pane.hide();
        QCOMPARE(pane.refresh(), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(QStringLiteral("GET /refresh.asp?n=1")), 2,
                                  Patience);
    }

    void pageOpeningAWindowGetsASeparateBrowserWindow() {
        WebEnginePane pane;
        pane.resize(640, 480);
        pane.show();
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("opener.asp"))));

        addClickable(pane, QStringLiteral("button"),
                     QStringLiteral("b.onclick = () => window.open('/popup.asp?from=script', "
                                    "'small', 'width=320,height=240')"));
        QVERIFY(clickElement(pane, QStringLiteral("clickable")));
        QTRY_COMPARE_WITH_TIMEOUT(browserWindows().size(), 1, Patience);
        QPointer<BrowserWindow> popup = browserWindows().front();
        QVERIFY(popup->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(popup->size(), QSize(320, 240), Patience); // as it asked
        QTRY_COMPARE_WITH_TIMEOUT(popup->windowTitle(), QStringLiteral("演示门户 /popup.asp"),
                                  Patience);
        // One profile for every pane, kept on disk.
        QWebEngineProfile* profile = sharedWebProfile();
        QCOMPARE(pane.page()->profile(), profile);
        QCOMPARE(popup->pane()->page()->profile(), profile);
        QVERIFY(!profile->isOffTheRecord());
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(profile->persistentStoragePath().startsWith(data));
        QVERIFY(profile->cachePath().startsWith(data));
        QCOMPARE(profile->persistentCookiesPolicy(), QWebEngineProfile::ForcePersistentCookies);
        QCOMPARE(m_portal.count(QStringLiteral("GET /popup.asp?from=script")), 1);

        addClickable(pane, QStringLiteral("a"),
                     QStringLiteral("b.href = '/blank.asp'; b.target = '_blank'"));
        QVERIFY(clickElement(pane, QStringLiteral("clickable")));
        QTRY_COMPARE_WITH_TIMEOUT(browserWindows().size(), 2, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(QStringLiteral("GET /blank.asp")), 1, Patience);
        QCOMPARE(pane.url().path(), QStringLiteral("/opener.asp"));

        // A script may close the window it opened.
        valueOf(popup->pane()->page(), QStringLiteral("window.close(); 1"));
        QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), Patience);
    }

    // Crashed renderers are answered at once, then after 1 s, 5 s and 30 s;
    // a fifth crash in a row shows our page, whose retry starts afresh.
    void rendererDeathsAreAlwaysAnswered() {
        const std::optional<int> schedule[] = {0, 1000, 5000, 30000, std::nullopt};
        for (int death = 0; death < 5; ++death)
            QCOMPARE(PaneRecovery::rendererReloadDelay(death), schedule[death]);

        WebEnginePane pane;
        const QString request = QStringLiteral("GET /survivor.asp");
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("survivor.asp"))));
        QVERIFY(crashRenderer(pane));
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), 2, Patience);
        QVERIFY(waitUntilLoaded(pane));

        QElapsedTimer sinceKill;
        sinceKill.start();
        QVERIFY(crashRenderer(pane));
        // While the reload waits, the grey pane says what is going on.
        const auto* note = pane.findChild<QLabel*>(QStringLiteral("recoveringNote"));
        QVERIFY(note);
        QTRY_VERIFY_WITH_TIMEOUT(!note->isHidden() && note->text().contains("正在重新载入"), 900);
        QCOMPARE(note->size(), pane.size());
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), 3, Patience);
        QVERIFY(note->isHidden());
        QVERIFY(sinceKill.elapsed() >= 1000);
        QVERIFY(waitUntilLoaded(pane));

        // The third and fourth waits shortened, so the test need not sit out 35 s.
        const auto previous = PaneRecovery::setRendererReloadDelays({0, 1000, 50, 50});
        for (int reloads = 4; reloads <= 5; ++reloads) {
            QVERIFY(crashRenderer(pane));
            QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), reloads, Patience);
            QVERIFY(waitUntilLoaded(pane));
        }
        QVERIFY(crashRenderer(pane));
        PaneRecovery::setRendererReloadDelays(previous);
        QTRY_COMPARE_WITH_TIMEOUT(pane.title(), QStringLiteral("网页无法显示"), Patience);
        QVERIFY(bodyText(pane).contains(QStringLiteral("此网页多次意外中止")));
        QVERIFY(bodyText(pane).contains(portal::page(QStringLiteral("survivor.asp"))));
        QCOMPARE(m_portal.count(request), 5);

        valueOf(pane.page(), QStringLiteral("document.getElementById('retry').click(); 1"));
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), 6, Patience);
        QVERIFY(waitUntilLoaded(pane));
        QVERIFY(crashRenderer(pane)); // a new series: reloaded at once again
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), 7, Patience);
    }

    // The portal goes away: our page names the address and keeps it for the
    // retry and the refresh button; the portal's return brings the page back.
    void unreachablePortalShowsOurPageThenReloadsWhenBack() {
        DemoPortalProcess site;
        QVERIFY(site.start());
        const quint16 port = site.port();
        const QString asked = site.address() + QStringLiteral("tonghang/list.asp?page=2");
        WebEnginePane pane;
        QVERIFY(loadInto(pane, site.address() + QStringLiteral("first.asp")));
        QVERIFY(site.stop());

        QCOMPARE(pane.navigate(asked), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(pane.title(), QStringLiteral("无法连接到门户"), Patience);
        QVERIFY(bodyText(pane).contains(QStringLiteral("暂时无法连接到门户网站")));
        QVERIFY(bodyText(pane).contains(asked));
        QCOMPARE(valueOf(pane.page(), QStringLiteral("document.getElementById('retry').text")),
                 QVariant(QStringLiteral("重试")));
        QVERIFY(PortalWatch::instance().waiting());

        // The button and the refresh both go for the asked page, not our own.
        for (const bool button : {true, false}) {
            QList<QUrl> started;
            const auto connection =
                connect(pane.page(), &QWebEnginePage::loadingChanged, this,
                        [&](const QWebEngineLoadingInfo& info) {
                            if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                                started.append(info.url());
                        });
            if (button)
                valueOf(pane.page(), QStringLiteral("document.getElementById('retry').click()"));
            else
                QCOMPARE(pane.refresh(), pane::Ok);
            // The asked page, then, as the portal is still down, our page again.
            QTRY_COMPARE_WITH_TIMEOUT(started.size(), 2, Patience);
            disconnect(connection);
            QCOMPARE(started.first(), QUrl(asked));
            QCOMPARE(started.last().scheme(), QStringLiteral("data"));
            QTRY_VERIFY_WITH_TIMEOUT(bodyText(pane).contains(asked), Patience);
        }

        // Tried 5 s after the failure, then twice as long after each miss.
        QCOMPARE(PortalWatch::instance().nextInterval(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(PortalWatch::instance().nextInterval(), 10000, Patience);
        QVERIFY(PortalWatch::instance().waiting());
        QVERIFY(bodyText(pane).contains(QStringLiteral("暂时无法连接到门户网站")));

        QVERIFY(site.start(port));
        QTRY_COMPARE_WITH_TIMEOUT(site.count(QStringLiteral("GET /tonghang/list.asp?page=2")), 1,
                                  PortalWatch::LastInterval + Patience);
        QTRY_COMPARE_WITH_TIMEOUT(
            valueOf(pane.page(), QStringLiteral("document.getElementById('query').textContent"),
                    ShortPatience),
            QVariant(QStringLiteral("page=2")), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(!PortalWatch::instance().waiting(), Patience);
        QVERIFY(noTimerRuns(pane));
    }

    // A site whose certificate is not valid is refused outright: the page
    // never reaches the server, and ours says why, with the address.
    void invalidCertificateIsRefusedWithOurPage() {
        QByteArray received;
        QSslServer site;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QFile key(QStringLiteral(TEST_DATA_DIR "/untrusted-site.key"));
        QVERIFY(key.open(QIODevice::ReadOnly));
        tls.setLocalCertificate(
            QSslCertificate::fromPath(TEST_DATA_DIR "/untrusted-site.crt").value(0));
        tls.setPrivateKey(QSslKey(&key, QSsl::Rsa));
        site.setSslConfiguration(tls);
        connect(&site, &QSslServer::pendingConnectionAvailable, this, [&] {
            while (QTcpSocket* socket = site.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this,
                        [&, socket] { received += socket->readAll(); });
        });
        QVERIFY(site.listen(QHostAddress::LocalHost));
        const QString asked =
            QStringLiteral("https://127.0.0.1:%1/secure.asp").arg(site.serverPort());

        WebEnginePane pane;
        QCOMPARE(pane.navigate(asked), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(pane.title(), QStringLiteral("安全证书无效"), Patience);
        QVERIFY(bodyText(pane).contains(QStringLiteral("此网站的安全证书无效")));
        QVERIFY(bodyText(pane).contains(asked));
        QCOMPARE(received, QByteArray());
        QVERIFY(!PortalWatch::instance().waiting()); // not a matter of waiting
    }

    // Past half a second a thin line over the top edge shows the load; the
    // pane and its neighbour keep their places.
    void slowPageShowsALoadingLineThatMovesNothing() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* pane = new WebEnginePane;
        auto* neighbour = new QLabel(QStringLiteral("邻居"));
        layout->addWidget(pane);
        layout->addWidget(neighbour);
        window.resize(400, 300);
        window.show();
        QVERIFY(loadInto(*pane, portal::page(QStringLiteral("quick.asp"))));
        auto* line = pane->findChild<QWidget*>(QStringLiteral("loadingLine"));
        QVERIFY(line);
        QVERIFY(!line->isVisible());
        QVERIFY(noTimerRuns(*pane));
        const QRect paneAt = pane->geometry(), neighbourAt = neighbour->geometry();

        QElapsedTimer sinceAsked;
        sinceAsked.start();
        QCOMPARE(pane->navigate(portal::page(QStringLiteral("never-answers.asp"))), pane::Ok);
        QVERIFY(!line->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(line->isVisible(), Patience);
        QVERIFY(sinceAsked.elapsed() >= PaneRecovery::LoadingLineDelay);
        QCOMPARE(line->y(), 0);
        QCOMPARE(line->height(), 3);
        QVERIFY(line->width() > 0 && line->width() <= pane->width());
        QCOMPARE(pane->geometry(), paneAt);
        QCOMPARE(neighbour->geometry(), neighbourAt);
        QCOMPARE(m_portal.count(QStringLiteral("GET /never-answers.asp")), 1);

        QCOMPARE(pane->stop(), pane::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(!line->isVisible(), Patience);
        QVERIFY(noTimerRuns(*pane));
    }

    // Saved where the user says; not given a place, cancelled.
    void downloadAsksWhereToSave() {
        QTemporaryDir folder;
        QString chosen, suggested;
        const auto previous = setSaveLocationAsker([&](const QString& path) {
            suggested = path;
            return chosen;
        });
        QPointer<QWebEngineDownloadRequest> refused = startDownload("report.asp?id=8");
        chosen = folder.filePath(QStringLiteral("保存的报表.html"));
        QPointer<QWebEngineDownloadRequest> download = startDownload("report.asp?id=7");
        setSaveLocationAsker(previous);

        QVERIFY(refused && download);
        QTRY_COMPARE_WITH_TIMEOUT(refused->state(), QWebEngineDownloadRequest::DownloadCancelled,
                                  Patience);
        QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("report.html"));
        QTRY_COMPARE_WITH_TIMEOUT(download->state(), QWebEngineDownloadRequest::DownloadCompleted,
                                  Patience);
        QFile saved(chosen);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(saved.readAll()).contains(QStringLiteral("id=7")));
        QCOMPARE(m_portal.count(QStringLiteral("GET /report.asp?id=7")), 1);
    }

private:
    // Crashed by itself: killed from outside, a renderer is never given up.
    static bool crashRenderer(WebEnginePane& pane) {
        if (pane.page()->renderProcessPid() <= 0)
            return false;
        pane.page()->load(QUrl(QStringLiteral("chrome://crash")));
        return true;
    }

    static bool waitUntilLoaded(WebEnginePane& pane) {
        const QString script = QStringLiteral("document.readyState");
        return QTest::qWaitFor([&] { return valueOf(pane.page(), script) == "complete"; },
                               Patience);
    }

    // A renderer being replaced may never answer a script: each try is short,
    // and the whole wait is bounded by the clock, not by the number of tries.
    static QString bodyText(WebEnginePane& pane) {
        return valueOf(pane.page(), QStringLiteral("document.body ? document.body.innerText : ''"),
                       ShortPatience)
            .toString();
    }

    // Nothing ticks in a pane whose page has loaded.
    static bool noTimerRuns(WebEnginePane& pane) {
        const auto timers = pane.findChildren<QTimer*>();
        return std::none_of(timers.begin(), timers.end(),
                            [](const QTimer* t) { return t->isActive(); }) &&
               !PortalWatch::instance().waiting();
    }

    // Windows open only from a click: puts an element to click at the page's
    // top, `setUp` given the element as b.
    static void addClickable(WebEnginePane& pane, const QString& tag, const QString& setUp) {
        valueOf(pane.page(),
                QStringLiteral("document.getElementById('clickable')?.remove(); (() => {"
                               "const b = document.createElement('%1'); b.id = 'clickable';"
                               "b.textContent = 'open'; b.style = 'display:block;width:200px;"
                               "height:40px'; %2; document.body.prepend(b); })(); 1")
                    .arg(tag, setUp));
    }

    // Starts a download from a loaded pane, as a link with "download" would.
    QWebEngineDownloadRequest* startDownload(const char* path) {
        QPointer<QWebEngineDownloadRequest> requested;
        const auto connection = connect(sharedWebProfile(), &QWebEngineProfile::downloadRequested,
                                        this, [&](QWebEngineDownloadRequest* r) { requested = r; });
        WebEnginePane pane;
        if (loadInto(pane, portal::page(QStringLiteral("downloads.asp"))))
            pane.page()->download(QUrl(portal::page(QString::fromUtf8(path))),
                                  QStringLiteral("report.html"));
        (void)QTest::qWaitFor([&] { return !requested.isNull(); }, Patience);
        disconnect(connection);
        return requested;
    }

    DemoPortalProcess m_portal;
};

QTEST_MAIN(TestWebPanes)
#include "test_web_panes.moc"
