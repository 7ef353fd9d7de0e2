// The shortcut module over a recording backend, and the desktop-entry backend
// writing into a temporary home, checked with desktop-file-validate.

#include "Module2.h"
#include "RecordingLinks.h"
#include "ShellLink.h"
#include "Shortcuts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString valueOf(const QString& entry, const QString& key) {
    for (const QString& line : entry.split(QLatin1Char('\n')))
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    return {};
}

// Reads an Exec value back the way a desktop reads it: first the string
// escapes, then the quoting of one argument.
QString execTarget(const QString& value) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar c = value[++i];
            unescaped += c == QLatin1Char('n')   ? QChar(QLatin1Char('\n'))
                         : c == QLatin1Char('t') ? QChar(QLatin1Char('\t'))
                                                 : c;
        } else {
            unescaped += value[i];
        }
    }
    QString arg;
    const bool quoted = unescaped.startsWith(QLatin1Char('"'));
    const QString body = quoted ? unescaped.mid(1, unescaped.size() - 2) : unescaped;
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (quoted && body[i] == QLatin1Char('\\') && i + 1 < body.size())
            arg += body[++i];
        else if (body[i] == QLatin1Char('%') && i + 1 < body.size() && body[i + 1] == '%')
            arg += body[i++];
        else
            arg += body[i];
    }
    return arg;
}

QString validate(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("desktop-file-validate"), {path});
    if (!p.waitForFinished(30000))
        return QStringLiteral("desktop-file-validate did not run: ") + p.errorString();
    const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode() == 0 && out.trimmed().isEmpty() ? QString() : out;
}

} // namespace

class TestShortcuts : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;
    QString desktop;
    QString applications;

    // A fresh home whose desktop folder, named in user-dirs.dirs, has
    // characters that need quoting.
    void makeHome(bool withDesktop = true) {
        home = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/home with space-XXXXXX");
        QVERIFY(home->isValid());
        const QString config = home->filePath(QStringLiteral(".config"));
        desktop = home->filePath(QStringLiteral("桌面 $desk"));
        applications = home->filePath(QStringLiteral(".local/share/applications"));
        QVERIFY(QDir().mkpath(config));
        QFile dirs(config + QStringLiteral("/user-dirs.dirs"));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DESKTOP_DIR=\"$HOME/桌面 $desk\"\n");
        dirs.close();
        if (withDesktop)
            QVERIFY(QDir().mkpath(desktop));
        qputenv("HOME", home->path().toUtf8());
        qputenv("XDG_CONFIG_HOME", config.toUtf8());
        qputenv("XDG_DATA_HOME", home->filePath(QStringLiteral(".local/share")).toUtf8());
    }

