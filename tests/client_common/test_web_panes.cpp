#include "BrowserWindow.h"
#include "Portal.h"
#include "WebEnginePane.h"
#include "WebTestSupport.h"

#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <csignal>
#include <memory>
#include <optional>

namespace {

using webtest::browserWindows;
using webtest::Patience;

bool loadInto(WebEnginePane& pane, const QString& address) {
    QSignalSpy finished(&pane, &QWebEngineView::loadFinished);
    if (pane.navigate(address) != pane::Ok)
        return false;
    return finished.wait(Patience) && finished.last().at(0).toBool();
}

QVariant evaluate(QWebEnginePage* page, const QString& script) {
    auto result = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [result](const QVariant& value) { *result = value; });
    if (!QTest::qWaitFor([&] { return result->has_value(); }, Patience))
        return {};
    return result->value_or(QVariant());
}

QString pageTitle(const QString& path) {
    return QStringLiteral("演示门户 ") + path;
}

// Answers every request with one page that declares no charset, the way the
// portal's legacy pages come.
class LegacyPageServer {
public:
    explicit LegacyPageServer(const QByteArray& body) {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this, body] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
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
    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1/legacy.asp").arg(m_server.serverPort());
    }

private:
    QTcpServer m_server;
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
        QTest::addColumn<QString>("shownPath");
        QTest::addColumn<QString>("shownQuery");
        QTest::newRow("city in gbk") << "tonghang/allcom.asp?city=北京"
                                     << "GET /tonghang/allcom.asp?city=%B1%B1%BE%A9"
                                     << "/tonghang/allcom.asp"
                                     << "city=北京";
        QTest::newRow("pre-encoded") << "tonghang/allcom.asp?type=%B3%B5%C1%BE"
                                     << "GET /tonghang/allcom.asp?type=%B3%B5%C1%BE"
                                     << "/tonghang/allcom.asp"
                                     << "type=车辆";
        QTest::newRow("advertisement backslash") << "market\\ad.asp"
                                                 << "GET /market/ad.asp"
                                                 << "/market/ad.asp" << QString();
        QTest::newRow("peer help") << "chat/"
                                   << "GET /chat/"
                                   << "/chat/" << QString();
        QTest::newRow("companies") << "chat/VIEWROOM2.asp"
                                   << "GET /chat/VIEWROOM2.asp"
                                   << "/chat/VIEWROOM2.asp" << QString();
        QTest::newRow("group tours") << "tonghang/infolist-mem.asp"
                                     << "GET /tonghang/infolist-mem.asp"
                                     << "/tonghang/infolist-mem.asp" << QString();
    }
    void addressesReachThePortalAsWritten() {
        QFETCH(QString, path);
        QFETCH(QString, request);
        QFETCH(QString, shownPath);
        QFETCH(QString, shownQuery);
        WebEnginePane pane;
        QCOMPARE(pane.stop(), pane::Ok); // as GotoWeb does, on an idle pane
        QVERIFY(loadInto(pane, portal::page(path)));
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), 1, Patience);
        QCOMPARE(
            evaluate(pane.page(), QStringLiteral("document.getElementById('path').textContent")),
            QVariant(shownPath));
        QCOMPARE(
            evaluate(pane.page(), QStringLiteral("document.getElementById('query').textContent")),
            QVariant(shownQuery));
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
        QVERIFY(loadInto(pane, server.address()));
        QCOMPARE(evaluate(pane.page(), QStringLiteral("document.characterSet")), QVariant("GBK"));
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

    void addressThatCannotBeLoadedFails() {
        WebEnginePane pane;
        QCOMPARE(pane.navigate(QString()), pane::Failed);
    }

    void backAndForwardFailAtTheEndsOfHistory() {
        WebEnginePane pane;
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
    }

    void refreshReloadsTheCurrentPageAlsoWhenHidden() {
        WebEnginePane pane;
        pane.show();
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("refresh.asp?n=1"))));
        pane.hide();
        QCOMPARE(pane.refresh(), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(QStringLiteral("GET /refresh.asp?n=1")), 2,
                                  Patience);
    }

    void sizesAreInTwipsAndNegativeOnesRefused() {
        WebEnginePane pane;
        QCOMPARE(pane.setWidth(1500), pane::Ok);
        QCOMPARE(pane.setHeight(3000), pane::Ok);
        QCOMPARE(pane.size(), QSize(100, 200));
        QCOMPARE(pane.setWidth(-15), pane::Failed);
        QCOMPARE(pane.setHeight(-1), pane::Failed);
        QCOMPARE(pane.size(), QSize(100, 200));
    }

    void pageOpeningAWindowGetsASeparateBrowserWindow() {
        WebEnginePane pane;
        pane.resize(640, 480);
        pane.show();
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("opener.asp"))));

        addClickable(pane, QStringLiteral("button"),
                     QStringLiteral("b.onclick = () => window.open('/popup.asp?from=script')"));
        QVERIFY(webtest::clickElement(pane, QStringLiteral("clickable")));
        QTRY_COMPARE_WITH_TIMEOUT(browserWindows().size(), 1, Patience);
        QPointer<BrowserWindow> popup = browserWindows().front();
        QVERIFY(popup->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(popup->windowTitle(), pageTitle(QStringLiteral("/popup.asp")),
                                  Patience);
        QCOMPARE(popup->pane()->page()->profile(), pane.page()->profile());
        QCOMPARE(m_portal.count(QStringLiteral("GET /popup.asp?from=script")), 1);

        addClickable(pane, QStringLiteral("a"),
                     QStringLiteral("b.href = '/blank.asp'; b.target = '_blank'"));
        QVERIFY(webtest::clickElement(pane, QStringLiteral("clickable")));
        QTRY_COMPARE_WITH_TIMEOUT(browserWindows().size(), 2, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(QStringLiteral("GET /blank.asp")), 1, Patience);
        QCOMPARE(pane.url().path(), QStringLiteral("/opener.asp"));

        // A script may close the window it opened.
        evaluate(popup->pane()->page(), QStringLiteral("window.close(); 1"));
        QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), Patience);
    }

    void popupTakesTheSizeItAsksFor() {
        WebEnginePane pane;
        pane.resize(640, 480);
        pane.show();
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("opener.asp"))));
        addClickable(pane, QStringLiteral("button"),
                     QStringLiteral("b.onclick = () => window.open('/small.asp', 'small', "
                                    "'width=320,height=240')"));
        QVERIFY(webtest::clickElement(pane, QStringLiteral("clickable")));
        QTRY_COMPARE_WITH_TIMEOUT(browserWindows().size(), 1, Patience);
        QTRY_COMPARE_WITH_TIMEOUT(browserWindows().front()->size(), QSize(320, 240), Patience);
    }

    void paneWhoseRendererDiesReloadsItself() {
        WebEnginePane pane;
        const QString request = QStringLiteral("GET /survivor.asp");
        QVERIFY(loadInto(pane, portal::page(QStringLiteral("survivor.asp"))));
        for (int death = 1; death <= 2; ++death) {
            const qint64 pid = pane.page()->renderProcessPid();
            QVERIFY(pid > 0);
            QSignalSpy finished(&pane, &QWebEngineView::loadFinished);
            QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
            QTRY_COMPARE_WITH_TIMEOUT(m_portal.count(request), 1 + death, Patience);
            QVERIFY(finished.wait(Patience));
            QVERIFY(finished.last().at(0).toBool());
            QTRY_VERIFY_WITH_TIMEOUT(pane.page()->renderProcessPid() != pid, Patience);
        }
    }

    void downloadAsksWhereToSaveThenCompletes() {
        QTemporaryDir folder;
        const QString chosen = folder.filePath(QStringLiteral("保存的报表.html"));
        QString suggested;
        const auto previous = setSaveLocationAsker([&](const QString& path) {
            suggested = path;
            return chosen;
        });
        QPointer<QWebEngineDownloadRequest> download =
            startDownload(QStringLiteral("report.asp?id=7"));
        setSaveLocationAsker(previous);

        QVERIFY(download);
        QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("report.html"));
        QTRY_COMPARE_WITH_TIMEOUT(download->state(), QWebEngineDownloadRequest::DownloadCompleted,
                                  Patience);
        QFile saved(chosen);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(saved.readAll()).contains(QStringLiteral("id=7")));
        QCOMPARE(m_portal.count(QStringLiteral("GET /report.asp?id=7")), 1);
    }

    void downloadNotGivenAPlaceIsCancelled() {
        const auto previous = setSaveLocationAsker([](const QString&) { return QString(); });
        QPointer<QWebEngineDownloadRequest> download =
            startDownload(QStringLiteral("report.asp?id=8"));
        setSaveLocationAsker(previous);
        QVERIFY(download);
        QTRY_COMPARE_WITH_TIMEOUT(download->state(), QWebEngineDownloadRequest::DownloadCancelled,
                                  Patience);
    }

    void everyPaneSharesOneProfileOnDisk() {
        WebEnginePane first;
        BrowserWindow window;
        QWebEngineProfile* profile = sharedWebProfile();
        QCOMPARE(first.page()->profile(), profile);
        QCOMPARE(window.pane()->page()->profile(), profile);
        QVERIFY(!profile->isOffTheRecord());
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(profile->persistentStoragePath().startsWith(data));
        QVERIFY(profile->cachePath().startsWith(data));
        QCOMPARE(profile->persistentCookiesPolicy(), QWebEngineProfile::ForcePersistentCookies);
        QCOMPARE(profile->settings()->defaultTextEncoding(), QStringLiteral("GBK"));
    }

