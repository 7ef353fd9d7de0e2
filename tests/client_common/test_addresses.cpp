// The portal's address and its derived forms, and how a pane reads what it
// is asked to show: web addresses in GBK on the wire, local paths as files.

#include "PaneAddress.h"
#include "Portal.h"

#include <QTest>

class TestAddresses : public QObject {
    Q_OBJECT
private slots:
    void derivedFormsComeFromOneAddress() {
        portal::setBaseUrl(QStringLiteral("http://127.0.0.1:8123/"));
        QCOMPARE(portal::webmasterAddress(), QStringLiteral("webmaster@127.0.0.1"));
    }

    void overrideMustBeAnAbsoluteWebAddressEndingInSlash() {
        const QString compiled = QStringLiteral("https://www.velantrix.com/");
        const std::pair<const char*, bool> cases[] = {
            {"", false},
            {"http://127.0.0.1:8080/", true},
            {"http://127.0.0.1:8080", false},
            {"ftp://example.com/", false},
            {"market/", false},
            {"http://exa mple.com/", false},
        };
        for (const auto& [value, accepted] : cases) {
            QString rejected;
            const QString chosen = portal::chooseBaseUrl(compiled, value, &rejected);
            QCOMPARE(chosen, accepted ? QString::fromUtf8(value) : compiled);
            QCOMPARE(rejected.isEmpty(), accepted || !*value);
        }
    }

    // The same address as the portal receives it, and as a pane loads it.
    void webAddressesAreSentInGbkAsWritten() {
        const struct {
            QString address;
            QByteArray wire, loaded;
        } cases[] = {
            {"http://h/allcom.asp?city=北京", "http://h/allcom.asp?city=%B1%B1%BE%A9", {}},
            {"http://h/allcom.asp?type=%B3%B5%C1%BE", "http://h/allcom.asp?type=%B3%B5%C1%BE", {}},
            {"http://h/a.asp?T=职员&x=1", "http://h/a.asp?T=%D6%B0%D4%B1&x=1", {}},
            {"HTTP://h/m\\ad.asp?p=x\\y", "HTTP://h/m\\ad.asp?p=x\\y", "http://h/m/ad.asp?p=x%5Cy"},
        };
        for (const auto& c : cases) {
            QCOMPARE(portal::wireEncoded(c.address), c.wire);
            QVERIFY(!pane::isLocalPath(c.address));
            QCOMPARE(pane::urlFor(c.address).toEncoded(), c.loaded.isEmpty() ? c.wire : c.loaded);
        }
    }

    void localPathsShowTheFile() {
        const std::pair<const char*, const char*> files[] = {
            {"/opt/orvanta\\velantrix.htm", "/opt/orvanta/velantrix.htm"},
            {"/tmp/北京.htm", "/tmp/北京.htm"},
            {"\\\\server\\share\\velantrix.htm", "//server/share/velantrix.htm"},
            {"C:\\Orvanta\\velantrix.htm", "C:/Orvanta/velantrix.htm"},
        };
        for (const auto& [address, file] : files) {
            QVERIFY2(pane::isLocalPath(address), address);
            QCOMPARE(pane::urlFor(address), QUrl::fromLocalFile(QString::fromUtf8(file)));
        }
        for (const char* notLocal : {"C:", "mailto:webmaster@velantrix.com", ""})
            QVERIFY2(!pane::isLocalPath(notLocal), notLocal);
        QVERIFY(pane::urlFor(QString()).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestAddresses)
#include "test_addresses.moc"
