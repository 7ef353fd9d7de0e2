// The browser's rules that need no web engine: the portal's address and how
// a pane reads what it is asked to show, download names, which links are
// followed, the dialog gate, zoom steps, the page menu and our own pages.

#include "ErrorPage.h"
#include "HomeFolder.h"
#include "PageMenu.h"
#include "PageRules.h"
#include "PaneAddress.h"
#include "Portal.h"
#include "ZoomStore.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

using pagerules::DialogGate;
using pagerules::LinkAction;
Q_DECLARE_METATYPE(PageMenuContext)

class TestWebLogic : public QObject {
    Q_OBJECT
private slots:
    // Only an absolute web address replaces the portal; anything else stops
    // the start with a message naming it, and never means the production portal.
    void portalOverride_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("chosen"); // empty: refused
        QTest::newRow("none") << ""
                              << "https://www.velantrix.com/";
        QTest::newRow("slash kept") << "http://127.0.0.1:8080/"
                                    << "http://127.0.0.1:8080/";
        QTest::newRow("slash added") << "http://127.0.0.1:8080"
                                     << "http://127.0.0.1:8080/";
        QTest::newRow("path") << "https://s.example.com/portal"
                              << "https://s.example.com/portal/";
        for (const char* bad :
             {"ftp://example.com/", "market/", "127.0.0.1:8080", "http:///nohost/",
              "http://exa mple.com/", "http://h/?page=1", "http://h/#top", " "})
            QTest::newRow(bad) << bad << "";
    }
    void portalOverride() {
        QFETCH(QString, value);
        QFETCH(QString, chosen);
        QString rejected;
        QCOMPARE(portal::chooseBaseUrl("https://www.velantrix.com/", value, &rejected), chosen);
        QCOMPARE(rejected.isEmpty(), !chosen.isEmpty());
        if (chosen.isEmpty())
            QVERIFY2(rejected.contains("ORVANTA_PORTAL_URL") &&
                         rejected.contains(QStringLiteral("“%1”").arg(value)) &&
                         rejected.contains(QStringLiteral("无法启动")),
                     qPrintable(rejected));
    }

    void environmentOverrideIsReadOnceAndRejectionsStopTheStart() {
        const QByteArray saved = qgetenv("ORVANTA_PORTAL_URL");
        QString problem;
        qputenv("ORVANTA_PORTAL_URL", "http://127.0.0.1:9/");
        QVERIFY(portal::initFromEnvironment(&problem));
        QCOMPARE(portal::webmasterAddress(), QStringLiteral("webmaster@127.0.0.1"));
        qputenv("ORVANTA_PORTAL_URL", "localhost:9");
        QVERIFY(!portal::initFromEnvironment(&problem));
        QVERIFY(problem.contains(QStringLiteral("“localhost:9”")));
        QCOMPARE(portal::baseUrl(), QStringLiteral("http://127.0.0.1:9/"));
        qputenv("ORVANTA_PORTAL_URL", "");
        QVERIFY(portal::initFromEnvironment(&problem));
        QCOMPARE(portal::baseUrl(), QStringLiteral(PORTAL_BASE_URL));
        qputenv("ORVANTA_PORTAL_URL", saved);
    }

    // Without a usable HOME the account's home from the user database (read
    // here through getent), never "/" or a relative folder; downloads go to
    // its Downloads folder.
    void homeAndDownloadFolder() {
        const QByteArray saved = qgetenv("HOME");
        QProcess getent;
        getent.start("getent", {"passwd", QString::number(::getuid())});
        QVERIFY(getent.waitForFinished(10000));
        QString account = QString::fromLocal8Bit(getent.readAllStandardOutput()).section(':', 5, 5);
        if (account == "/" || !QFileInfo(account).isDir())
            account = QDir::tempPath() + QStringLiteral("/orvanta-home-%1").arg(::getuid());
        for (const char* home : {(const char*)nullptr, "", "/", ".", "relative", "/nonexistent"}) {
            home ? qputenv("HOME", home) : qunsetenv("HOME");
            if (!home)
                QCOMPARE(pagerules::accountHome(), account);
            QCOMPARE(homefolder::ensure(), account);
            QCOMPARE(qEnvironmentVariable("HOME"), account);
            QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                        .startsWith(account + '/'));
        }
        QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
        QCOMPARE(homefolder::ensure(), home.path()); // a usable HOME is kept
        QCOMPARE(pagerules::downloadFolder(), home.filePath("Downloads"));
        QVERIFY(QDir(home.filePath("Downloads")).exists());
        qputenv("HOME", saved);
        qunsetenv("XDG_CONFIG_HOME");
    }

    // As the portal receives it (GBK), and as a pane loads it; local paths as files.
    void addressesAsLoaded_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("wire"); // empty for a local path
        QTest::addColumn<QString>("loaded");
        QTest::newRow("gbk city") << "http://h/allcom.asp?city=北京"
                                  << QByteArray("http://h/allcom.asp?city=%B1%B1%BE%A9")
                                  << "http://h/allcom.asp?city=%B1%B1%BE%A9";
        QTest::newRow("pre-encoded")
            << "http://h/a.asp?type=%B3%B5%C1%BE" << QByteArray("http://h/a.asp?type=%B3%B5%C1%BE")
            << "http://h/a.asp?type=%B3%B5%C1%BE";
        QTest::newRow("gbk and ascii")
            << "http://h/a.asp?T=职员&x=1" << QByteArray("http://h/a.asp?T=%D6%B0%D4%B1&x=1")
            << "http://h/a.asp?T=%D6%B0%D4%B1&x=1";
        QTest::newRow("backslashes")
            << "HTTP://h/m\\ad.asp?p=x\\y" << QByteArray("HTTP://h/m\\ad.asp?p=x\\y")
            << "http://h/m/ad.asp?p=x%5Cy";
        QTest::newRow("program folder")
            << "/opt/orvanta\\velantrix.htm" << QByteArray() << "file:///opt/orvanta/velantrix.htm";
        QTest::newRow("chinese file")
            << "/tmp/北京.htm" << QByteArray() << "file:///tmp/%E5%8C%97%E4%BA%AC.htm";
        QTest::newRow("unc") << "\\\\server\\share\\v.htm" << QByteArray()
                             << "file://server/share/v.htm";
        QTest::newRow("drive") << "C:\\Orvanta\\v.htm" << QByteArray()
                               << "file:///C:/Orvanta/v.htm";
    }
    void addressesAsLoaded() {
        QFETCH(QString, address);
        QFETCH(QByteArray, wire);
        QFETCH(QString, loaded);
        QCOMPARE(pane::isLocalPath(address), wire.isEmpty());
        if (!wire.isEmpty())
            QCOMPARE(portal::wireEncoded(address), wire);
        QCOMPARE(QString::fromLatin1(pane::urlFor(address).toEncoded()), loaded);
    }
    void notLocalPaths() {
        for (const char* notLocal : {"C:", "mailto:webmaster@velantrix.com", ""})
            QVERIFY2(!pane::isLocalPath(notLocal), notLocal);
        QVERIFY(pane::urlFor(QString()).isEmpty());
    }

    void downloadNames_data() {
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const QString& in, const QString& out) {
            QTest::newRow(tag) << in << out;
        };
        row("plain", "报表.xls", "报表.xls");
        row("autostart", "../.config/autostart/x.desktop", "x.desktop");
        row("climbs twice", "../../name", "name");
        row("backslashes", "..\\..\\Windows\\win.ini", "win.ini");
        row("unc", "\\\\host\\share", "share");
        row("absolute", "/etc/passwd", "passwd");
        row("hidden", ".bashrc", "bashrc");
        row("only dots", "..", "下载文件");
        row("trailing slash", "folder/", "下载文件");
        row("empty", QString(), "下载文件");
        row("blanks", "   ", "下载文件");
        row("control characters", "a\nb\tc\x01\x1b.txt", "abc.txt");
        row("hidden separator", "..\x01/x", "x");
        row("right-to-left override", "invoice\u202Etxt.exe", "invoicetxt.exe");
        row("reserved characters", "a<b>c:d\"e|f?g*.txt", "a_b_c_d_e_f_g_.txt");
        row("trailing dots", "report.pdf. . ", "report.pdf");
        row("device name", "con.txt", "_con.txt");
        row("not a device", "console.txt", "console.txt");
        row("long latin", QString(250, 'a') + ".pdf", QString(196, 'a') + ".pdf");
        // 240 bytes at most: 78 characters of three bytes, then ".xls".
        row("long chinese", QString(100, u'文') + ".xls", QString(78, u'文') + ".xls");
        row("long extension is not kept", "a." + QString(300, 'b'), "a." + QString(198, 'b'));
        row("astral characters stay whole", QString("\xF0\x9F\x98\x80").repeated(70) + ".txt",
            QString("\xF0\x9F\x98\x80").repeated(59) + ".txt");
    }
    void downloadNames() {
        QFETCH(QString, suggested);
        QFETCH(QString, expected);
        QCOMPARE(pagerules::safeFileName(suggested), expected);
    }

    void links_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("clicked");
        QTest::addColumn<LinkAction>("action");
        const auto row = [](const char* url, bool clicked, LinkAction action) {
            QTest::addRow("%s %s", url, clicked ? "clicked" : "by script")
                << QString(url) << clicked << action;
        };
        row("http://127.0.0.1/a.asp", false, LinkAction::Follow);
        row("HTTPS://example.com/", false, LinkAction::Follow);
        row("mailto:agent@example.com", true, LinkAction::Mail);
        row("mailto:agent@example.com", false, LinkAction::Refuse);
        row("foo://bar", true, LinkAction::Refuse);
        row("ms-settings:", true, LinkAction::Refuse);
        row("tel:+861012345678", true, LinkAction::Refuse);
        row("smb://host/share", true, LinkAction::Refuse);
        row("ftp://example.com/file", true, LinkAction::Refuse);
        row("javascript:alert(1)", true, LinkAction::Refuse);
        row("about:blank", false, LinkAction::Follow);
        row("file:///opt/orvanta/velantrix.htm", false, LinkAction::Follow);
        row("data:text/html,x", false, LinkAction::Follow);
    }
    void links() {
        QFETCH(QString, url);
        QFETCH(bool, clicked);
        QFETCH(LinkAction, action);
        QVERIFY(pagerules::actionFor(QUrl(url), clicked) == action);
    }

    void escapeIsOfferedFromTheThirdDialogInARowAndSilencesTheSite() {
        const QString site = "http://hostile.example", other = "http://127.0.0.1:8080";
        DialogGate gate;
        QList<bool> offered;
        qint64 now = 1000;
        for (int i = 0; i < 4; ++i) {
            const DialogGate::Ask ask = gate.opening(site, now);
            QVERIFY(ask.show);
            offered.append(ask.offerEscape);
            gate.closed(false, now += 10);
        }
        QCOMPARE(offered, (QList<bool>{false, false, true, true}));
        // A pause, or another site, starts a new row.
        QVERIFY(!gate.opening(site, now + DialogGate::RowGapMs + 1).offerEscape);
        gate.closed(false, now += DialogGate::RowGapMs + 1);
        QVERIFY(!gate.opening(other, now).offerEscape);

        // A silenced site shows nothing until the client loads a page.
        DialogGate silenced;
        for (int i = 0; i < 3; ++i)
            silenced.opening(site, i * 10);
        silenced.closed(true, 40);
        QVERIFY(!silenced.opening(site, 50).show);
        QVERIFY(!silenced.opening(site, 100000).show);
        QVERIFY(silenced.opening(other, 100010).show);
        silenced.closed(false, 100020);
        silenced.reset();
        const DialogGate::Ask again = silenced.opening(site, 100030);
        QVERIFY(again.show && !again.offerEscape);
    }

    // The browsers' steps, stopping at the ends; a stored zoom out of range is bounded.
    void zoomSteps_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("in");
        QTest::addColumn<double>("out");
        QTest::newRow("default") << 1.0 << 1.1 << 0.9;
        QTest::newRow("between steps") << 1.2 << 1.25 << 1.1;
        QTest::newRow("1.25") << 1.25 << 1.5 << 1.1;
        QTest::newRow("smallest") << 0.25 << 1.0 / 3 << 0.25;
        QTest::newRow("largest") << 5.0 << 5.0 << 4.0;
        QTest::newRow("beyond") << 9.0 << 5.0 << 5.0;
    }
    void zoomSteps() {
        QFETCH(double, from);
        QFETCH(double, in);
        QFETCH(double, out);
        QCOMPARE(zoomstore::zoomIn(from), in);
        QCOMPARE(zoomstore::zoomOut(from), out);
    }
    void zoomIsBounded() {
        QCOMPARE(zoomstore::bounded(1e9), 5.0);
        QCOMPARE(zoomstore::bounded(0.01), 0.25);
        QCOMPARE(zoomstore::bounded(qQNaN()), 1.0);
        QCOMPARE(zoomstore::bounded(1.1), 1.1);
    }

    // The entries under the mouse; "-" marks a disabled one, "|" a separator.
    void pageMenu_data() {
        QTest::addColumn<PageMenuContext>("context");
        QTest::addColumn<QString>("entries");
        PageMenuContext plain, form, link, script;
        form.canGoBack = form.hasSelection = form.editable = true;
        link.canGoForward = link.image = true;
        link.link = QUrl("http://127.0.0.1/x.asp");
        script.link = QUrl("javascript:alert(1)");
        QTest::newRow("plain") << plain << "-后退 -前进 刷新 | -复制 -粘贴 | 打印...";
        QTest::newRow("form") << form << "后退 -前进 刷新 | 复制 粘贴 | 打印...";
        QTest::newRow("link and image")
            << link
            << "-后退 前进 刷新 | -复制 -粘贴 | 复制链接地址 在新窗口中打开链接 | 图片另存为... | "
               "打印...";
        QTest::newRow("script link")
            << script
            << "-后退 -前进 刷新 | -复制 -粘贴 | 复制链接地址 -在新窗口中打开链接 | 打印...";
    }
    void pageMenu() {
        QFETCH(PageMenuContext, context);
        QFETCH(QString, entries);
        QStringList shown;
        int group = 0;
        for (const PageMenuEntry& e : pageMenuEntries(context)) {
            if (e.group != group)
                shown.append("|");
            group = e.group;
            shown.append((e.enabled ? "" : "-") + e.text);
        }
        QCOMPARE(shown.join(' '), entries);
    }

    // Our pages name the address, escaped; only a web address gets "重试".
    void errorPages_data() {
        QTest::addColumn<errorpage::Problem>("problem");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("shown");
        using P = errorpage::Problem;
        QTest::newRow("unreachable")
            << P::Unreachable << "http://127.0.0.1:9/list.asp?page=2"
            << QStringList{"<title>无法连接到门户</title>", "暂时无法连接到门户网站",
                           "http://127.0.0.1:9/list.asp?page=2", ">重试</a>"};
        QTest::newRow("certificate") << P::Certificate << "https://h/secure.asp"
                                     << QStringList{"<title>安全证书无效</title>",
                                                    "此网站的安全证书无效", "https://h/secure.asp"};
        QTest::newRow("crashed") << P::PageCrashed << "http://h/a.asp?x=1"
                                 << QStringList{"<title>网页无法显示</title>", "此网页多次意外中止",
                                                "http://h/a.asp?x=1"};
        QTest::newRow("local file")
            << P::Unreachable << "file:///tmp/v.htm" << QStringList{"file:///tmp/v.htm"};
    }
    void errorPages() {
        QFETCH(errorpage::Problem, problem);
        QFETCH(QString, address);
        QFETCH(QStringList, shown);
        const QString html = errorpage::html(problem, QUrl(address));
        for (const QString& part : shown)
            QVERIFY2(html.contains(part), qPrintable(part));
        QCOMPARE(html.contains("id=\"retry\""), address.startsWith("http"));
        QVERIFY(!html.contains("<b>"));
    }
};

QTEST_GUILESS_MAIN(TestWebLogic)
#include "test_web_logic.moc"
