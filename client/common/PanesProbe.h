#pragma once

// Web-pane measurement (tools/bench/web_panes.sh): with ORVANTA_PANES_PROBE=N
// the program prints "shown NS" once the main window has first been painted
// and "loaded NS" once N web panes have each finished loading a page (wall
// clock, nanoseconds since the epoch), then runs on so that its memory can be
// read. Without it, nothing happens.

#include <QEvent>
#include <QSet>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace panes_probe {

inline int wanted() {
    return qEnvironmentVariableIntValue("ORVANTA_PANES_PROBE");
}

inline void print(const char* what) {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("%s %lld\n", what, static_cast<long long>(std::chrono::nanoseconds(now).count()));
    std::fflush(stdout);
}

class ShownProbe : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Queued, so the paint is done and on its way to the screen.
            QTimer::singleShot(0, this, [] { print("shown"); });
        }
        return QObject::eventFilter(watched, event);
    }
};

inline void armShown(QWidget* window) {
    if (wanted() > 0)
        window->installEventFilter(new ShownProbe(window));
}

// A view type with loadFinished(bool), so that the program need not link the
// web engine to include this.
template <typename View> void watch(View* view) {
    if (wanted() <= 0)
        return;
    static QSet<const void*> finished;
    QObject::connect(view, &View::loadFinished, view, [view](bool ok) {
        if (!ok || finished.contains(view))
            return;
        finished.insert(view);
        if (finished.size() == wanted())
            print("loaded");
    });
}

} // namespace panes_probe
