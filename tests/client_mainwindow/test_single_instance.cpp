// One running copy per user. The lock is an open, locked file: a second
// holder in this process stands in for a second copy, as both see the lock
// through their own open file.

#include "SingleInstance.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    // A lock file no running copy holds never keeps the program out,
    // whatever it says; the copy that takes it over then holds it for real.
    void abandonedLockIsTakenOverAndThenHeld_data() {
        QTest::addColumn<std::optional<QByteArray>>("contents");
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        QTest::newRow("no lock") << std::optional<QByteArray>();
        QTest::newRow("empty") << std::optional<QByteArray>(QByteArray());
        QTest::newRow("garbled") << std::optional<QByteArray>(
            QByteArray("\x00\xff\xfe lock?\n", 10));
        QTest::newRow("another host's")
            << std::optional<QByteArray>("4242\nOrvanta\nanother-host.example\n");
        QTest::newRow("a killed copy's")
            << std::optional<QByteArray>("2147483646\nOrvanta\n" + host + '\n');
        QTest::newRow("a live process that is no copy") << std::optional<QByteArray>(
            QByteArray::number(QCoreApplication::applicationPid()) + "\nOrvanta\n" + host + '\n');
    }
    void abandonedLockIsTakenOverAndThenHeld() {
        QFETCH(std::optional<QByteArray>, contents);
        QTemporaryDir runtime;
        const QString lock = runtime.filePath("Orvanta.lock");
        if (contents) {
            QFile file(lock);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(*contents), contents->size());
        }
        {
            SingleInstance first(lock);
            QVERIFY(!first.anotherCopyRunning());
            QVERIFY(!first.anotherCopyRunning()); // asking again keeps it
            SingleInstance second(lock);
            QVERIFY(second.anotherCopyRunning());
        }
        SingleInstance after(lock); // the holder ended
        QVERIFY(!after.anotherCopyRunning());
    }

    void withoutARuntimeFolderTheProgramRuns() {
        SingleInstance none{QString()};
        QVERIFY(!none.anotherCopyRunning());
        QVERIFY(SingleInstance::lockPathFor("Orvanta").endsWith("/Orvanta.lock"));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
