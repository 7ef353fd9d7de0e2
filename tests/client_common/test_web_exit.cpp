#include "WebTestSupport.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int Patience = 120000; // ms; two Chromium starts on a loaded machine

struct Run {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString out;
    QString err;
};

Run runProbe(const QString& dataHome, const QString& address, const QString& mode) {
    QProcess probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    probe.setProcessEnvironment(env);
    probe.start(QStringLiteral(WEB_EXIT_PROBE), {address, mode});
    if (!probe.waitForFinished(Patience))
        probe.kill();
    probe.waitForFinished(Patience);
    return {probe.exitCode(), probe.exitStatus(), QString::fromUtf8(probe.readAllStandardOutput()),
            QString::fromUtf8(probe.readAllStandardError())};
}

} // namespace

// The client's real ending, in a process of its own: panes on the stack,
// separate windows still open, seams::endProgram.
class TestWebExit : public QObject {
    Q_OBJECT
private slots:
    void endsCleanlyAndKeepsTheLoginForTheNextStart() {
        webtest::DemoPortalProcess portal;
        QVERIFY(portal.start());
        QTemporaryDir dataHome;

        const Run first = runProbe(dataHome.path(), portal.address(), QStringLiteral("write"));
        QVERIFY2(first.out.contains(QStringLiteral("windows: 2")),
                 qPrintable(first.out + first.err));
        QCOMPARE(first.status, QProcess::NormalExit);
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(!first.err.contains(QStringLiteral("Release of profile")), qPrintable(first.err));
        const QString cookies =
            QStringLiteral("orvanta-web-exit-probe/QtWebEngine/Orvanta/Cookies");
        QVERIFY(QFileInfo::exists(dataHome.filePath(cookies)));

        const Run second = runProbe(dataHome.path(), portal.address(), QStringLiteral("read"));
        QCOMPARE(second.status, QProcess::NormalExit);
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(second.out.contains(QStringLiteral("cookie: session=kept")),
                 qPrintable(second.out + second.err));
        QVERIFY2(!second.err.contains(QStringLiteral("Release of profile")),
                 qPrintable(second.err));
    }
};

QTEST_GUILESS_MAIN(TestWebExit)
#include "test_web_exit.moc"
