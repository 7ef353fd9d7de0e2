// Real web panes against the demo portal: what the portal receives, our own
// pages and recovery, what one page does staying in its own pane, the habits
// of a pane, what a hostile page can and cannot make it do, the desktop
// toolbox, and the client's real ending (the test runs itself as that
// process, twice: each start prints the cookie it finds; the first leaves a
// session cookie and two browser windows open at the end).

#include "ChineseUi.h"
#include "DesktopToolbox.h"
#include "FindBar.h"
#include "PageDialogs.h"
#include "PagePolicy.h"
#include "PaneHabits.h"
#include "PaneRecovery.h"
#include "PortalWatch.h"
#include "Seams.h"
#include "WebTestSupport.h"
#include "ZoomStore.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QSettings>
#include <QSslKey>
#include <QSslServer>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineCookieStore>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWheelEvent>
#include <csignal>
#include <cstdio>

using namespace webtest;

namespace {

using portal::page;

void press(QWebEngineView& view, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(pageWidget(view), key, modifiers);
}

// Crashed by itself (killed from outside, a renderer is never given up),
// then reloaded as the portal's log shows, and shown again.
bool crashed(QWebEngineView& view, const QString& request, int requests) {
    view.page()->load(QUrl("chrome://crash"));
    return demoPortal().waitFor(request, requests) &&
           waitFor([&] { return !view.page()->isLoading(); });
}

bool rendererAlive(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) == 0;
}

// The title the page itself has now.
QString title(QWebEngineView& view) {
    return valueOf(view.page(), "document.title", 3000).toString();
}

// Nothing ticks in a pane whose page has loaded.
bool noTimerRuns(QWidget& pane) {
    const auto timers = pane.findChildren<QTimer*>();
    return std::none_of(timers.begin(), timers.end(), [](QTimer* t) { return t->isActive(); }) &&
           !PortalWatch::instance().waiting();
}

// The page asks for `marker` after all it was made to do so far: once the
// portal logs it, a request the page should not have made would be there too.
bool markAfter(QWebEngineView& view, const QString& marker) {
    valueOf(view.page(), "fetch('/" + marker + "'); 1");
    return demoPortal().waitFor("GET /" + marker);
}

double storedZoom(const char* pane) {
    return QSettings(zoomstore::filePath(), QSettings::IniFormat)
        .value(QStringLiteral("zoom/") + pane, -1)
        .toDouble();
}

// Stands in for the desktop's opener for these schemes.
class OpenerRecorder : public QObject {
    Q_OBJECT
public:
    const QStringList schemes{"foo", "ms-settings", "mailto"};
    OpenerRecorder() {
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~OpenerRecorder() override {
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

// The client's ending, run as a process of its own.
int probe(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvanta-web-exit-probe"));
    pagewindows::setMaker(&BrowserWindow::open);
    const QString base = QString::fromLocal8Bit(argv[2]);
    WebEnginePane pane;
    DesktopToolbox toolbox;
    if (!loadInto(pane, base + "probe.asp"))
        return 3;
    // What the last start left; on the first, a login and two windows open at the end.
    const QString found = valueOf(pane.page(), "document.cookie").toString();
    std::printf("cookie: %s\n", qPrintable(found));
    if (found.isEmpty()) {
        // The page hands its cookie on to the network side on its own time;
        // the login counts from when that side has it.
        QSignalSpy stored(pane.page()->profile()->cookieStore(),
                          &QWebEngineCookieStore::cookieAdded);
        valueOf(pane.page(), "document.cookie = 'session=kept'; 1");
        if (stored.isEmpty() && !stored.wait(Patience))
            return 4;
        toolbox.openNewWindow(base + "popup.asp");
        toolbox.openNewWindow(base + "second.asp");
        const bool both = waitFor([] {
            const auto windows = browserWindows();
            return std::count_if(windows.begin(), windows.end(), [](BrowserWindow* w) {
                       return w->windowTitle().contains(" - 演示门户");
                   }) == 2;
        });
        std::printf("windows: %s\n", both ? "2" : "missing");
    }
    std::fflush(stdout);
    QTimer::singleShot(0, &app, &seams::endProgram);
    return QApplication::exec();
}

} // namespace

class TestBrowser : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCOMPARE(chineseui::install(), QStringList());
        QVERIFY(!demoPortal().address().isEmpty());
        QFile::remove(zoomstore::filePath());
    }
    void cleanup() { qDeleteAll(browserWindows()); }

