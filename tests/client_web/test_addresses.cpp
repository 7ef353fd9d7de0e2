// The portal's address and its derived forms, and how a pane reads what it
// is asked to show: web addresses in GBK on the wire, local paths as files.
// Also the home folder the program starts with.

#include "HomeFolder.h"
#include "PaneAddress.h"
#include "Portal.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

class TestAddresses : public QObject {
    Q_OBJECT
private slots:
    // Only an absolute web address replaces the portal; anything else stops
    // the start with a message naming it, and never means the production portal.
    void overrideIsAnAbsoluteWebAddressOrNothing() {
        const QString compiled = QStringLiteral("https://www.velantrix.com/");
        const std::pair<const char*, const char*> accepted[] = {
            {"", "https://www.velantrix.com/"},
            {"http://127.0.0.1:8080/", "http://127.0.0.1:8080/"},
            {"http://127.0.0.1:8080", "http://127.0.0.1:8080/"},
            {"https://staging.example.com/portal", "https://staging.example.com/portal/"}};
        for (const auto& [value, expected] : accepted) {
            QString rejected;
            QCOMPARE(portal::chooseBaseUrl(compiled, value, &rejected), QString(expected));
            QVERIFY2(rejected.isEmpty(), value);
        }
        for (const char* value :
             {"ftp://example.com/", "market/", "127.0.0.1:8080", "http:///nohost/",
              "http://exa mple.com/", "http://h/?page=1", "http://h/#top", " "}) {
            QString rejected;
            QCOMPARE(portal::chooseBaseUrl(compiled, value, &rejected), QString());
            QVERIFY2(rejected.contains(QStringLiteral("ORVANTA_PORTAL_URL")) &&
                         rejected.contains(QStringLiteral("“%1”").arg(value)) &&
                         rejected.contains(QStringLiteral("无法启动")),
                     value);
        }
    }

    void environmentOverrideIsReadOnceAndRejectionsStopTheStart() {
        const QByteArray saved = qgetenv("ORVANTA_PORTAL_URL");
        portal::setBaseUrl(QStringLiteral("http://before/"));
        QString problem;
        qputenv("ORVANTA_PORTAL_URL", "http://127.0.0.1:9/");
        QVERIFY(portal::initFromEnvironment(&problem));
        QCOMPARE(portal::baseUrl(), QStringLiteral("http://127.0.0.1:9/"));
        QCOMPARE(portal::webmasterAddress(), QStringLiteral("webmaster@127.0.0.1")); // derived
        qputenv("ORVANTA_PORTAL_URL", "localhost:9");
        QVERIFY(!portal::initFromEnvironment(&problem));
        QVERIFY(problem.contains(QStringLiteral("“localhost:9”")));
        QCOMPARE(portal::baseUrl(), QStringLiteral("http://127.0.0.1:9/"));
        qputenv("ORVANTA_PORTAL_URL", "");
        QVERIFY(portal::initFromEnvironment(&problem));
        QCOMPARE(portal::baseUrl(), QStringLiteral(PORTAL_BASE_URL));
        qputenv("ORVANTA_PORTAL_URL", saved);
    }

    // Without a usable HOME the account's home from the user database is
    // used (read here through getent), and never "/" or a relative folder.
    void missingHomeIsTheAccountsHome() {
        const QByteArray saved = qgetenv("HOME");
        QProcess getent;
        getent.start(QStringLiteral("getent"),
                     {QStringLiteral("passwd"), QString::number(::getuid())});
        QVERIFY(getent.waitForFinished(10000));
        QString account = QString::fromLocal8Bit(getent.readAllStandardOutput()).section(':', 5, 5);
        if (account == QLatin1String("/") || !QFileInfo(account).isDir())
            account = QDir::tempPath() + QStringLiteral("/orvanta-home-%1").arg(::getuid());

        QTemporaryDir elsewhere;
        for (const char* home :
             {(const char*)nullptr, "", "/", ".", "relative", "/nonexistent/home"}) {
            home ? qputenv("HOME", home) : qunsetenv("HOME");
            QCOMPARE(homefolder::ensure(), account);
            QCOMPARE(qEnvironmentVariable("HOME"), account);
            QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                        .startsWith(account + QLatin1Char('/')));
        }
        qputenv("HOME", QFile::encodeName(elsewhere.path()));
        QCOMPARE(homefolder::ensure(), elsewhere.path()); // a usable HOME is kept
        qputenv("HOME", saved);
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
