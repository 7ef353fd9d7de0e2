// Real web panes against the demo portal: what the portal receives, our own
// pages and recovery, the habits of a pane, what a hostile page can and
// cannot make it do, the desktop toolbox, and the client's real ending (the
// test runs itself as that process: "write" leaves a session cookie and two
// browser windows open at the end; "read" prints the cookie the next start finds).

#include "ChineseUi.h"
#include "DesktopToolbox.h"
#include "FindBar.h"
#include "PageDialogs.h"
#include "PagePolicy.h"
#include "PageRules.h"
#include "PaneHabits.h"
#include "PaneRecovery.h"
#include "PortalWatch.h"
#include "Seams.h"
#include "WebTestSupport.h"
#include "ZoomStore.h"

#include <QAbstractButton>
#include <QCloseEvent>
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
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWheelEvent>
#include <cstdio>

using namespace webtest;

namespace {

QString page(const QString& path) {
    return portal::page(path);
}

void press(QWebEngineView& view, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(pageWidget(view), key, modifiers);
}

// Crashed by itself: killed from outside, a renderer is never given up.
bool crashRenderer(QWebEngineView& view) {
    if (view.page()->renderProcessPid() <= 0)
        return false;
    view.page()->load(QUrl(QStringLiteral("chrome://crash")));
    return true;
}

bool waitUntilLoaded(QWebEngineView& view) {
    return QTest::qWaitFor(
        [&] {
            return valueOf(view.page(),
                           "document.readyState == 'complete' && "
                           "!!document.getElementById('path')",
                           5000) == true;
        },
        Patience);
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

// Answers every request with one page that declares no charset, the way the
// portal's legacy pages come.
class LegacyPageServer : public QTcpServer {
public:
    explicit LegacyPageServer(const QByteArray& body) {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this, body] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket, body] {
                    QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                  QByteArray::number(body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
};

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

// A top-level window like the main window: it counts the close box.
class HostWindow : public QWidget {
public:
    HostWindow() : pane(new WebEnginePane(this)) { resize(640, 480), pane->resize(640, 480); }
    WebEnginePane* pane;
    int closeAsked = 0;

protected:
    void closeEvent(QCloseEvent* e) override {
        ++closeAsked;
        e->ignore();
    }
};

int probe(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication::setApplicationName(QStringLiteral("orvanta-web-exit-probe"));
    pagewindows::setMaker(&BrowserWindow::open);
    WebEnginePane pane;
    pane.show();
    DesktopToolbox toolbox;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [] {
        const auto windows = browserWindows();
        if (std::count_if(windows.begin(), windows.end(), [](BrowserWindow* w) {
                return w->windowTitle().contains(QStringLiteral(" - 演示门户"));
            }) == 2) {
            std::printf("windows: 2\n");
            seams::endProgram();
        }
    });
    const QString base = QString::fromLocal8Bit(argv[2]);
    QObject::connect(&pane, &QWebEngineView::loadFinished, &app, [&](bool ok) {
        if (!ok)
            QCoreApplication::exit(3);
        else if (qstrcmp(argv[3], "read") == 0)
            pane.page()->runJavaScript("document.cookie", [](const QVariant& v) {
                std::printf("cookie: %s\n", qPrintable(v.toString()));
                seams::endProgram();
            });
        else {
            pane.page()->runJavaScript("document.cookie = 'session=kept'; 1");
            toolbox.openNewWindow(base + "popup.asp");
            toolbox.openNewWindow(base + "second.asp");
            poll.start(100);
        }
    });
    pane.navigate(base + "probe.asp");
    return QApplication::exec();
}

// Standard output and error of one probe run that must end normally with 0.
QString runProbe(const QString& dataHome, const char* mode) {
    QProcess probe;
    probe.setEnvironment(QProcess::systemEnvironment() << "XDG_DATA_HOME=" + dataHome);
    probe.start(QCoreApplication::applicationFilePath(),
                {"--probe", demoPortal().address(), QString::fromLatin1(mode)});
    probe.waitForFinished(2 * Patience) || (probe.kill(), probe.waitForFinished());
    const QString said =
        QString::fromUtf8(probe.readAllStandardOutput() + probe.readAllStandardError());
    const bool clean = probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
    return clean && !said.contains("Release of profile") ? said : "unclean: " + said;
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

    void pagesWithoutCharsetAreReadAsGbk_data() {
        QTest::addColumn<QByteArray>("body");
        const QString text = QStringLiteral("北京同行协作办公信息系统，旅游从业者工作必备百宝箱");
        // Chromium's detector recognises GBK text; where it has no verdict, the default decides.
        QTest::newRow("gbk text") << "<html><body>" + QStringEncoder("GBK").encode(text) +
                                         "</body></html>";
        QTest::newRow("undecided bytes") << "<html><body>" + text.toUtf8() + "</body></html>";
    }
    void pagesWithoutCharsetAreReadAsGbk() {
        QFETCH(QByteArray, body);
        LegacyPageServer server(body);
        WebEnginePane pane;
        QVERIFY(loadInto(pane, QStringLiteral("http://127.0.0.1:%1/l.asp").arg(server.serverPort()),
                         false));
        QCOMPARE(valueOf(pane.page(), "document.characterSet"), QVariant("GBK"));
    }

    // Sizes in twips, back and forward at the ends of history, refresh while hidden.
    void paneCommandsRefuseWhatTheyCannotDo() {
        WebEnginePane pane;
        QCOMPARE(pane.navigate(QString()), pane::Failed);
        QCOMPARE(pane.setWidth(1500), pane::Ok);
        QCOMPARE(pane.setHeight(3000), pane::Ok);
        QCOMPARE(pane.setWidth(-15), pane::Failed);
        QCOMPARE(pane.setHeight(-1), pane::Failed);
        QCOMPARE(pane.size(), QSize(100, 200));
        QCOMPARE(pane.goBack(), pane::Failed);
        QVERIFY(loadInto(pane, page("first.asp"), false));
        QCOMPARE(pane.goBack(), pane::Failed);
        QVERIFY(loadInto(pane, page("second.asp"), false));
        QCOMPARE(pane.goForward(), pane::Failed);
        QCOMPARE(pane.goBack(), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(pane.url().path(), QString("/first.asp"), Patience);
        QCOMPARE(pane.goBack(), pane::Failed);
        QCOMPARE(pane.goForward(), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(pane.url().path(), QString("/second.asp"), Patience);
        QCOMPARE(pane.refresh(), pane::Ok); // hidden
        QVERIFY(demoPortal().waitFor("GET /second.asp", 3));
    }

    // Crashed renderers are answered at once, then after 1 s, 5 s and 30 s;
    // a fifth crash in a row shows our page, whose retry starts afresh.
    void rendererDeathsAreAlwaysAnswered() {
        const std::optional<int> schedule[] = {0, 1000, 5000, 30000, std::nullopt};
        for (int death = 0; death < 5; ++death)
            QCOMPARE(PaneRecovery::rendererReloadDelay(death), schedule[death]);

        WebEnginePane pane;
        const QString request = "GET /survivor.asp";
        QVERIFY(loadInto(pane, page("survivor.asp"), false));
        QVERIFY(crashRenderer(pane));
        QVERIFY(demoPortal().waitFor(request, 2));
        QVERIFY(waitUntilLoaded(pane));

        QElapsedTimer sinceKill;
        sinceKill.start();
        QVERIFY(crashRenderer(pane));
        // While the reload waits, the grey pane says what is going on.
        const auto* note = pane.findChild<QLabel*>("recoveringNote");
        QTRY_VERIFY_WITH_TIMEOUT(!note->isHidden() && note->text().contains("正在重新载入"), 900);
        QCOMPARE(note->size(), pane.size());
        QVERIFY(demoPortal().waitFor(request, 3));
        QVERIFY(note->isHidden());
        QVERIFY(sinceKill.elapsed() >= 1000);
        QVERIFY(waitUntilLoaded(pane));

        // The third and fourth waits shortened, so the test need not sit out 35 s.
        const auto previous = PaneRecovery::setRendererReloadDelays({0, 1000, 50, 50});
        for (int reloads = 4; reloads <= 5; ++reloads) {
            QVERIFY(crashRenderer(pane));
            QVERIFY(demoPortal().waitFor(request, reloads));
            QVERIFY(waitUntilLoaded(pane));
        }
        QVERIFY(crashRenderer(pane));
        PaneRecovery::setRendererReloadDelays(previous);
        QTRY_COMPARE_WITH_TIMEOUT(pane.title(), QString("网页无法显示"), Patience);
        QVERIFY(bodyText(pane).contains(page("survivor.asp")));
        QCOMPARE(demoPortal().count(request), 5);

        valueOf(pane.page(), "document.getElementById('retry').click(); 1");
        QVERIFY(demoPortal().waitFor(request, 6));
        QVERIFY(waitUntilLoaded(pane));
        QVERIFY(crashRenderer(pane)); // a new series: reloaded at once again
        QVERIFY(demoPortal().waitFor(request, 7));
    }

    // The portal goes away: our page names the address and keeps it for the
    // retry and the refresh button; the portal's return brings the page back.
    void unreachablePortalShowsOurPageThenReloadsWhenBack() {
        DemoPortalProcess site;
        QVERIFY(site.start());
        const quint16 port = site.port();
        const QString asked = site.address() + "tonghang/list.asp?page=2";
        WebEnginePane pane;
        QVERIFY(loadInto(pane, site.address() + "first.asp", false));
        QVERIFY(site.stop());

        QCOMPARE(pane.navigate(asked), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(pane.title(), QString("无法连接到门户"), Patience);
        QVERIFY(bodyText(pane).contains(asked));
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
                valueOf(pane.page(), "document.getElementById('retry').click()");
            else
                QCOMPARE(pane.refresh(), pane::Ok);
            // The asked page, then, as the portal is still down, our page again.
            QTRY_COMPARE_WITH_TIMEOUT(started.size(), 2, Patience);
            disconnect(connection);
            QCOMPARE(started.first(), QUrl(asked));
            QCOMPARE(started.last().scheme(), QString("data"));
            QTRY_VERIFY_WITH_TIMEOUT(bodyText(pane).contains(asked), Patience);
        }

        // Tried 5 s after the failure, then twice as long after each miss.
        QCOMPARE(PortalWatch::instance().nextInterval(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(PortalWatch::instance().nextInterval(), 10000, Patience);
        QVERIFY(site.start(port));
        QVERIFY(QTest::qWaitFor([&] { return site.count("GET /tonghang/list.asp?page=2") == 1; },
                                PortalWatch::LastInterval + Patience));
        QTRY_COMPARE_WITH_TIMEOUT(
            valueOf(pane.page(), "document.getElementById('query').textContent", 5000),
            QVariant("page=2"), Patience);
        QTRY_VERIFY_WITH_TIMEOUT(noTimerRuns(pane), Patience);
    }

    // Refused outright: the page never reaches the server, and ours says why.
    void invalidCertificateIsRefusedWithOurPage() {
        QByteArray received;
        QSslServer site;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        QFile key(TEST_DATA_DIR "/untrusted-site.key");
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
        const QString asked = QStringLiteral("https://127.0.0.1:%1/s.asp").arg(site.serverPort());
        WebEnginePane pane;
        QCOMPARE(pane.navigate(asked), pane::Ok);
        QTRY_COMPARE_WITH_TIMEOUT(pane.title(), QString("安全证书无效"), Patience);
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
        QTRY_VERIFY_WITH_TIMEOUT(line->isVisible(), Patience);
        QVERIFY(sinceAsked.elapsed() >= PaneRecovery::LoadingLineDelay);
        QCOMPARE(QRect(line->pos(), QSize(0, line->height())), QRect(0, 0, 0, 3));
        QVERIFY(line->width() > 0 && line->width() <= pane->width());
        QCOMPARE(pane->geometry(), paneAt);
        QCOMPARE(neighbour->geometry(), neighbourAt);
        QCOMPARE(pane->stop(), pane::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(!line->isVisible(), Patience);
        QVERIFY(noTimerRuns(*pane));
    }

    // Offered under a plain name in the download folder; saved where the user
    // chose, and nowhere else; not given a place, cancelled.
    void downloadsAskWhereToSave_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("refused") << "report.html"
                                 << "report.html" << false;
        QTest::newRow("autostart") << "../.config/autostart/x.desktop"
                                   << "x.desktop" << true;
        QTest::newRow("backslashes") << "..\\..\\boot.ini"
                                     << "boot.ini" << true;
        QTest::newRow("hidden") << ".profile"
                                << "profile" << true;
    }
    void downloadsAskWhereToSave() {
        QFETCH(QString, name);
        QFETCH(QString, offered);
        QFETCH(bool, chosen);
        QTemporaryDir chosenFolder;
        QString suggested;
        const QString target = chosen ? chosenFolder.filePath("chosen.bin") : QString();
        const auto asker = swapIn(setSaveLocationAsker, [&](const QString& path) {
            suggested = path;
            return target;
        });
        WebEnginePane pane;
        QPointer<QWebEngineDownloadRequest> download;
        connect(sharedWebProfile(), &QWebEngineProfile::downloadRequested, &pane,
                [&](QWebEngineDownloadRequest* r) { download = r; });
        pane.navigate(page("hostile/attachment.asp?name=") + QUrl::toPercentEncoding(name));
        QTRY_VERIFY_WITH_TIMEOUT(!download.isNull(), Patience);

        const QDir downloads(QDir::home().filePath("Downloads"));
        QCOMPARE(QFileInfo(suggested).absolutePath(), downloads.path());
        QCOMPARE(QFileInfo(suggested).fileName(), offered);
        QTRY_COMPARE_WITH_TIMEOUT(download->state(),
                                  chosen ? QWebEngineDownloadRequest::DownloadCompleted
                                         : QWebEngineDownloadRequest::DownloadCancelled,
                                  Patience);
        if (chosen) {
            QFile saved(target);
            QVERIFY(saved.open(QIODevice::ReadOnly));
            QCOMPARE(saved.readAll(), QByteArray("demo attachment\n"));
        }
        QVERIFY(!QFileInfo::exists(QDir::home().filePath(".config/autostart")));
        QVERIFY(downloads.isEmpty(QDir::Files | QDir::Hidden));
    }

    // Only the clicked mail link reaches the desktop; other schemes, clicked
    // or not, go nowhere, and the pane stays on its page.
    void linksTheDesktopWouldOpenGoNowhere() {
        OpenerRecorder desktop;
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("hostile/schemes.asp")));
        valueOf(pane.page(), "location.href = 'foo://script'; 1");
        valueOf(pane.page(), "location.href = 'mailto:script@example.com'; 1");
        QVERIFY(clickElement(pane, "foo"));
        QVERIFY(clickElement(pane, "settings"));
        QVERIFY(clickElement(pane, "mail"));
        QTRY_VERIFY_WITH_TIMEOUT(!desktop.opened.isEmpty(), Patience);
        QVERIFY(markAfter(pane, "marker/schemes"));
        QCOMPARE(desktop.opened, QList<QUrl>{QUrl("mailto:agent@example.com")});
        QCOMPARE(pane.url().path(), QString("/hostile/schemes.asp"));
    }

    // Thirty window.open calls at load, without a click: none opens; one
    // click, one window. At the limit a page gets none, the user still does.
    void windowsOpenOnlyFromAClickAndNeverTooMany() {
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("hostile/popups.asp")));
        QVERIFY(markAfter(pane, "marker/loaded"));
        QCOMPARE(demoPortal().count("GET /popup.asp?n=0"), 0);
        QVERIFY(clickElement(pane, "more"));
        QVERIFY(demoPortal().waitFor("GET /popup.asp?n=0"));
        QVERIFY(markAfter(pane, "marker/one"));
        QCOMPARE(browserWindows().size(), 1);
        QCOMPARE(demoPortal().count("GET /popup.asp?n=1"), 0);

        while (pagewindows::openCount() < pagerules::MaxPageWindows)
            QVERIFY(pagewindows::open(pagewindows::Opener::User));
        QVERIFY(clickElement(pane, "more"));
        QVERIFY(markAfter(pane, "marker/full"));
        QCOMPARE(demoPortal().count("GET /popup.asp?n=0"), 1);
        QCOMPARE(browserWindows().size(), pagerules::MaxPageWindows);
        QVERIFY(pagewindows::open(pagewindows::Opener::User));
    }

    // A page the client loads starts a new row: the page runs through all its
    // alerts with none reaching the user after the third.
    void scriptDialogsAreAnsweredAndARunCanBeSilenced() {
        QList<pagedialogs::ScriptDialog> asked;
        const auto asker =
            swapIn(pagedialogs::setScriptAsker, [&](QWidget*, const pagedialogs::ScriptDialog& d) {
                asked.append(d);
                return pagedialogs::ScriptAnswer{true, "李四", d.offerEscape};
            });
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("dialogs.asp")));
        QCOMPARE(valueOf(pane.page(), "confirm('继续？')"), QVariant(true));
        QCOMPARE(valueOf(pane.page(), "prompt('姓名', '张三')"), QVariant("李四"));
        QCOMPARE(asked.size(), 2);
        QCOMPARE(QStringList({asked[1].text, asked[1].value, asked[1].site}),
                 QStringList({"姓名", "张三", QUrl(portal::baseUrl()).authority()}));
        QVERIFY(loadInto(pane, page("hostile/alerts.asp")));
        QTRY_COMPARE_WITH_TIMEOUT(
            valueOf(pane.page(), "document.getElementById('count').textContent"), QVariant("200"),
            Patience);
        QList<bool> offered;
        for (const auto& d : asked)
            offered.append(d.offerEscape);
        QCOMPARE(offered, (QList<bool>{false, false, false, false, true}));
    }

