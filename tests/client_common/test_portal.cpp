#include "Portal.h"

#include <QTest>

class TestPortal : public QObject {
    Q_OBJECT
private slots:
    void derivedFormsComeFromOneAddress() {
        portal::setBaseUrl(QStringLiteral("https://www.velantrix.com/"));
        QCOMPARE(portal::rootAddress(), QStringLiteral("https://www.velantrix.com"));
        QCOMPARE(portal::host(), QStringLiteral("www.velantrix.com"));
        QCOMPARE(portal::webmasterAddress(), QStringLiteral("webmaster@velantrix.com"));
        QCOMPARE(portal::page(QStringLiteral("market/CarAdd.asp")),
                 QStringLiteral("https://www.velantrix.com/market/CarAdd.asp"));

        portal::setBaseUrl(QStringLiteral("http://127.0.0.1:8123/"));
        QCOMPARE(portal::host(), QStringLiteral("127.0.0.1"));
        QCOMPARE(portal::webmasterAddress(), QStringLiteral("webmaster@127.0.0.1"));
    }

    void overrideMustBeAnAbsoluteWebAddressEndingInSlash_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("unset") << QString() << false;
        QTest::newRow("http") << "http://127.0.0.1:8080/" << true;
        QTest::newRow("https with path") << "https://staging.velantrix.com/portal/" << true;
        QTest::newRow("no final slash") << "http://127.0.0.1:8080" << false;
        QTest::newRow("ftp") << "ftp://example.com/" << false;
        QTest::newRow("relative") << "market/" << false;
        QTest::newRow("file") << "file:///tmp/" << false;
        QTest::newRow("garbage") << "http://exa mple.com/" << false;
    }
    void overrideMustBeAnAbsoluteWebAddressEndingInSlash() {
        QFETCH(QString, value);
        QFETCH(bool, accepted);
        const QString compiled = QStringLiteral("https://www.velantrix.com/");
        QString rejected;
        const QString chosen = portal::chooseBaseUrl(compiled, value, &rejected);
        QCOMPARE(chosen, accepted ? value : compiled);
        QCOMPARE(rejected.isEmpty(), accepted || value.isEmpty());
    }

    void wireEncodingIsGbkAndLeavesEscapesAlone_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("city") << "http://h/tonghang/allcom.asp?city=北京"
                              << QByteArray("http://h/tonghang/allcom.asp?city=%B1%B1%BE%A9");
        QTest::newRow("pre-encoded")
            << "http://h/tonghang/allcom.asp?type=%B3%B5%C1%BE"
            << QByteArray("http://h/tonghang/allcom.asp?type=%B3%B5%C1%BE");
        QTest::newRow("mixed") << "http://h/a.asp?InfoType=职员&x=1"
                               << QByteArray("http://h/a.asp?InfoType=%D6%B0%D4%B1&x=1");
        QTest::newRow("backslash kept")
            << "http://h/market\\ad.asp" << QByteArray("http://h/market\\ad.asp");
    }
    void wireEncodingIsGbkAndLeavesEscapesAlone() {
        QFETCH(QString, address);
        QFETCH(QByteArray, wire);
        QCOMPARE(portal::wireEncoded(address), wire);
    }
};

QTEST_APPLESS_MAIN(TestPortal)
#include "test_portal.moc"
