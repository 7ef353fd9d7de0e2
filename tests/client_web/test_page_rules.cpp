// What a page may ask for without the web engine: download names, which
// links are followed, and when a run of dialogs may be silenced.

#include "PageRules.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using pagerules::DialogGate;
using pagerules::LinkAction;

class TestPageRules : public QObject {
    Q_OBJECT
private slots:
    void suggestedDownloadNamesBecomePlainFileNames_data() {
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* tag, const QString& in, const QString& out) {
            QTest::newRow(tag) << in << out;
        };
        row("plain", "报表.xls", "报表.xls");
        row("autostart", "../.config/autostart/x.desktop", "x.desktop");
        row("climbs twice", "../../name", "name");
        row("backslashes", "..\\..\\Windows\\win.ini", "win.ini");
        row("absolute", "/etc/passwd", "passwd");
        row("hidden", ".bashrc", "bashrc");
        row("only dots", "..", "下载文件");
        row("trailing slash", "folder/", "下载文件");
        row("empty", QString(), "下载文件");
        row("blanks", "   ", "下载文件");
        row("control characters", "a\nb\tc\x01.txt", "abc.txt");
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
    void suggestedDownloadNamesBecomePlainFileNames() {
        QFETCH(QString, suggested);
        QFETCH(QString, expected);
        QCOMPARE(pagerules::safeFileName(suggested), expected);
    }

    void everySafeNameCanBeCreatedInsideItsFolder() {
        QTemporaryDir folder;
        const QString names[] = {QStringLiteral("../escape"), QString(300, QChar(0x4E2D)),
                                 QStringLiteral("a/b/../../c"), QStringLiteral("\\\\host\\share")};
        for (const QString& name : names) {
            const QString safe = pagerules::safeFileName(name);
            QFile file(QDir(folder.path()).filePath(safe));
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(safe));
            QCOMPARE(QFileInfo(file).absolutePath(), QDir(folder.path()).absolutePath());
        }
    }

    // The download folder is made in the home, never the working directory;
    // without HOME the account's home is found all the same.
    void downloadFolderIsMadeInTheHomeThatIsAlwaysFound() {
        QTemporaryDir home;
        const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
        const QString folder = pagerules::downloadFolder();
        qunsetenv("HOME");
        const QString account = pagerules::accountHome();
        qputenv("HOME", savedHome);
        qputenv("XDG_CONFIG_HOME", savedXdg);
        QCOMPARE(folder, home.filePath(QStringLiteral("Downloads")));
        QVERIFY(QDir(folder).exists());
        QVERIFY(QDir::isAbsolutePath(account));
        QVERIFY(QDir(account) != QDir::root());
    }

    void onlyWebAddressesAreFollowed() {
        const struct {
            const char* url;
            bool clicked;
            LinkAction action;
        } cases[] = {
            {"http://127.0.0.1/a.asp", false, LinkAction::Follow},
            {"HTTPS://example.com/", false, LinkAction::Follow},
            {"mailto:agent@example.com", true, LinkAction::Mail},
            {"mailto:agent@example.com", false, LinkAction::Refuse},
            {"foo://bar", true, LinkAction::Refuse},
            {"foo://bar", false, LinkAction::Refuse},
            {"ms-settings:", true, LinkAction::Refuse},
            {"tel:+861012345678", true, LinkAction::Refuse},
            {"smb://host/share", true, LinkAction::Refuse},
            {"ftp://example.com/file", true, LinkAction::Refuse},
            {"javascript:alert(1)", true, LinkAction::Refuse},
            {"about:blank", false, LinkAction::Follow},
            {"file:///opt/orvanta/velantrix.htm", false, LinkAction::Follow},
            {"data:text/html,x", false, LinkAction::Follow},
        };
        for (const auto& c : cases)
            QVERIFY2(pagerules::actionFor(QUrl(QString::fromLatin1(c.url)), c.clicked) == c.action,
                     c.url);
    }

    void escapeIsOfferedFromTheThirdDialogInARowAndSilencesTheSite() {
        const QString site = QStringLiteral("http://hostile.example");
        const QString other = QStringLiteral("http://127.0.0.1:8080");
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
        QVERIFY(again.show);
        QVERIFY(!again.offerEscape);
    }
};

QTEST_APPLESS_MAIN(TestPageRules)
#include "test_page_rules.moc"
