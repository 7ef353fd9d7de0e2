#include "SingleInstance.h"

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString lockPath() const { return dir.filePath(QStringLiteral("Orvanta.lock")); }

private slots:
    void init() { QFile::remove(lockPath()); }

    void theFirstHolderKeepsTheOthersOut() {
        auto first = std::make_unique<SingleInstance>(lockPath());
        QVERIFY(!first->anotherCopyRunning());
        QVERIFY(!first->anotherCopyRunning()); // asking again does not refuse itself
        SingleInstance second(lockPath());
        QVERIFY(second.anotherCopyRunning());
        first.reset();
        QVERIFY(!second.anotherCopyRunning());
    }

    void aLockLeftByADeadProcessIsTakenOver() {
        QProcess gone;
        gone.start(QStringLiteral("true"), {});
        QVERIFY(gone.waitForFinished(30000));
        const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
        QFile stale(lockPath());
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(deadPid) + "\nOrvanta\n" +
                    QSysInfo::machineHostName().toUtf8() + "\n");
        stale.close();

        SingleInstance next(lockPath());
        QVERIFY(!next.anotherCopyRunning());
        SingleInstance after(lockPath());
        QVERIFY(after.anotherCopyRunning());
    }

    void anUnusableLockNeverKeepsTheProgramFromRunning_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("no runtime folder") << QString();
        QTest::newRow("folder missing") << dir.filePath(QStringLiteral("missing/Orvanta.lock"));
    }
    void anUnusableLockNeverKeepsTheProgramFromRunning() {
        QFETCH(QString, path);
        SingleInstance instance(path);
        QVERIFY(!instance.anotherCopyRunning());
    }

    void theLockLivesInTheRuntimeFolder() {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray previous = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
        const QString path = SingleInstance::lockPathFor(QStringLiteral("Orvanta"));
        qputenv("XDG_RUNTIME_DIR", previous);
        QCOMPARE(path, lockPath());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