private slots:
    void stripQuotes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stripped");
        QTest::newRow("plain") << "Orvanta"
                               << "Orvanta";
        QTest::newRow("blanks trimmed") << "  Orvanta游戏 "
                                        << "Orvanta游戏";
        QTest::newRow("quoted") << "\"C:\\Orvanta\\Orvanta.exe\""
                                << "C:\\Orvanta\\Orvanta.exe";
        QTest::newRow("quoted, blanks outside") << "  \"a b\"  "
                                                << "a b";
        QTest::newRow("blanks inside quotes kept") << "\" a b \""
                                                   << " a b ";
        QTest::newRow("only an opening quote") << "\"abc"
                                               << "\"abc";
        QTest::newRow("only a closing quote") << "abc\""
                                              << "abc\"";
        QTest::newRow("one pair only") << "\"\"abc\"\""
                                       << "\"abc\"";
        QTest::newRow("empty quotes") << "\"\""
                                      << "";
        QTest::newRow("a lone quote") << "\""
                                      << "\"";
        QTest::newRow("tabs are not blanks") << "\tx\t"
                                             << "\tx\t";
        QTest::newRow("ideographic space kept") << "酒店空房信息　"
                                                << "酒店空房信息　";
    }
    void stripQuotes() {
        QFETCH(QString, text);
        QFETCH(QString, stripped);
        QCOMPARE(Module2::StripQuotes(text), stripped);
    }

    void makeShellLinkHandsOverInTheLibrarysOrder() {
        RecordingLinks links;
        links.tokenAfter = "changed";
        QString token = QStringLiteral("$(Programs)");
        const auto outcome = Module2::MakeShellLink(
            links, QStringLiteral(" \"/opt/o/Orvanta\" "), QStringLiteral(".."), QString(),
            QStringLiteral("\"Orvanta从业工具箱\""), true, token);
        QVERIFY(outcome.ok);
        QCOMPARE(links.links.size(), 1);
        const LinkCall& call = links.links[0];
        QCOMPARE(call.folder, QStringLiteral(".."));
        QCOMPARE(call.caption, QStringLiteral("Orvanta从业工具箱"));
        QCOMPARE(call.target, QStringLiteral("/opt/o/Orvanta"));
        QVERIFY(call.arguments.isEmpty());
        QVERIFY(call.perUser);
        QCOMPARE(call.token, QStringLiteral("$(Programs)"));
        QCOMPARE(token, QStringLiteral("changed"));
    }

    void createLinksMakesTheFourRowsInOrder() {
        RecordingLinks links;
        QCOMPARE(shortcuts::createLinks(links, QStringLiteral("/opt/orvanta")), std::nullopt);
        const QList<LinkCall> expected = {
            {"..\\..\\Desktop", "Orvanta", "/opt/orvanta/Orvanta", "", true, "$(Programs)"},
            {"..", "Orvanta从业工具箱", "/opt/orvanta/Orvanta", "", true, "$(Programs)"},
            {".", "Orvanta同行协作网络办公信息系统", "/opt/orvanta/Orvanta", "", true,
             "$(Programs)"},
            {".", "Brickvane游戏", "/opt/orvanta/game", "", true, "$(Programs)"},
        };
        QCOMPARE(links.links, expected);
    }

    void theSeparatorIsAlwaysInserted() {
        QCOMPARE(shortcuts::programPath(QStringLiteral("/"), "game"), QStringLiteral("//game"));
    }

    void createLinksStopsAtTheFirstFailure_data() {
        QTest::addColumn<int>("failingRow");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("reported");
        QTest::newRow("first") << 0 << "拒绝访问。"
                               << "拒绝访问。";
        QTest::newRow("third") << 2 << "磁盘已满"
                               << "磁盘已满";
        QTest::newRow("last, no words of its own") << 3 << ""
                                                   << "无法创建快捷方式“Brickvane游戏”";
    }
    void createLinksStopsAtTheFirstFailure() {
        QFETCH(int, failingRow);
        QFETCH(QString, description);
        QFETCH(QString, reported);
        RecordingLinks links;
        links.failAt = failingRow;
        links.failure = description.toStdString();
        QCOMPARE(shortcuts::createLinks(links, QStringLiteral("/opt/orvanta")),
                 std::optional<QString>(reported));
        QCOMPARE(links.links.size(), failingRow + 1);
    }

    void desktopEntriesLandInTheirFoldersAndValidate() {
        makeHome();
        const auto links = shelllink::makePlatformShellLinks();
        const QString programs = home->filePath(QStringLiteral("my apps/$HOME \"x\" 100%"));
        QCOMPARE(shortcuts::createLinks(*links, programs), std::nullopt);

        const struct {
            QString path;
            QString name;
            QString exec;
            bool executable;
        } expected[] = {
            {desktop + "/Orvanta.desktop", "Orvanta", programs + "/Orvanta", true},
            {applications + "/Orvanta从业工具箱.desktop", "Orvanta从业工具箱",
             programs + "/Orvanta", false},
            {applications + "/Orvanta同行协作网络办公信息系统.desktop",
             "Orvanta同行协作网络办公信息系统", programs + "/Orvanta", false},
            {applications + "/Brickvane游戏.desktop", "Brickvane游戏", programs + "/game", false},
        };
        for (const auto& e : expected) {
            const QString entry = read(e.path);
            QVERIFY2(!entry.isEmpty(), qPrintable(e.path));
            QCOMPARE(validate(e.path), QString());
            QCOMPARE(valueOf(entry, "Type"), QStringLiteral("Application"));
            QCOMPARE(valueOf(entry, "Name"), e.name);
            QCOMPARE(execTarget(valueOf(entry, "Exec")), e.exec);
            QCOMPARE(bool(QFile::permissions(e.path) & QFile::ExeOwner), e.executable);
        }
    }

    void theInternetShortcutIsALinkRewrittenOnEveryStart() {
        makeHome();
        const auto links = shelllink::makePlatformShellLinks();
        const QString path = desktop + "/Velantrix在线同行协作.desktop";
        QVERIFY(shortcuts::writeInternetShortcut(*links, QStringLiteral("http://old.example")));
        QVERIFY(
            shortcuts::writeInternetShortcut(*links, QStringLiteral("https://www.velantrix.com")));
        const QString entry = read(path);
        QCOMPARE(validate(path), QString());
        QCOMPARE(valueOf(entry, "Type"), QStringLiteral("Link"));
        QCOMPARE(valueOf(entry, "Name"), QStringLiteral("Velantrix在线同行协作"));
        QCOMPARE(valueOf(entry, "URL"), QStringLiteral("https://www.velantrix.com"));
        QCOMPARE(QDir(desktop).entryList(QDir::Files).size(), 1);
    }

    void withoutADesktopFolderItsShortcutsAreSkippedSilently() {
        makeHome(false);
        const auto links = shelllink::makePlatformShellLinks();
        QVERIFY(!shortcuts::writeInternetShortcut(*links, QStringLiteral("https://x.example")));
        QCOMPARE(shortcuts::createLinks(*links, QStringLiteral("/opt/orvanta")), std::nullopt);
        QVERIFY(!QFileInfo::exists(desktop));
        QCOMPARE(QDir(applications).entryList(QDir::Files).size(), 3);
    }

    void aDesktopThatIsTheHomeFolderCountsAsNone() {
        makeHome(false);
        QFile dirs(QString::fromUtf8(qgetenv("XDG_CONFIG_HOME")) + "/user-dirs.dirs");
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DESKTOP_DIR=\"$HOME/\"\n");
        dirs.close();
        const auto links = shelllink::makePlatformShellLinks();
        QVERIFY(!shortcuts::writeInternetShortcut(*links, QStringLiteral("https://x.example")));
        QVERIFY(QDir(home->path()).entryList({QStringLiteral("*.desktop")}, QDir::Files).isEmpty());
    }

    void aLinkThatCannotBeWrittenIsReportedAndStopsTheRest() {
        makeHome();
        // A file where the applications folder should be: even root cannot
        // write into it.
        QVERIFY(QDir().mkpath(home->filePath(QStringLiteral(".local/share"))));
        QFile blocker(applications);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const auto links = shelllink::makePlatformShellLinks();
        const auto failure = shortcuts::createLinks(*links, QStringLiteral("/opt/orvanta"));
        QVERIFY(failure.has_value());
        QVERIFY2(failure->contains(applications), qPrintable(*failure));
        QVERIFY(QFileInfo::exists(desktop + "/Orvanta.desktop"));
    }
};

QTEST_GUILESS_MAIN(TestShortcuts)
#include "test_shortcuts.moc"
