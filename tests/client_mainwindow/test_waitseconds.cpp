#include "WaitSeconds.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <ctime>

class TestWaitSeconds : public QObject {
    Q_OBJECT

private slots:
    void waitsTheTimeWhileDispatchingEvents() {
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(50);
        bool queuedRan = false;
        QMetaObject::invokeMethod(
            this, [&] { queuedRan = true; }, Qt::QueuedConnection);

        QElapsedTimer clock;
        clock.start();
        Module1::WaitSeconds(0.6);
        QVERIFY2(clock.elapsed() >= 595, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(queuedRan);
        QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
    }

    void sleepsRatherThanSpinning() {
        const std::clock_t cpuBefore = std::clock();
        QElapsedTimer clock;
        clock.start();
        Module1::WaitSeconds(1.0);
        const double wall = clock.elapsed() / 1000.0;
        const double cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        QVERIFY2(cpu < 0.3 * wall,
                 qPrintable(QStringLiteral("cpu %1 s in %2 s").arg(cpu).arg(wall)));
    }

    void nothingToWaitForReturnsAtOnce_data() {
        QTest::addColumn<double>("seconds");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("negative") << -4.0;
        QTest::newRow("not a number") << std::nan("");
    }
    void nothingToWaitForReturnsAtOnce() {
        QFETCH(double, seconds);
        QElapsedTimer clock;
        clock.start();
        Module1::WaitSeconds(seconds);
        QVERIFY(clock.elapsed() < 2000);
    }

    // Last: it tells every event loop to end.
    void endsEarlyWhenTheProgramIsAskedToEnd() {
        QTimer::singleShot(100, qApp, [] { QCoreApplication::exit(0); });
        QElapsedTimer clock;
        clock.start();
        Module1::WaitSeconds(30);
        QVERIFY(clock.elapsed() < 20000);
    }
};

QTEST_GUILESS_MAIN(TestWaitSeconds)
#include "test_waitseconds.moc"