    // Sizes in twips, back and forward at the ends of history, refresh while hidden.
    // Read as GBK, the portal's legacy pages (bytes Chromium cannot place:
    // the default decides); Chromium's own texts come from its zh-CN locale,
    // whatever the system's.
    void paneCommandsAndPagesWithoutCharset() {
        WebEnginePane pane;
        QList<int> results{pane.navigate(""),  pane.setWidth(1500), pane.setHeight(3000),
                           pane.setWidth(-15), pane.setHeight(-1),  pane.goBack()};
        QCOMPARE(pane.size(), QSize(100, 200));
        QVERIFY(loadInto(pane, page("first.asp"), false));
        results << pane.goBack();
        QVERIFY(loadInto(pane, page("second.asp"), false));
        results << pane.goForward() << pane.goBack();
        TRY_COMPARE(pane.url().path(), QString("/first.asp"));
        results << pane.goBack() << pane.goForward();
        TRY_COMPARE(pane.url().path(), QString("/second.asp"));
        results << pane.refresh(); // hidden
        const int no = pane::Failed, ok = pane::Ok;
        QCOMPARE(results, (QList<int>{no, ok, ok, no, no, no, no, no, ok, no, ok, ok}));
        QVERIFY(demoPortal().waitFor("GET /second.asp", 3));

        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket* socket = server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n"
                                  "Connection: close\r\n\r\n<html><body>" +
                                  QString("北京同行协作办公信息系统").toUtf8());
                    socket->disconnectFromHost();
                });
        });
        QVERIFY(
            loadInto(pane, QString("http://127.0.0.1:%1/l.asp").arg(server.serverPort()), false));
        QCOMPARE(valueOf(pane.page(), "(() => { const i = document.createElement('input');"
                                      " i.required = true; return [document.characterSet,"
                                      " navigator.language, i.validationMessage].join(' '); })()"),
                 QVariant("GBK zh-CN 请填写此字段。"));
    }

    // Crashed renderers are answered at once, then after 1 s, 5 s and 30 s,
    // the grey pane saying why meanwhile; a page shown long enough starts a
    // new series; a fifth crash in a row shows our page, which reloads when
    // shown again or by its retry, each starting afresh.
    void crashedAndKilledRenderersComeBack() {
        const std::optional<int> schedule[] = {0, 1000, 5000, 30000, std::nullopt};
        for (int death = 0; death < 5; ++death)
            QCOMPARE(PaneRecovery::rendererReloadDelay(death), schedule[death]);
        // The third and fourth waits shortened, so the test need not sit out 35 s.
        const auto delays = PaneRecovery::setRendererReloadDelays({0, 1000, 50, 50});
        const int settled = PaneRecovery::setSettledAfter(1500);
        QCOMPARE(settled, 60000); // a page shown for a minute ends a series
        WebEnginePane pane;
        PaneRecovery::setSettledAfter(settled);
        const QString request = "GET /survivor.asp";
        QVERIFY(loadInto(pane, page("survivor.asp")));
        QVERIFY(crashed(pane, request, 2));
        QElapsedTimer sinceCrash;
        sinceCrash.start();
        pane.page()->load(QUrl("chrome://crash"));
        const auto* note = pane.findChild<QLabel*>("recoveringNote");
        QVERIFY(waitFor([&] { return !note->isHidden() && note->text().contains("正在重新载入"); },
                        900));
        QCOMPARE(note->size(), pane.size());
        QVERIFY(demoPortal().waitFor(request, 3));
        QVERIFY(sinceCrash.elapsed() >= 950); // a coarse timer may come 5 % early
        TRY_VERIFY(note->isHidden());
        QVERIFY(crashed(pane, request, 4));
        TRY_COMPARE(title(pane), QString("演示门户 /survivor.asp"));
        QTest::qWait(2000); // shown long enough
        for (int requests = 5; requests <= 8; ++requests)
            QVERIFY(crashed(pane, request, requests));
        pane.page()->load(QUrl("chrome://crash"));
        TRY_COMPARE(pane.title(), QString("网页无法显示"));
        QVERIFY(bodyText(pane).contains(page("survivor.asp")));
        QCOMPARE(demoPortal().count(request), 8);

        PaneRecovery::setRendererReloadDelays({0}); // the second crash in a row gives our page
        pane.hide();
        pane.show();
        QVERIFY(demoPortal().waitFor(request, 9));
        TRY_COMPARE(title(pane), QString("演示门户 /survivor.asp"));
        QVERIFY(crashed(pane, request, 10));
        pane.page()->load(QUrl("chrome://crash"));
        TRY_VERIFY(
            valueOf(pane.page(), "document.getElementById('retry').click(); 1", 5000).isValid());
        QVERIFY(demoPortal().waitFor(request, 11));
        TRY_COMPARE(title(pane), QString("演示门户 /survivor.asp"));
        QVERIFY(crashed(pane, request, 12));
        PaneRecovery::setRendererReloadDelays(delays);

        // Killed from outside, a renderer always comes back, less often the
        // more it is killed; never our crash page.
        const std::pair<int, int> waits[] = {{0, 0},     {1, 1000},  {2, 5000},  {3, 15000},
                                             {4, 30000}, {5, 60000}, {12, 60000}};
        for (const auto& [kill, wait] : waits)
            QCOMPARE(PaneRecovery::killedReloadDelay(kill), wait);
        const auto previous = PaneRecovery::setKilledReloadDelays({0, 50, 100});
        WebEnginePane killed;
        QVERIFY(loadInto(killed, page("site/killed.asp")));
        for (int kill = 1; kill <= 6; ++kill) {
            TRY_VERIFY(rendererAlive(killed.page()->renderProcessPid()));
            QCOMPARE(::kill(pid_t(killed.page()->renderProcessPid()), SIGKILL), 0);
            TRY_COMPARE(demoPortal().count("GET /site/killed.asp"), kill + 1);
            TRY_COMPARE(title(killed), QString("演示门户 /site/killed.asp"));
        }
        PaneRecovery::setKilledReloadDelays(previous);
    }

    // A page's memory bomb or endless loop holds up only its own pane: the
    // other still runs its scripts and loads, in a renderer nothing took
    // down. The page that stops answering gets our page, its renderer let
    // go; 重试 asks for it again. A page waiting for its alert's answer is
    // not one that stopped answering.
    void aHostilePageHoldsUpOnlyItsOwnPane() {
        WebEnginePane busy; // for a few seconds, as a heavy page is: not one that stopped answering
        QVERIFY(loadInto(busy, page("site/busy.asp")));
        QCOMPARE(valueOf(busy.page(), "const t = Date.now(); while (Date.now() - t < 3000) {} 1"),
                 QVariant(1));
        QVERIFY(!busy.findChild<PaneRecovery*>()->showsOwnPage());
        const int limit = PaneRecovery::setAnswerLimit(3000);
        auto asking = std::make_unique<WebEnginePane>();
        WebEnginePane other, loop;
        QVERIFY(loadInto(*asking, page("site/asking.asp")));
        asking->page()->runJavaScript("alert('稍等')");
        TRY_VERIFY(pagedialogs::openCount() == 1);
        auto bomb = std::make_unique<WebEnginePane>();
        QVERIFY(loadInto(other, page("site/first.asp")));
        const qint64 otherRenderer = other.page()->renderProcessPid();
        QSignalSpy died(bomb->page(), &QWebEnginePage::renderProcessTerminated);
        QVERIFY(loadInto(*bomb, page("hostile/bomb.asp")));
        TRY_VERIFY(!died.isEmpty());
        bomb.reset();
        QVERIFY(loadInto(loop, page("hostile/loop.asp")));
        const qint64 looping = loop.page()->renderProcessPid();
        QVERIFY(demoPortal().waitFor("GET /hostile/looping.asp"));
        QCOMPARE(valueOf(other.page(), "6 * 7", 5000), QVariant(42));
        QVERIFY(loadInto(other, page("site/next.asp")));
        QCOMPARE(demoPortal().count("GET /site/next.asp"), 1);
        QVERIFY(other.page()->renderProcessPid() == otherRenderer && looping != otherRenderer);

        TRY_COMPARE(title(loop), QString("网页没有响应"));
        QVERIFY(!asking->findChild<PaneRecovery*>()->showsOwnPage());
        asking.reset(); // its dialog goes with it
        TRY_COMPARE(pagedialogs::openCount(), 0);
        TRY_VERIFY(!rendererAlive(looping));
        QVERIFY(bodyText(loop).contains("重试"));
        QCOMPARE(loop.refresh(), pane::Ok);
        TRY_COMPARE(demoPortal().count("GET /hostile/loop.asp"), 2);
        PaneRecovery::setAnswerLimit(limit);
    }

    // The portal goes away: our page names the address and keeps it for the
    // retry and the refresh button; the portal's return brings the page back.
    // A site with an invalid certificate is refused outright, and our page
    // says why.
    void unreachablePortalAndInvalidCertificateGiveOurPages() {
        DemoPortalProcess site;
        QVERIFY(site.start());
        const quint16 port = site.port();
        const QString asked = site.address() + "tonghang/list.asp?page=2";
        WebEnginePane pane;
        QVERIFY(loadInto(pane, site.address() + "first.asp", false));
        QVERIFY(site.stop());

        QStringList started; // our own pages as "ours"
        connect(pane.page(), &QWebEnginePage::loadingChanged, this,
                [&](const QWebEngineLoadingInfo& info) {
                    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
                        started << (info.url().scheme() == "data" ? "ours" : info.url().toString());
                });
        QCOMPARE(pane.navigate(asked), pane::Ok);
        TRY_COMPARE(pane.title(), QString("无法连接到门户"));
        QVERIFY(bodyText(pane).contains(asked));
        QVERIFY(PortalWatch::instance().waiting());
        // The button and the refresh both go for the asked page, then, as the
        // portal is still down, our page again.
        valueOf(pane.page(), "document.getElementById('retry').click()");
        TRY_COMPARE(started.size(), 4);
        TRY_VERIFY(bodyText(pane).contains(asked));
        QCOMPARE(pane.refresh(), pane::Ok);
        TRY_COMPARE(started, (QStringList{asked, "ours", asked, "ours", asked, "ours"}));
        TRY_VERIFY(bodyText(pane).contains(asked));

        // Tried 5 s after the failure, then twice as long after each miss, up to a minute.
        QCOMPARE(PortalWatch::instance().nextInterval(), 5000);
        TRY_COMPARE(PortalWatch::instance().nextInterval(), 10000);
        QCOMPARE(PortalWatch::intervalAfter(20000), 40000);
        QCOMPARE(PortalWatch::intervalAfter(40000), 60000);
        QCOMPARE(PortalWatch::intervalAfter(60000), 60000);
        QVERIFY(site.start(port));
        TRY_COMPARE(site.count("GET /tonghang/list.asp?page=2"), 1);
        TRY_COMPARE(valueOf(pane.page(), "document.getElementById('query').textContent", 5000),
                    QVariant("page=2"));
        TRY_VERIFY(noTimerRuns(pane));

        QSslServer secure;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QFile key(TEST_DATA_DIR "/untrusted-site.key");
        QVERIFY(key.open(QIODevice::ReadOnly));
        tls.setLocalCertificate(
            QSslCertificate::fromPath(TEST_DATA_DIR "/untrusted-site.crt").value(0));
        tls.setPrivateKey(QSslKey(&key, QSsl::Rsa));
        secure.setSslConfiguration(tls);
        QVERIFY(secure.listen(QHostAddress::LocalHost));
        const QString refused = QString("https://127.0.0.1:%1/s.asp").arg(secure.serverPort());
        QCOMPARE(pane.navigate(refused), pane::Ok);
        TRY_COMPARE(pane.title(), QString("安全证书无效"));
        QVERIFY(bodyText(pane).contains(refused));
        QVERIFY(!PortalWatch::instance().waiting()); // not a matter of waiting
    }

    // Past half a second a thin line over the top edge shows the load; the
    // pane and its neighbour keep their places.
    void slowPageShowsALoadingLineThatMovesNothing() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* pane = new WebEnginePane;
        auto* neighbour = new QLabel("邻居");
        layout->addWidget(pane);
        layout->addWidget(neighbour);
        window.resize(400, 300);
        window.show();
        QVERIFY(loadInto(*pane, page("quick.asp"), false));
        auto* line = pane->findChild<QWidget*>("loadingLine");
        QVERIFY(!line->isVisible() && noTimerRuns(*pane));
        const QRect paneAt = pane->geometry(), neighbourAt = neighbour->geometry();
        QElapsedTimer sinceAsked;
        sinceAsked.start();
        QCOMPARE(pane->navigate(page("never-answers.asp")), pane::Ok);
        QVERIFY(!line->isVisible());
        TRY_VERIFY(line->isVisible());
        // Half a second: read from its timer, as a busy machine may show it seconds late
        // (and a coarse timer 5 % early).
        QVERIFY(sinceAsked.elapsed() >= 475);
        QCOMPARE(pane->findChild<QTimer*>("loadingDelay")->interval(), 500);
        QCOMPARE(QRect(line->pos(), QSize(0, line->height())), QRect(0, 0, 0, 3));
        QVERIFY(line->width() > 0 && line->width() <= pane->width());
        QCOMPARE(pane->geometry(), paneAt);
        QCOMPARE(neighbour->geometry(), neighbourAt);
        QCOMPARE(pane->stop(), pane::Ok);
        TRY_VERIFY(!line->isVisible());
        QVERIFY(noTimerRuns(*pane));
    }

    // Only a clicked mail link reaches the desktop, with no more than a
    // message needs; other schemes, clicked or not, go nowhere, and the pane
    // stays on its page. The toolbox's mail goes to the desktop too.
    //
    // Thirty window.open calls at load, without a click: none opens; one
    // click, one window. The toolbox opens one on an address as the portal
    // wants it, and so does our menu on a link. A window a page opens is on
    // the shared disk profile, as big as the page asked, titled after its
    // page, and closed by its script. At the limit a page gets none, the
    // user still does.
    void linksSeparateWindowsAndTheToolbox() {
        OpenerRecorder desktop;
        DesktopToolbox toolbox;
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("hostile/schemes.asp")));
        valueOf(pane.page(), "location.href = 'foo://script'; 1");
        valueOf(pane.page(), "location.href = 'mailto:script@example.com'; 1");
        for (const char* link : {"foo", "settings", "mail"})
            QVERIFY(clickElement(pane, link));
        TRY_VERIFY(!desktop.opened.isEmpty());
        QVERIFY(markAfter(pane, "marker/schemes"));
        QCOMPARE(pane.url().path(), QString("/hostile/schemes.asp"));
        QVERIFY(loadInto(pane, page("hostile/mail.asp")) && clickElement(pane, "mail"));
        TRY_COMPARE(desktop.opened.size(), 2);
        QVERIFY(toolbox.sendMail("webmaster@velantrix.com"));
        QCOMPARE(desktop.opened, (QList<QUrl>{QUrl("mailto:agent@example.com"),
                                              QUrl("mailto:agent@example.com?subject=Hi&body=x&"
                                                   "cc=b@example.com"),
                                              QUrl("mailto:webmaster@velantrix.com")}));

        // A right click on a link: our menu, with the link's entries.
        valueOf(pane.page(), QString("document.body.innerHTML = '<a href=\"%1\" style=\"position:"
                                     "fixed;left:0;top:0;width:200px;height:100px;display:block\">"
                                     "link</a>'; 1")
                                 .arg(page("linked.asp")));
        QTest::mouseClick(pageWidget(pane), Qt::RightButton, {}, QPoint(50, 50));
        QMenu* menu = nullptr;
        TRY_VERIFY((menu = pane.findChild<QMenu*>("PageContextMenu")) && menu->isVisible());
        QStringList texts;
        for (QAction* a : menu->actions())
            texts.append(a->isSeparator() ? "|" : a->text());
        QCOMPARE(texts.join(' '), QString("后退 前进 刷新 | 复制 粘贴 | 复制链接地址 "
                                          "在新窗口中打开链接 | 打印..."));
        menu->actions().at(texts.indexOf("在新窗口中打开链接"))->trigger();
        menu->close();
        QVERIFY(demoPortal().waitFor("GET /linked.asp"));
        QCOMPARE(browserWindows().size(), 1);
        qDeleteAll(browserWindows());

        QVERIFY(loadInto(pane, page("hostile/popups.asp")));
        QVERIFY(markAfter(pane, "marker/loaded"));
        QCOMPARE(demoPortal().count("GET /popup.asp?n=0"), 0);
        QVERIFY(clickElement(pane, "more"));
        QVERIFY(demoPortal().waitFor("GET /popup.asp?n=0"));
        QVERIFY(markAfter(pane, "marker/one"));
        QCOMPARE(browserWindows().size(), 1);
        QCOMPARE(demoPortal().count("GET /popup.asp?n=1"), 0);
        qDeleteAll(browserWindows());

        QVERIFY(!toolbox.openNewWindow(QString())); // nothing to show, no window
        QVERIFY(toolbox.openNewWindow(page("tonghang/allcom.asp?city=上海")));
        QVERIFY(demoPortal().waitFor("GET /tonghang/allcom.asp?city=%C9%CF%BA%A3"));
        QCOMPARE(browserWindows().size(), 1);
        QCOMPARE(pane.url().path(), QString("/hostile/popups.asp"));
        qDeleteAll(browserWindows());

        valueOf(pane.page(), "document.body.innerHTML = '<button id=b style=\"width:200px;"
                             "height:40px\">open</button>'; document.getElementById('b').onclick ="
                             " () => opened.push(window.open('/popup.asp?from=script', '_blank',"
                             " 'width=320,height=240')); var opened = []; 1");
        QVERIFY(clickElement(pane, "b"));
        TRY_COMPARE(browserWindows().size(), 1);
        QPointer<BrowserWindow> popup = browserWindows().front();
        TRY_COMPARE(popup->size(), QSize(320, 240));
        // The caption names the page's site before its title.
        TRY_COMPARE(popup->windowTitle(), QUrl(page("")).authority() + " - 演示门户 /popup.asp");
        QWebEngineProfile* profile = sharedWebProfile();
        QCOMPARE(popup->pane()->page()->profile(), profile);
        QCOMPARE(pane.page()->profile(), profile);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(!profile->isOffTheRecord() && profile->persistentStoragePath().startsWith(data));
        QCOMPARE(profile->persistentCookiesPolicy(), QWebEngineProfile::ForcePersistentCookies);
        valueOf(popup->pane()->page(), "window.close(); 1");
        TRY_VERIFY(popup.isNull());

        while (pagewindows::openCount() < 9)
            QVERIFY(pagewindows::open(pagewindows::Opener::User));
        QVERIFY(clickElement(pane, "b"));
        TRY_COMPARE(browserWindows().size(), 10); // the most a page may have
        QVERIFY(clickElement(pane, "b"));
        // Refused: the page's third window is closed as soon as it has asked.
        TRY_VERIFY(valueOf(pane.page(), "opened.length == 3 && (!opened[2] || opened[2].closed)")
                       .toBool());
        QCOMPARE(browserWindows().size(), 10);
        QVERIFY(pagewindows::open(pagewindows::Opener::User));

        // Each toolbar toggle flips the buttons, whatever their style.
        QToolBar toolbar;
        for (const char* caption : {"后退", "前进", "刷新"})
            toolbar.addAction(caption);
        const auto buttons = toolbar.findChildren<QToolButton*>();
        buttons[1]->setAutoRaise(false); // a mixed start: the others are flat by default
        for (const bool flat : {true, false}) {
            toolbox.toggleFlatToolbar(&toolbar);
            QCOMPARE(DesktopToolbox::isFlat(&toolbar), flat);
            for (QToolButton* button : buttons)
                QCOMPARE(button->autoRaise(), flat);
        }
    }

    // A page the client loads starts a new row: the page runs through all its
    // alerts with none reaching the user after the third.
    void scriptDialogsPermissionsAndPasswords() {
        QList<pagedialogs::ScriptDialog> asked;
        const auto asker = swapIn(pagedialogs::setScriptAsker,
                                  [&](QWidget*, const pagedialogs::ScriptDialog& d, QObject*,
                                      const pagedialogs::ScriptReply& done) {
                                      asked.append(d);
                                      done({true, "李四", d.offerEscape});
                                  });
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("dialogs.asp")));
        QCOMPARE(valueOf(pane.page(), "confirm('继续？')"), QVariant(true));
        QCOMPARE(valueOf(pane.page(), "prompt('姓名', '张三&x=1 100%+')"), QVariant("李四"));
        QCOMPARE(asked.size(), 2);
        QCOMPARE(QStringList({asked[1].text, asked[1].value, asked[1].site}),
                 QStringList({"姓名", "张三&x=1 100%+", QUrl(portal::baseUrl()).authority()}));
        QVERIFY(loadInto(pane, page("hostile/alerts.asp")));
        TRY_COMPARE(valueOf(pane.page(), "document.getElementById('count').textContent"),
                    QVariant("200"));
        QList<bool> offered;
        for (const auto& d : asked)
            offered.append(d.offerEscape);
        QCOMPARE(offered, (QList<bool>{false, false, false, false, true}));

        // Permissions are refused without asking: notifications denied, the
        // clipboard not allowed, camera, microphone and screen never given.
        QVERIFY(loadInto(pane, page("permissions.asp")));
        valueOf(pane.page(),
                "var r = null; (async () => { const m = navigator.mediaDevices, out = [];"
                " for (const ask of [() => Notification.requestPermission(),"
                " () => m.getUserMedia({video: true}), () => m.getUserMedia({audio: true}),"
                " () => m.getDisplayMedia({video: true}), () => navigator.clipboard.readText()])"
                " await ask().then(v => out.push(typeof v == 'string' ? v : 'given'),"
                " e => out.push(e.name)); r = out; })(); 1");
        QStringList outcome;
        TRY_VERIFY((outcome = valueOf(pane.page(), "r").toStringList()).size() == 5);
        QVERIFY2(outcome[0] == "denied" && outcome[4] == "NotAllowedError" &&
                     !outcome.mid(1, 3).contains("given"),
                 qPrintable(outcome.join(' ')));
        QCOMPARE(asked.size(), 5);

        // A local page has no route: the engine's own path asks the same.
        QSignalSpy loaded(&pane, &QWebEngineView::loadFinished);
        pane.setHtml("<p>本地</p>");
        QVERIFY(loaded.wait(Patience));
        QCOMPARE(valueOf(pane.page(), "prompt('本地', '默认')"), QVariant("李四"));
        QCOMPARE(asked.last().site + asked.last().value, QString("本地网页默认"));

        // A password is asked once, naming the site and the server's words;
        // cancelled, the server's own answer stays. Cancelled first: the
        // engine keeps given names for the rest of the session.
        for (const bool give : {false, true}) {
            QList<pagedialogs::AuthRequest> logins;
            const auto passwords = swapIn(
                pagedialogs::setCredentialsAsker, [&](QWidget*, const pagedialogs::AuthRequest& r) {
                    logins.append(r);
                    return pagedialogs::Credentials{give, "agent", "secret"};
                });
            loadInto(pane, page("hostile/login.asp?try=" + QString::number(give)));
            TRY_COMPARE(valueOf(pane.page(), "document.getElementById('state').textContent"),
                        QVariant(give ? "已登录：agent" : "401 需要登录"));
            QCOMPARE(logins.size(), 1);
            QCOMPARE(logins[0].host + ' ' + logins[0].realm, QString("127.0.0.1 Velantrix demo"));
            QVERIFY(!logins[0].proxy);
        }
    }

    // window.print() at load and Ctrl+P in the pane each end with a word:
    // printed, then failed where the file cannot be written. An alert is the
    // real box: titled with the program's name, the page's words as plain
    // text, its button in Chinese, and nothing modal, so the main window
    // stays usable. Another pane answers while the preview or the box is open.
    void printingAndAlertsLeaveTheOtherPanesWorking() {
        QTemporaryDir folder;
        QString pdf = folder.filePath("page.pdf");
        WebEnginePane pane, beside;
        QVERIFY(loadInto(beside, page("beside.asp")));
        QVariantList answers; // of the other pane, one a preview
        const auto runner =
            swapIn(pagepolicy::setPrintRunner,
                   [&](QWidget*, QPrinter* printer, const std::function<void()>& paint) {
                       answers.append(valueOf(beside.page(), "6 * 7", 5000));
                       printer->setOutputFormat(QPrinter::PdfFormat);
                       printer->setOutputFileName(pdf);
                       paint();
                       return true;
                   });
        QStringList messages;
        const auto handler = messagesInto(messages);
        QVERIFY(loadInto(pane, page("hostile/print.asp")));
        TRY_COMPARE(messages.size(), 1);
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-");
        pdf = folder.filePath("missing/page.pdf");
        QVERIFY(focusPage(pane));
        press(pane, Qt::Key_P, Qt::ControlModifier);
        TRY_COMPARE(messages.size(), 2);
        QCOMPARE(answers, (QVariantList{42, 42}));
        QCOMPARE(messages, (QStringList{"打印完成。", "打印失败：无法打印此网页。"}));

        { // From the third in a row, the user may silence the page.
            QString offered;
            const auto ticking = onDialogs([&](QDialog* dialog) {
                for (QCheckBox* escape : dialog->findChildren<QCheckBox*>()) {
                    offered += escape->text();
                    escape->setChecked(true);
                }
                dialog->accept();
            });
            const pagedialogs::ScriptAnswer answer =
                pagedialogs::askScript(&pane, {pagedialogs::Kind::Confirm, "", "", "", true});
            QVERIFY(answer.accepted && answer.silence);
            QCOMPARE(offered, "不再显示此网页的对话框");
        }
        QVERIFY(loadInto(pane, page("alert.asp")));
        QStringList seen;
        bool plain = true, modal = true;
        const auto dialogs = onDialogs([&](QDialog* dialog) {
            seen.append(
                valueOf(beside.page(), "fetch('/marker/beside'); 'beside'", 5000).toString());
            seen.last() += demoPortal().waitFor("GET /marker/beside") ? "" : " unheard";
            seen.append(dialog->windowTitle());
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                plain = plain && label->textFormat() == Qt::PlainText; // never markup
                if (!label->text().isEmpty())
                    seen.append(label->text());
            }
            modal = QApplication::activeModalWidget() != nullptr;
            for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                seen.append(button->text());
            dialog->findChildren<QAbstractButton*>().front()->click();
        });
        QCOMPARE(valueOf(pane.page(), "alert('<b>注意</b>'); 'after'"), QVariant("after"));
        QCOMPARE(seen.join('|'), "beside|Orvanta同行协作办公信息系统|网页 " +
                                     QUrl(portal::baseUrl()).authority() +
                                     " 显示：|<b>注意</b>|确定");
        QVERIFY(plain && !modal);
    }

    // Two panes side by side: the keys go to the one with the focus only.
    // The zoom, by keys and wheel, is stored on disk per pane name (read
    // without the program's code) and found again by the next pane of that
    // name; the find bar counts the matches of the page.
    void keysReachTheFocusedPaneOnly() {
        auto window = std::make_unique<QWidget>();
        auto* row = new QHBoxLayout(window.get());
        auto *left = new WebEnginePane, *right = new WebEnginePane;
        left->setObjectName("WebBrowserTeam");
        row->addWidget(left);
        row->addWidget(right);
        window->resize(800, 400);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QString findme = "find/findme.asp?a=findme-x-findme";
        for (const QString& p : {QString("left/1.asp"), findme})
            QVERIFY(loadInto(*left, page(p), false));
        for (const char* p : {"right/1.asp", "right/2.asp"})
            QVERIFY(loadInto(*right, page(p), false));

        QVERIFY(focusPage(*right));
        press(*right, Qt::Key_Left, Qt::AltModifier);
        TRY_COMPARE(right->url().path(), QString("/right/1.asp"));
        QCOMPARE(left->url().path(), QString("/find/findme.asp"));
        press(*right, Qt::Key_Right, Qt::AltModifier);
        TRY_COMPARE(right->url().path(), QString("/right/2.asp"));

        QVERIFY(focusPage(*left));
        const int rightLoads = demoPortal().count("GET /right/2.asp");
        QSignalSpy reloaded(left, &QWebEngineView::loadFinished);
        press(*left, Qt::Key_F5);
        QVERIFY(reloaded.wait(Patience) && demoPortal().count("GET /" + findme) == 2);
        for (const Qt::Key key : {Qt::Key_Equal, Qt::Key_Equal, Qt::Key_Minus})
            press(*left, key, Qt::ControlModifier);
        QCOMPARE(left->zoomFactor() * 10 + right->zoomFactor(), 12.0); // 1.1 and 1.0
        QWheelEvent wheel(QPointF(10, 10), left->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                          false);
        QCoreApplication::sendEvent(pageWidget(*left), &wheel);
        QCOMPARE(left->zoomFactor(), 1.25);

        FindBar* bar = left->findChild<PaneHabits*>()->findBar();
        press(*left, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar->isVisible() && bar->edit()->hasFocus());
        QVERIFY(!right->findChild<FindBar*>()->isVisible());
        QTest::keyClicks(bar->edit(), "findme");
        TRY_COMPARE(bar->shownCount(), QString("第 1 项，共 3 项"));
        QTest::keyClick(bar->edit(), Qt::Key_Return);
        TRY_COMPARE(bar->shownCount(), QString("第 2 项，共 3 项"));
        QTest::keyClick(bar->edit(), Qt::Key_Return, Qt::ShiftModifier);
        TRY_COMPARE(bar->shownCount(), QString("第 1 项，共 3 项"));
        // Back from the first: wraps to the last.
        QTest::keyClick(bar->edit(), Qt::Key_Return, Qt::ShiftModifier);
        TRY_COMPARE(bar->shownCount(), QString("第 3 项，共 3 项"));
        bar->edit()->setText("nowhere-on-the-page");
        TRY_COMPARE(bar->shownCount(), QString("没有找到"));
        QTest::keyClick(bar->edit(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QVERIFY(markAfter(*right, "marker/keys"));
        QCOMPARE(demoPortal().count("GET /right/2.asp"), rightLoads);

        // The mouse's back button, on the pane under it.
        QMouseEvent back(QEvent::MouseButtonPress, QPointF(10, 10),
                         left->mapToGlobal(QPointF(10, 10)), Qt::BackButton, Qt::BackButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(pageWidget(*left), &back);
        TRY_COMPARE(left->url().path(), QString("/left/1.asp"));
        QCOMPARE(right->url().path(), QString("/right/2.asp"));

        window.reset();
        QCOMPARE(storedZoom("WebBrowserTeam"), 1.25);
        WebEnginePane again, other;
        again.setObjectName("WebBrowserTeam");
        other.setObjectName("WebBrowserAd");
        QVERIFY(loadInto(again, page("zoom.asp")) && loadInto(other, page("zoom.asp"), false));
        QCOMPARE(again.zoomFactor() * 10 + other.zoomFactor(), 13.5); // 1.25 and 1.0
        TRY_COMPARE(valueOf(again.page(), "window.devicePixelRatio").toDouble(), 1.25);
        QVERIFY(focusPage(again));
        press(again, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(again.zoomFactor(), 1.0);
        QCOMPARE(storedZoom("WebBrowserTeam"), -1.0); // no longer stored
    }

    // Each start ends normally with 0 and says nothing of a profile released
    // late; the second finds the first one's login.
    void endsCleanlyAndKeepsTheLoginForTheNextStart() {
        QTemporaryDir dataHome;
        for (const QString told : {"cookie: \nwindows: 2\n", "cookie: session=kept\n"}) {
            QProcess probe;
            probe.setEnvironment(QProcess::systemEnvironment()
                                 << "XDG_DATA_HOME=" + dataHome.path());
            probe.start(QCoreApplication::applicationFilePath(),
                        {"--probe", demoPortal().address()});
            probe.waitForFinished(2 * Patience) || (probe.kill(), probe.waitForFinished());
            const QString said =
                QString::fromUtf8(probe.readAllStandardOutput() + probe.readAllStandardError());
            QVERIFY2(probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0 &&
                         said.startsWith(told) && !said.contains("Release of profile"),
                     qPrintable(
                         QString("exit %1/%2, %3: %4")
                             .arg(probe.exitStatus())
                             .arg(probe.exitCode())
                             .arg(said.contains("Release of profile") ? "late release" : "in time")
                             .arg(said.left(80))));
        }
        QVERIFY(QFileInfo::exists(
            dataHome.filePath("orvanta-web-exit-probe/QtWebEngine/Orvanta/Cookies")));
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--probe") == 0)
        return probe(argc, argv);
    prepareApplication("orvanta-browser-test");
    // A home of the test's own for the profile and the zoom file; a memory
    // bomb dies at a small heap rather than after gigabytes.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            qgetenv("QTWEBENGINE_CHROMIUM_FLAGS") + " --js-flags=--max-old-space-size=64");
    QApplication app(argc, argv);
    TestBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_browser.moc"
