#pragma once

// Start-up measurement (tools/bench): with ORVANTA_STARTUP_PROBE set, the
// first time `window` has been painted the program prints the wall clock in
// nanoseconds since the epoch and ends. Without it, nothing happens.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace startup_probe {

class ShownProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !fired_) {
            fired_ = true;
            // Queued, so the paint is done and on its way to the screen.
            QTimer::singleShot(0, this, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("shown %lld\n",
                            static_cast<long long>(std::chrono::nanoseconds(now).count()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool fired_ = false;
};

inline void arm(QWidget* window) {
    if (qEnvironmentVariableIsSet("ORVANTA_STARTUP_PROBE"))
        window->installEventFilter(new ShownProbe(window));
}

} // namespace startup_probe
