// The browser's rules that need no web engine: the portal's address and how
// a pane reads what it is asked to show, download names, which links are
// followed, zoom steps, how a site is named to the user, the page menu, our
// own pages and the dialog gate.

#include "ErrorPage.h"
#include "HomeFolder.h"
#include "PageMenu.h"
#include "PageRules.h"
#include "PaneAddress.h"
#include "Portal.h"
#include "SiteName.h"
#include "ZoomStore.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <unistd.h>

using pagerules::DialogGate;

namespace {

const QStringList actions = {"follow", "mail", "refuse"};

// Each rule as text: what it gives for one input.
const QHash<QString, std::function<QString(const QString&)>> ruleOf = {
    // What is chosen, then what the user is told.
    {"portal",
     [](const QString& value) {
         QString rejected;
         return portal::chooseBaseUrl("https://www.velantrix.com/", value, &rejected) + '|' +
                rejected;
     }},
    // As the portal receives it: GBK for what is not ASCII.
    {"wire", [](const QString& a) { return QString::fromLatin1(portal::wireEncoded(a)); }},
    // As a pane loads it, local paths as files.
    {"load",
     [](const QString& a) {
         return (pane::isLocalPath(a) ? "local " : "") +
                QString::fromLatin1(pane::urlFor(a).toEncoded());
     }},
    {"name", pagerules::safeFileName},
    {"click", [](const QString& url) { return actions.at(int(pagerules::actionFor(url, true))); }},
    {"script",
     [](const QString& url) { return actions.at(int(pagerules::actionFor(url, false))); }},
    // The step in and the step out.
    {"zoom",
     [](const QString& f) {
         return QString::number(zoomstore::zoomIn(f.toDouble())) + ' ' +
                QString::number(zoomstore::zoomOut(f.toDouble()));
     }},
    {"bounded", [](const QString& f) { return QString::number(zoomstore::bounded(f.toDouble())); }},
    {"site", [](const QString& url) { return sitename::of(QUrl(url)); }},
    {"address", [](const QString& url) { return sitename::address(QUrl(url)); }},
    {"caption",
     [](const QString& title) {
         return sitename::caption(QUrl("http://xn--pple-43d.org/x"), title);
     }},
    // The entries under the mouse; "-" marks a disabled one, "|" a separator.
    {"menu",
     [](const QString& under) {
         PageMenuContext c{
             under.contains("back"),      under.contains("forward"),
             under.contains("selection"), under.contains("editable"),
             under.contains("image"),     QUrl(under.contains(':') ? under.section(' ', -1) : "")};
         QStringList shown;
         int group = 0;
         for (const PageMenuEntry& e : pageMenuEntries(c)) {
             if (e.group != std::exchange(group, e.group))
                 shown.append("|");
             shown.append((e.enabled ? "" : "-") + e.text);
         }
         return shown.join(' ');
     }},
    // Our pages: title, heading, the address, the advice, the retry link.
    {"error",
     [](const QString& asked) {
         const QString html =
             errorpage::html(errorpage::Problem(asked.left(1).toInt()), QUrl(asked.mid(2)));
         const QRegularExpression parts(
             "<title>(.*?)</title>.*<h1>(.*?)</h1><p>网址：<span id=\"address\">(.*?)</span></p>"
             "<p>(.*?)</p>(?:<p><a id=\"retry\" href=\"(.*?)\">(.*?)</a></p>)?</body>");
         return parts.match(html).capturedTexts().mid(1).join('|');
     }},
    // Dialogs asked for by site "h" or "o" at the given ms, each closed 10 ms
    // later, the escape ticked where "!" follows, left open where "+" does;
    // "r" is a page the client loads. Shown: "." asked, "e" with the escape
    // offered, "-" not at all.
    {"gate",
     [](const QString& steps) {
         DialogGate gate;
         QString shown;
         for (const QString& step : steps.split(' ')) {
             if (step == "r") {
                 gate.reset();
                 continue;
             }
             const qint64 at = QString(step).remove('!').remove('+').mid(1).toLongLong();
             const DialogGate::Ask ask = gate.opening(step.left(1), at);
             shown += !ask.show ? '-' : ask.offerEscape ? 'e' : '.';
             if (ask.show && !step.endsWith('+'))
                 gate.closed(step.endsWith('!'), at + 10);
         }
         return shown;
     }},
};

} // namespace

