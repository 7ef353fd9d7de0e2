// The single-instance rule across real processes: a second copy is refused
// while the first runs, and a copy that crashed does not keep the next one out.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Title = QStringLiteral("Orvanta同行协作办公信息系统");
constexpr int Patience = 60000;
} // namespace

class TestInstanceProcesses : public QObject {
    Q_OBJECT

    QTemporaryDir runtime;

    void start(QProcess& copy) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        copy.setProcessEnvironment(env);
        copy.start(QStringLiteral(INSTANCE_HELPER), {});
        QVERIFY2(copy.waitForStarted(Patience), qPrintable(copy.errorString()));
    }

    // Everything the copy said until it loaded or ended.
    static QString waitForLoaded(QProcess& copy) {
        QString said;
        while (!said.contains(QStringLiteral("loaded")) && copy.state() == QProcess::Running &&
               copy.waitForReadyRead(Patience))
            said += QString::fromUtf8(copy.readAllStandardOutput());
        return said;
    }

private slots:
    void initTestCase() {
        QVERIFY(runtime.isValid());
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void secondCopyIsRefusedAndFirstKeepsRunning() {
        QProcess first;
        start(first);
        QVERIFY(waitForLoaded(first).contains(QStringLiteral("loaded")));

        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(Patience));
        const QString said = QString::fromUtf8(second.readAllStandardOutput());
        QCOMPARE(said, "message " + Title + "已经在运行中！\nended\n");
        QCOMPARE(second.exitCode(), 3);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        QVERIFY(first.waitForFinished(Patience));
    }

    void crashedCopyLeavesAStaleLockThatIsTakenOver() {
        QProcess crashed;
        start(crashed);
        QVERIFY(waitForLoaded(crashed).contains(QStringLiteral("loaded")));
        crashed.kill(); // SIGKILL: no chance to remove its lock
        QVERIFY(crashed.waitForFinished(Patience));
        QVERIFY(QFileInfo::exists(runtime.filePath(QStringLiteral("Orvanta.lock"))));

        QProcess next;
        start(next);
        const QString said = waitForLoaded(next);
        QVERIFY2(said.contains(QStringLiteral("loaded")), qPrintable(said));
        QVERIFY(!said.contains(QStringLiteral("message")));
        next.kill();
        QVERIFY(next.waitForFinished(Patience));
    }
};

QTEST_GUILESS_MAIN(TestInstanceProcesses)
#include "test_instance_processes.moc"
