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
    // Events go on while it waits, and it sleeps rather than spins.
    void waitsTheTimeWhileDispatchingEvents() {
        bool queuedRan = false;
        QMetaObject::invokeMethod(
            this, [&] { queuedRan = true; }, Qt::QueuedConnection);
        const std::clock_t cpuBefore = std::clock();
        QElapsedTimer clock;
        clock.start();
        Module1::WaitSeconds(1.0);
        const double cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        QVERIFY2(clock.elapsed() >= 995, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(queuedRan);
        QVERIFY2(cpu < 0.3 * clock.elapsed() / 1000.0, qPrintable(QString::number(cpu)));
        for (const double nothing : {0.0, -4.0, std::nan("")}) {
            clock.restart();
            Module1::WaitSeconds(nothing);
            QVERIFY(clock.elapsed() < 2000);
        }
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