class TestWebLogic : public QObject {
    Q_OBJECT
private slots:
    void rules_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("expected");
        int n = 0;
        const auto row = [&n](const char* rule, const QString& given, const QString& expected) {
            QTest::addRow("%d %s", ++n, rule) << QString(rule) << given << expected;
        };
        const QString refusal = "环境变量 ORVANTA_PORTAL_URL 的值“%1”不是完整的 http 或 https 网址"
                                "（例如 http://127.0.0.1:8080/），程序无法启动。";
        // Only an absolute web address replaces the portal; anything else stops
        // the start with a message naming it, and never means the production portal.
        row("portal", "", "https://www.velantrix.com/|");
        row("portal", "http://127.0.0.1:8080/", "http://127.0.0.1:8080/|");
        row("portal", "http://127.0.0.1:8080", "http://127.0.0.1:8080/|");
        row("portal", "https://s.example.com/portal", "https://s.example.com/portal/|");
        for (const char* bad :
             {"ftp://example.com/", "market/", "127.0.0.1:8080", "http:///nohost/",
              "http://exa mple.com/", "http://h/?page=1", "http://h/#top", " "})
            row("portal", bad, "|" + refusal.arg(bad));

        // GBK for what is not ASCII, in capitals; backslashes left to the pane.
        row("wire", "http://h/a.asp?T=职员&x=1", "http://h/a.asp?T=%D6%B0%D4%B1&x=1");
        row("wire", "HTTP://h/m\\ad.asp?p=x\\y", "HTTP://h/m\\ad.asp?p=x\\y");
        row("load", "http://h/allcom.asp?city=北京", "http://h/allcom.asp?city=%B1%B1%BE%A9");
        row("load", "http://h/a.asp?type=%B3%B5%C1%BE", "http://h/a.asp?type=%B3%B5%C1%BE");
        row("load", "http://h/a.asp?T=职员&x=1", "http://h/a.asp?T=%D6%B0%D4%B1&x=1");
        row("load", "HTTP://h/m\\ad.asp?p=x\\y", "http://h/m/ad.asp?p=x%5Cy");
        row("load", "/opt/orvanta\\velantrix.htm", "local file:///opt/orvanta/velantrix.htm");
        row("load", "/tmp/北京.htm", "local file:///tmp/%E5%8C%97%E4%BA%AC.htm");
        row("load", "\\\\server\\share\\v.htm", "local file://server/share/v.htm");
        row("load", "C:\\Orvanta\\v.htm", "local file:///C:/Orvanta/v.htm");
        row("load", "C:", "c:");
        row("load", "mailto:webmaster@velantrix.com", "mailto:webmaster@velantrix.com");
        row("load", "", "");

        row("name", "报表.xls", "报表.xls");
        row("name", "../.config/autostart/x.desktop", "x.desktop");
        row("name", "../../name", "name");
        row("name", "..\\..\\Windows\\win.ini", "win.ini");
        row("name", "\\\\host\\share", "share");
        row("name", "/etc/passwd", "passwd");
        row("name", ".bashrc", "bashrc");
        for (const char* nothing : {"..", "folder/", "", "   "})
            row("name", nothing, "下载文件");
        row("name", "a\nb\tc\x01\x1b.txt", "abc.txt");
        row("name", "..\x01/x", "x");
        row("name", "invoice\u202Etxt.exe", "invoicetxt.exe");
        row("name", "a<b>c:d\"e|f?g*.txt", "a_b_c_d_e_f_g_.txt");
        row("name", "report.pdf. . ", "report.pdf");
        row("name", "con.txt", "_con.txt");
        row("name", "console.txt", "console.txt");
        row("name", QString(250, 'a') + ".abcdefghijklmnop",
            QString(183, 'a') + ".abcdefghijklmnop"); // the longest extension kept
        // 240 bytes at most: 78 characters of three bytes, then ".xls".
        row("name", QString(100, u'文') + ".xls", QString(78, u'文') + ".xls");
        row("name", "a." + QString(300, 'b'), "a." + QString(198, 'b'));
        row("name", QString("\xF0\x9F\x98\x80").repeated(70) + ".txt",
            QString("\xF0\x9F\x98\x80").repeated(59) + ".txt");

        row("script", "http://127.0.0.1/a.asp", "follow");
        row("script", "HTTPS://example.com/", "follow");
        row("click", "mailto:agent@example.com", "mail");
        row("script", "mailto:agent@example.com", "refuse");
        for (const char* other :
             {"foo://bar", "ms-settings:", "tel:+861012345678", "smb://host/share",
              "ftp://example.com/file", "javascript:alert(1)"})
            row("click", other, "refuse");
        for (const char* own :
             {"about:blank", "file:///opt/orvanta/velantrix.htm", "data:text/html,x"})
            row("script", own, "follow");

