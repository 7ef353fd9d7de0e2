#include "WaitSeconds.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace waiting {

void WaitSeconds(double seconds) {
    if (!(seconds > 0)) {
        QCoreApplication::processEvents();
        return;
    }
    constexpr double longest = 24 * 60 * 60; // keeps the interval within a timer's range
    const int ms = static_cast<int>(std::min(seconds, longest) * 1000);
    QEventLoop loop;
    // Precise: a coarse timer may fire up to 5 % early.
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace waiting
