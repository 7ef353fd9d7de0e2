#include "PaneAddress.h"

#include <QTest>

class TestPaneAddress : public QObject {
    Q_OBJECT
private slots:
    void webAddressesAreHandedOverAsWritten_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("url");
        QTest::newRow("city in gbk")
            << "http://127.0.0.1:8080/tonghang/allcom.asp?city=北京"
            << QByteArray("http://127.0.0.1:8080/tonghang/allcom.asp?city=%B1%B1%BE%A9");
        QTest::newRow("pre-encoded untouched")
            << "https://www.velantrix.com/tonghang/allcom.asp?type=%B3%B5%C1%BE"
            << QByteArray("https://www.velantrix.com/tonghang/allcom.asp?type=%B3%B5%C1%BE");
        QTest::newRow("backslash in path reads as slash")
            << "https://www.velantrix.com/market\\ad.asp"
            << QByteArray("https://www.velantrix.com/market/ad.asp");
        QTest::newRow("upper-case scheme") << "HTTP://h/a\\b.asp" << QByteArray("http://h/a/b.asp");
        QTest::newRow("backslash in query kept")
            << "http://h/a.asp?p=x\\y" << QByteArray("http://h/a.asp?p=x%5Cy");
        QTest::newRow("root") << "https://www.velantrix.com/"
                              << QByteArray("https://www.velantrix.com/");
    }
    void webAddressesAreHandedOverAsWritten() {
        QFETCH(QString, address);
        QFETCH(QByteArray, url);
        QVERIFY(!pane::isLocalPath(address));
        QCOMPARE(pane::urlFor(address).toEncoded(), url);
    }

    void localPathsShowTheFile_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("file");
        QTest::newRow("absolute") << "/opt/orvanta/velantrix.htm"
                                  << "/opt/orvanta/velantrix.htm";
        QTest::newRow("folder then backslash") << "/opt/orvanta\\velantrix.htm"
                                               << "/opt/orvanta/velantrix.htm";
        QTest::newRow("chinese name") << "/tmp/北京.htm"
                                      << "/tmp/北京.htm";
        QTest::newRow("unc") << "\\\\server\\share\\velantrix.htm"
                             << "//server/share/velantrix.htm";
    }
    void localPathsShowTheFile() {
        QFETCH(QString, address);
        QFETCH(QString, file);
        QVERIFY(pane::isLocalPath(address));
        const QUrl url = pane::urlFor(address);
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), file);
    }

    void driveLettersAreLocalPaths_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("local");
        QTest::newRow("backslash") << "C:\\Orvanta\\velantrix.htm" << true;
        QTest::newRow("slash") << "d:/velantrix.htm" << true;
        QTest::newRow("drive alone") << "C:" << false;
        QTest::newRow("scheme") << "mailto:webmaster@velantrix.com" << false;
        QTest::newRow("web") << "http://h/" << false;
        QTest::newRow("empty") << QString() << false;
    }
    void driveLettersAreLocalPaths() {
        QFETCH(QString, address);
        QFETCH(bool, local);
        QCOMPARE(pane::isLocalPath(address), local);
    }

    void emptyAddressGivesNothingToLoad() { QVERIFY(pane::urlFor(QString()).isEmpty()); }
};

QTEST_APPLESS_MAIN(TestPaneAddress)
#include "test_pane_address.moc"