        // The browsers' steps, stopping at the ends; a stored zoom out of range is bounded.
        row("zoom", "1", "1.1 0.9");
        row("zoom", "1.2", "1.25 1.1");
        row("zoom", "1.25", "1.5 1.1");
        row("zoom", "0.25", "0.333333 0.25");
        row("zoom", "5", "5 4");
        row("zoom", "9", "5 5");
        row("bounded", "1e9", "5");
        row("bounded", "0.01", "0.25");
        row("bounded", "nan", "1");
        row("bounded", "1.1", "1.1");

        // Lookalike hosts in ASCII; captions a page's title cannot take over.
        row("site", "http://portal.example.com/a", "portal.example.com");
        row("site", "http://127.0.0.1:8080/", "127.0.0.1:8080");
        row("site", "http://xn--pple-43d.org/", "xn--pple-43d.org");
        row("site", "http://\u0430pple.org/", "xn--pple-43d.org");
        row("site", "http://xn--80ak6aa92e.com/", "xn--80ak6aa92e.com");
        row("site", "http://xn--e1afmkfd.xn--p1ai/", "пример.рф");
        row("site", "http://xn--wgv71a119e.jp/", "日本語.jp");
        row("site", "http://xn--fsqu00a.xn--0zwm56d/", "例子.测试"); // off the whitelist
        row("site", "http://xn--mnchen-3ya.de/", "münchen.de");
        row("site", "http://g\u03BF\u03BFgle.com/", "xn--ggle-0nda.com");
        row("site", "about:blank", "");
        row("address", "http://xn--pple-43d.org/login?a=1", "http://xn--pple-43d.org/login?a=1");
        row("address", "http://xn--e1afmkfd.xn--p1ai/%E5%9B%BE", "http://пример.рф/图");
        row("caption", "登录", "xn--pple-43d.org - 登录");
        row("caption", "", "xn--pple-43d.org");
        row("caption", "\u202Egnp.exe\u200B\u2066a", "xn--pple-43d.org - gnp.exea");
        row("caption", " a\n\n\tb\u2028c ", "xn--pple-43d.org - a b c");
        row("caption", QString(4096, u'文'), "xn--pple-43d.org - " + QString(79, u'文') + "…");

        row("menu", "", "-后退 -前进 刷新 | -复制 -粘贴 | 打印...");
        row("menu", "back selection editable", "后退 -前进 刷新 | 复制 粘贴 | 打印...");
        row("menu", "forward image http://127.0.0.1/x.asp",
            "-后退 前进 刷新 | -复制 -粘贴 | 复制链接地址 在新窗口中打开链接 | 图片另存为... | "
            "打印...");
        row("menu", "javascript:alert(1)",
            "-后退 -前进 刷新 | -复制 -粘贴 | 复制链接地址 -在新窗口中打开链接 | 打印...");

        // Unreachable (0), certificate (1), crashed (2), not answering (3): the address escaped,
        // and only a web address gets "重试".
        row("error", "0 http://127.0.0.1:9/list.asp?page=2&x=<b>",
            "无法连接到门户|暂时无法连接到门户网站|http://127.0.0.1:9/"
            "list.asp?page=2&amp;x=%3Cb%3E|"
            "请检查网络连接。网络恢复后，本页会自动重新打开。|"
            "http://127.0.0.1:9/list.asp?page=2&amp;x=%3Cb%3E|重试");
        row("error", "1 https://h/secure.asp",
            "安全证书无效|此网站的安全证书无效|https://h/secure.asp|"
            "为保护您的信息，本程序不会打开此网页。请联系网站管理员。|https://h/secure.asp|重试");
        row("error", "2 file:///tmp/v.htm",
            "网页无法显示|此网页多次意外中止，无法显示|file:///tmp/v.htm|可以稍后再试。");
        row("error", "3 http://h/a.asp?x=1",
            "网页没有响应|此网页长时间没有响应，已被关闭|http://h/a.asp?x=1|"
            "其他窗格不受影响。可以点击“重试”重新打开此网页。|http://h/a.asp?x=1|重试");

        // The escape from the third dialog in a row; a pause of over 5 s, or
        // another site, starts a new row. A silenced site shows nothing until
        // the client loads a page.
        row("gate", "h1000 h1010 h4020 h4030 h9041 o9051", "..ee..");
        row("gate", "h0 h10 h20! h50 h100000 o100010 r h100030", "..e--..");
        row("gate", "h0+ o10 h20", ".--");
    }
    void rules() {
        QFETCH(QString, rule);
        QFETCH(QString, given);
        QFETCH(QString, expected);
        QCOMPARE(ruleOf.value(rule)(given), expected);
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
};

QTEST_GUILESS_MAIN(TestWebLogic)
#include "test_web_logic.moc"
