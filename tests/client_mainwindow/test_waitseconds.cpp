#include "WaitSeconds.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <ctime>

class TestWaitSeconds : public QObject {
    Q_OBJECT
private slots:
    // Events go on while it waits; it sleeps rather than spins; nothing to
    // wait for returns at once; the program ending ends the wait (last: it
    // tells every event loop to end).
    void waitsWhileDispatchingEvents() {
        bool queuedRan = false;
        QMetaObject::invokeMethod(
            this, [&] { queuedRan = true; }, Qt::QueuedConnection);
        const std::clock_t cpuBefore = std::clock();
        QElapsedTimer clock;
        clock.start();
        waiting::WaitSeconds(1.0);
        const double cpu = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
        QVERIFY2(clock.elapsed() >= 995 && queuedRan, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(cpu < 0.3 * clock.elapsed() / 1000.0, qPrintable(QString::number(cpu)));
        for (const double nothing : {0.0, -4.0, std::nan("")}) {
            clock.restart();
            waiting::WaitSeconds(nothing);
            QVERIFY(clock.elapsed() < 2000);
        }
        QTimer::singleShot(100, this, [] { QCoreApplication::exit(0); });
        clock.restart();
        waiting::WaitSeconds(30);
        QVERIFY(clock.elapsed() < 20000);
    }
};

QTEST_GUILESS_MAIN(TestWaitSeconds)
#include "test_waitseconds.moc"
