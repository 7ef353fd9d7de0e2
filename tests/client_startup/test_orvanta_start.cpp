// The Orvanta program itself, up to its splash window being shown (its
// start-up probe ends it there, before any web pane exists).

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestOrvantaStart : public QObject {
    Q_OBJECT

private slots:
    void startsInTheSplashAndWritesTheShortcuts_data() {
        QTest::addColumn<QString>("portalOverride");
        QTest::addColumn<QString>("shortcutUrl");
        QTest::addColumn<int>("complaints");
        QTest::newRow("demo portal") << "http://127.0.0.1:9/"
                                     << "http://127.0.0.1:9" << 0;
        QTest::newRow("unset") << "" << QString::fromUtf8(COMPILED_PORTAL).chopped(1) << 0;
        QTest::newRow("not a web address")
            << "ftp://127.0.0.1/" << QString::fromUtf8(COMPILED_PORTAL).chopped(1) << 1;
    }
    void startsInTheSplashAndWritesTheShortcuts() {
        QFETCH(QString, portalOverride);
        QFETCH(QString, shortcutUrl);
        QFETCH(int, complaints);
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("Desktop")));
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("run")));
        QFile::setPermissions(home.filePath(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral(".local/share")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ORVANTA_STARTUP_PROBE"), QStringLiteral("1"));
        env.remove(QStringLiteral("ORVANTA_PORTAL_URL"));
        if (!portalOverride.isEmpty())
            env.insert(QStringLiteral("ORVANTA_PORTAL_URL"), portalOverride);

        QProcess orvanta;
        orvanta.setProcessEnvironment(env);
        orvanta.start(QStringLiteral(ORVANTA_PROGRAM), {});
        QVERIFY(orvanta.waitForFinished(60000));
        QCOMPARE(orvanta.exitStatus(), QProcess::NormalExit);
        QCOMPARE(orvanta.exitCode(), 0);
        QVERIFY(orvanta.readAllStandardOutput().startsWith("shown "));
        const QString errors = QString::fromLocal8Bit(orvanta.readAllStandardError());
        QCOMPARE(errors.count(QStringLiteral("ORVANTA_PORTAL_URL ignored")), complaints);

        QFile link(home.filePath(QStringLiteral("Desktop/Velantrix在线同行协作.desktop")));
        QVERIFY(link.open(QIODevice::ReadOnly));
        QVERIFY(link.readAll().contains("\nURL=" + shortcutUrl.toUtf8() + "\n"));
        QVERIFY(QFile::exists(home.filePath(QStringLiteral("Desktop/Orvanta.desktop"))));
        const QDir applications(home.filePath(QStringLiteral(".local/share/applications")));
        QCOMPARE(applications.entryList(QDir::Files).size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestOrvantaStart)
#include "test_orvanta_start.moc"
