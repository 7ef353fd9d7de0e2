// How a site is named to the user: lookalike hosts in ASCII, captions that a
// page's title cannot take over.

#include "SiteName.h"

#include <QTest>

class TestSiteNames : public QObject {
    Q_OBJECT
private slots:
    void hostsThatCouldPassForOthersStayInAscii_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* tag, const char* url, const QString& shown) {
            QTest::newRow(tag) << QString::fromUtf8(url) << shown;
        };
        row("plain", "http://portal.example.com/a", "portal.example.com");
        row("address and port", "http://127.0.0.1:8080/", "127.0.0.1:8080");
        row("cyrillic a in latin", "http://xn--pple-43d.org/", "xn--pple-43d.org");
        row("same, typed in unicode", "http://\u0430pple.org/", "xn--pple-43d.org");
        row("all cyrillic lookalikes", "http://xn--80ak6aa92e.com/", "xn--80ak6aa92e.com");
        row("russian", "http://xn--e1afmkfd.xn--p1ai/", QStringLiteral("пример.рф"));
        row("japanese", "http://xn--wgv71a119e.jp/", QStringLiteral("日本語.jp"));
        row("chinese off the whitelist", "http://xn--fsqu00a.xn--0zwm56d/",
            QStringLiteral("例子.测试"));
        row("german", "http://xn--mnchen-3ya.de/", QStringLiteral("münchen.de"));
        row("greek omicron in latin", "http://g\u03BF\u03BFgle.com/", "xn--ggle-0nda.com");
        row("no host", "about:blank", QString());
    }
    void hostsThatCouldPassForOthersStayInAscii() {
        QFETCH(QString, url);
        QFETCH(QString, shown);
        QCOMPARE(sitename::of(QUrl(url)), shown);
    }

    void addressesShowTheSameHost() {
        QCOMPARE(sitename::address(QUrl(QStringLiteral("http://xn--pple-43d.org/login?a=1"))),
                 QStringLiteral("http://xn--pple-43d.org/login?a=1"));
        QCOMPARE(sitename::address(QUrl(QStringLiteral("http://xn--e1afmkfd.xn--p1ai/%E5%9B%BE"))),
                 QStringLiteral("http://пример.рф/图"));
    }

    void captionsNameTheSiteBeforeACleanedTitle_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("caption");
        const QString site = QStringLiteral("xn--pple-43d.org - ");
        QTest::newRow("plain") << QStringLiteral("登录") << site + QStringLiteral("登录");
        QTest::newRow("empty") << QString() << QStringLiteral("xn--pple-43d.org");
        QTest::newRow("direction marks")
            << QStringLiteral("\u202Egnp.exe\u200B\u2066a") << site + QStringLiteral("gnp.exea");
        QTest::newRow("line breaks and tabs")
            << QStringLiteral(" a\n\n\tb\u2028c ") << site + QStringLiteral("a b c");
        QTest::newRow("long") << QString(4096, QChar(0x6587))
                              << site + QString(79, QChar(0x6587)) + QChar(0x2026);
    }
    void captionsNameTheSiteBeforeACleanedTitle() {
        QFETCH(QString, title);
        QFETCH(QString, caption);
        QCOMPARE(sitename::caption(QUrl(QStringLiteral("http://xn--pple-43d.org/x")), title),
                 caption);
    }
};

QTEST_APPLESS_MAIN(TestSiteNames)
#include "test_site_names.moc"
