#pragma once

// Start-up measurement (tools/bench) and check of an installed copy: with
// ORVANTA_STARTUP_PROBE set, the first time `window` has been painted the
// program prints "shown" and the wall clock in nanoseconds since the epoch,
// then the lines of its report (which files it found), and ends. Without it,
// nothing happens.

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <functional>

namespace startup_probe {

class ShownProbe : public QObject {
public:
    ShownProbe(QWidget* window, std::function<QStringList()> report)
        : QObject(window), report_(std::move(report)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !fired_) {
            fired_ = true;
            // Queued, so the paint is done and on its way to the screen.
            QTimer::singleShot(0, this, [this] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("shown %lld\n",
                            static_cast<long long>(std::chrono::nanoseconds(now).count()));
                if (report_)
                    for (const QString& line : report_())
                        std::printf("%s\n", line.toUtf8().constData());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<QStringList()> report_;
    bool fired_ = false;
};

inline void arm(QWidget* window, std::function<QStringList()> report = {}) {
    if (qEnvironmentVariableIsSet("ORVANTA_STARTUP_PROBE"))
        window->installEventFilter(new ShownProbe(window, std::move(report)));
}

// A report line for one file the program expects: "found" or "missing", then
// the path it looked at.
inline QString fileLine(const QString& path) {
    return (QFileInfo::exists(path) ? QStringLiteral("found ") : QStringLiteral("missing ")) + path;
}

} // namespace startup_probe