private:
    // Windows open only from a click: puts an element to click at the page's
    // top, `setUp` given the element as b.
    static void addClickable(WebEnginePane& pane, const QString& tag, const QString& setUp) {
        evaluate(pane.page(),
                 QStringLiteral("document.getElementById('clickable')?.remove(); (() => {"
                                "const b = document.createElement('%1'); b.id = 'clickable';"
                                "b.textContent = 'open'; b.style = 'display:block;width:200px;"
                                "height:40px'; %2; document.body.prepend(b); })(); 1")
                     .arg(tag, setUp));
    }

    // Starts a download from a loaded pane, as a link with "download" would.
    QWebEngineDownloadRequest* startDownload(const QString& path) {
        QPointer<QWebEngineDownloadRequest> requested;
        const auto connection = connect(sharedWebProfile(), &QWebEngineProfile::downloadRequested,
                                        this, [&](QWebEngineDownloadRequest* r) { requested = r; });
        WebEnginePane pane;
        if (loadInto(pane, portal::page(QStringLiteral("downloads.asp"))))
            pane.page()->download(QUrl(portal::page(path)), QStringLiteral("report.html"));
        (void)QTest::qWaitFor([&] { return !requested.isNull(); }, Patience);
        disconnect(connection);
        return requested;
    }

    webtest::DemoPortalProcess m_portal;
};

QTEST_MAIN(TestWebPanes)
#include "test_web_panes.moc"