    // The real box: titled with the program's name, the page's words as plain
    // text, its button in Chinese, and nothing modal: the main window's close
    // box still reaches its question.
    void alertLeavesTheCloseBoxWorking() {
        HostWindow host;
        host.show();
        QVERIFY(loadInto(*host.pane, page("alert.asp"), false));
        QStringList seen;
        bool plain = true, modal = true, closed = true;
        const auto dialogs = onDialogs([&](QDialog* dialog) {
            seen.append(dialog->windowTitle());
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                plain = plain && label->textFormat() == Qt::PlainText; // never markup
                if (!label->text().isEmpty())
                    seen.append(label->text());
            }
            modal = QApplication::activeModalWidget() != nullptr;
            closed = host.close();
            for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
                seen.append(button->text());
            dialog->findChildren<QAbstractButton*>().front()->click();
        });
        QCOMPARE(valueOf(host.pane->page(), "alert('<b>注意</b>'); 'after'"), QVariant("after"));
        QCOMPARE(seen.join('|'), "Orvanta同行协作办公信息系统|网页 " +
                                     QUrl(portal::baseUrl()).authority() +
                                     " 显示：|<b>注意</b>|确定");
        QVERIFY(plain && !modal && !closed);
        QCOMPARE(host.closeAsked, 1);
    }

    void permissionsAreRefusedWithoutAsking_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected"); // empty: any refusal
        QTest::newRow("notifications") << "Notification.requestPermission()"
                                       << "denied";
        QTest::newRow("camera") << "navigator.mediaDevices.getUserMedia({video: true})"
                                << "";
        QTest::newRow("microphone") << "navigator.mediaDevices.getUserMedia({audio: true})"
                                    << "";
        QTest::newRow("screen") << "navigator.mediaDevices.getDisplayMedia({video: true})"
                                << "";
        QTest::newRow("clipboard") << "navigator.clipboard.readText()"
                                   << "NotAllowedError";
    }
    void permissionsAreRefusedWithoutAsking() {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        int asked = 0;
        const auto asker =
            swapIn(pagedialogs::setScriptAsker, [&](QWidget*, const pagedialogs::ScriptDialog&) {
                return ++asked, pagedialogs::ScriptAnswer{};
            });
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("permissions.asp")));
        valueOf(pane.page(),
                "var r = 'waiting'; " + script +
                    ".then(v => r = typeof v == 'string' ? v : 'given', e => r = e.name); 1");
        QString outcome;
        QTRY_VERIFY_WITH_TIMEOUT((outcome = valueOf(pane.page(), "r").toString()) != "waiting",
                                 Patience);
        QVERIFY2(expected.isEmpty() ? outcome != "given" : outcome == expected,
                 qPrintable(outcome));
        QCOMPARE(asked, 0);
    }

    void passwordIsAskedForAndCancelKeepsTheServersAnswer_data() {
        QTest::addColumn<bool>("give");
        QTest::addColumn<QString>("shown");
        // Cancelled first: the engine keeps given names for the rest of the session.
        QTest::newRow("cancelled") << false << "401 需要登录";
        QTest::newRow("given") << true << "已登录：agent";
    }
    void passwordIsAskedForAndCancelKeepsTheServersAnswer() {
        QFETCH(bool, give);
        QFETCH(QString, shown);
        QList<pagedialogs::AuthRequest> asked;
        const auto asker = swapIn(pagedialogs::setCredentialsAsker,
                                  [&](QWidget*, const pagedialogs::AuthRequest& r) {
                                      asked.append(r);
                                      return pagedialogs::Credentials{give, "agent", "secret"};
                                  });
        WebEnginePane pane;
        loadInto(pane, page("hostile/login.asp?try=" + QString::number(give)));
        QTRY_COMPARE_WITH_TIMEOUT(
            valueOf(pane.page(), "document.getElementById('state').textContent"), QVariant(shown),
            Patience);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].host + ' ' + asked[0].realm, QString("127.0.0.1 Velantrix demo"));
        QVERIFY(!asked[0].proxy);
    }

    // window.print() at load and Ctrl+P in the pane each end with a word.
    void printingEndsWithAWord_data() {
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("said");
        QTest::newRow("printed") << true << "打印完成。";
        QTest::newRow("failed") << false << "打印失败：无法打印此网页。";
    }
    void printingEndsWithAWord() {
        QFETCH(bool, writable);
        QFETCH(QString, said);
        QTemporaryDir folder;
        const QString pdf = folder.filePath(writable ? "page.pdf" : "missing/page.pdf");
        int previews = 0;
        const auto runner =
            swapIn(pagepolicy::setPrintRunner,
                   [&](QWidget*, QPrinter* printer, const std::function<void()>& paint) {
                       ++previews;
                       printer->setOutputFormat(QPrinter::PdfFormat);
                       printer->setOutputFileName(pdf);
                       paint();
                       return true;
                   });
        QStringList messages;
        const auto handler = swapIn(seams::setMessageHandler, [&](const seams::Message& m) {
            messages.append(m.text);
            return seams::Answer::Ok;
        });
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("hostile/print.asp")));
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 1, Patience);
        QVERIFY(focusPage(pane));
        press(pane, Qt::Key_P, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), 2, Patience);
        QCOMPARE(previews, 2);
        QCOMPARE(messages, (QStringList{said, said}));
        QFile file(pdf);
        QCOMPARE(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-", writable);
    }

    void findBarCountsTheMatchesOfThePage() {
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("find/findme.asp?a=findme-x-findme")));
        QCOMPARE(valueOf(pane.page(), "document.body.innerText.split('findme').length-1"),
                 QVariant(3));
        QVERIFY(focusPage(pane));
        FindBar* bar = pane.findChild<PaneHabits*>()->findBar();
        press(pane, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar->isVisible() && bar->edit()->hasFocus());
        QTest::keyClicks(bar->edit(), "findme");
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QString("第 1 项，共 3 项"), Patience);
        const std::pair<Qt::KeyboardModifier, const char*> steps[] = {
            {Qt::NoModifier, "第 2 项，共 3 项"},
            {Qt::ShiftModifier, "第 1 项，共 3 项"},
            {Qt::ShiftModifier, "第 3 项，共 3 项"}, // wraps to the last
        };
        for (const auto& [modifier, shown] : steps) {
            QTest::keyClick(bar->edit(), Qt::Key_Return, modifier);
            QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QString(shown), Patience);
        }
        bar->edit()->setText("nowhere-on-the-page");
        QTRY_COMPARE_WITH_TIMEOUT(bar->shownCount(), QString("没有找到"), Patience);
        QTest::keyClick(bar->edit(), Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
    }

    // Keys and wheel, stored on disk per pane name (read without the
    // program's code) and found again by the next pane of that name.
    void zoomIsKeptPerPaneAcrossARestart() {
        {
            WebEnginePane pane;
            pane.setObjectName("WebBrowserTeam");
            QVERIFY(loadInto(pane, page("zoom.asp")) && focusPage(pane));
            press(pane, Qt::Key_Equal, Qt::ControlModifier);
            press(pane, Qt::Key_Equal, Qt::ControlModifier);
            press(pane, Qt::Key_Minus, Qt::ControlModifier);
            QCOMPARE(pane.zoomFactor(), 1.1);
            QWheelEvent wheel(QPointF(10, 10), pane.mapToGlobal(QPointF(10, 10)), QPoint(),
                              QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase,
                              false);
            QCoreApplication::sendEvent(pageWidget(pane), &wheel);
            QCOMPARE(pane.zoomFactor(), 1.25);
        }
        QCOMPARE(storedZoom("WebBrowserTeam"), 1.25);
        WebEnginePane again, other;
        again.setObjectName("WebBrowserTeam");
        other.setObjectName("WebBrowserAd");
        QVERIFY(loadInto(again, page("zoom.asp")) && loadInto(other, page("zoom.asp"), false));
        QCOMPARE(again.zoomFactor(), 1.25);
        QCOMPARE(other.zoomFactor(), 1.0);
        QTRY_COMPARE_WITH_TIMEOUT(valueOf(again.page(), "window.devicePixelRatio").toDouble(), 1.25,
                                  Patience);
        QVERIFY(focusPage(again));
        press(again, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(again.zoomFactor(), 1.0);
        QCOMPARE(storedZoom("WebBrowserTeam"), -1.0); // no longer stored
    }

    // Two panes side by side: the keys go to the one with the focus only.
    void shortcutsReachTheFocusedPaneOnly() {
        QWidget window;
        auto* row = new QHBoxLayout(&window);
        WebEnginePane left, right;
        row->addWidget(&left);
        row->addWidget(&right);
        window.resize(800, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const char* p : {"left/1.asp", "left/2.asp"})
            QVERIFY(loadInto(left, page(p), false));
        for (const char* p : {"right/1.asp", "right/2.asp"})
            QVERIFY(loadInto(right, page(p), false));

        QVERIFY(focusPage(right));
        press(right, Qt::Key_Left, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(right.url().path(), QString("/right/1.asp"), Patience);
        QCOMPARE(left.url().path(), QString("/left/2.asp"));
        press(right, Qt::Key_Right, Qt::AltModifier);
        QTRY_COMPARE_WITH_TIMEOUT(right.url().path(), QString("/right/2.asp"), Patience);

        QVERIFY(focusPage(left));
        const int rightLoads = demoPortal().count("GET /right/2.asp");
        press(left, Qt::Key_F5);
        QVERIFY(demoPortal().waitFor("GET /left/2.asp", 2));
        press(left, Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(left.zoomFactor() * 10 + right.zoomFactor(), 12.0); // 1.1 and 1.0
        press(left, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(left.findChild<FindBar*>()->isVisible());
        QVERIFY(!right.findChild<FindBar*>()->isVisible());
        QVERIFY(markAfter(right, "marker/keys"));
        QCOMPARE(demoPortal().count("GET /right/2.asp"), rightLoads);

        // The mouse's back button, on the pane under it.
        QMouseEvent back(QEvent::MouseButtonPress, QPointF(10, 10),
                         left.mapToGlobal(QPointF(10, 10)), Qt::BackButton, Qt::BackButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(pageWidget(left), &back);
        QTRY_COMPARE_WITH_TIMEOUT(left.url().path(), QString("/left/1.asp"), Patience);
        QCOMPARE(right.url().path(), QString("/right/2.asp"));
    }

    // A right click on a link: our menu, with the link's entries, opens a
    // window of the client on it.
    void rightClickShowsOurMenu() {
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("menu.asp")));
        valueOf(pane.page(), QString("document.body.innerHTML = '<a href=\"%1\" style=\"position:"
                                     "fixed;left:0;top:0;width:200px;height:100px;display:block\">"
                                     "link</a>'; 1")
                                 .arg(page("linked.asp")));
        QTest::mouseClick(pageWidget(pane), Qt::RightButton, {}, QPoint(50, 50));
        QMenu* menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (menu = pane.findChild<QMenu*>("PageContextMenu")) && menu->isVisible(), Patience);
        QStringList texts;
        for (QAction* a : menu->actions())
            texts.append(a->isSeparator() ? "|" : a->text());
        QCOMPARE(texts.join(' '), QString("后退 前进 刷新 | 复制 粘贴 | 复制链接地址 "
                                          "在新窗口中打开链接 | 打印..."));
        menu->actions().at(texts.indexOf("在新窗口中打开链接"))->trigger();
        menu->close();
        QVERIFY(demoPortal().waitFor("GET /linked.asp"));
        QCOMPARE(browserWindows().size(), 1);
    }

    // Chromium's own texts come from its zh-CN locale, whatever the system's.
    void chromiumSpeaksChinese() {
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("form.asp"), false));
        QCOMPARE(valueOf(pane.page(), "navigator.language"), QVariant("zh-CN"));
        QCOMPARE(valueOf(pane.page(), "(() => { const i = document.createElement('input');"
                                      " i.required = true; return i.validationMessage; })()"),
                 QVariant("请填写此字段。"));
    }

    // Separate windows on the shared disk profile, as big as the page asked,
    // titled after their page, closed by a script; mail goes to the desktop;
    // each toolbar toggle flips the buttons, whatever their style.
    void toolboxAndPageWindows() {
        WebEnginePane pane;
        QVERIFY(loadInto(pane, page("opener.asp")));
        valueOf(pane.page(), "document.body.innerHTML = '<button id=b style=\"width:200px;"
                             "height:40px\">open</button>'; document.getElementById('b').onclick ="
                             " () => window.open('/popup.asp?from=script', 'small', "
                             "'width=320,height=240'); 1");
        QVERIFY(clickElement(pane, "b"));
        QTRY_COMPARE_WITH_TIMEOUT(browserWindows().size(), 1, Patience);
        QPointer<BrowserWindow> popup = browserWindows().front();
        QTRY_COMPARE_WITH_TIMEOUT(popup->size(), QSize(320, 240), Patience);
        // The caption names the page's site before its title.
        QTRY_COMPARE_WITH_TIMEOUT(popup->windowTitle(),
                                  QUrl(page("")).authority() + " - 演示门户 /popup.asp", Patience);
        QWebEngineProfile* profile = sharedWebProfile();
        QCOMPARE(popup->pane()->page()->profile(), profile);
        QCOMPARE(pane.page()->profile(), profile);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(!profile->isOffTheRecord() && profile->persistentStoragePath().startsWith(data));
        QCOMPARE(profile->persistentCookiesPolicy(), QWebEngineProfile::ForcePersistentCookies);
        valueOf(popup->pane()->page(), "window.close(); 1");
        QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), Patience);

        DesktopToolbox toolbox;
        QVERIFY(!toolbox.openNewWindow(QString())); // nothing to show, no window
        QVERIFY(toolbox.openNewWindow(page("tonghang/allcom.asp?city=上海")));
        QVERIFY(demoPortal().waitFor("GET /tonghang/allcom.asp?city=%C9%CF%BA%A3"));
        QCOMPARE(browserWindows().size(), 1);
        QCOMPARE(pane.url().path(), QString("/opener.asp"));

        OpenerRecorder desktop;
        QVERIFY(toolbox.sendMail("webmaster@velantrix.com"));
        QCOMPARE(desktop.opened, QList<QUrl>{QUrl("mailto:webmaster@velantrix.com")});

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

    void endsCleanlyAndKeepsTheLoginForTheNextStart() {
        QTemporaryDir dataHome;
        const QString first = runProbe(dataHome.path(), "write");
        QVERIFY2(first.startsWith("windows: 2"), qPrintable(first));
        QVERIFY(QFileInfo::exists(
            dataHome.filePath("orvanta-web-exit-probe/QtWebEngine/Orvanta/Cookies")));
        const QString second = runProbe(dataHome.path(), "read");
        QVERIFY2(second.startsWith("cookie: session=kept"), qPrintable(second));
    }
};

int main(int argc, char** argv) {
    if (argc == 4 && qstrcmp(argv[1], "--probe") == 0)
        return probe(argc, argv);
    prepareApplication("orvanta-browser-test");
    // Downloads go to the home's download folder: a home of the test's own.
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    QApplication app(argc, argv);
    TestBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_browser.moc"
