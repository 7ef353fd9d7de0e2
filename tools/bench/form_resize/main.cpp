// Times the main window's layout routine with its five live web panes, at the
// sizes a user passes through while dragging the window's edge.
//
// "Form_Resize" is the routine alone: the client area is given its new size
// and the routine lays the frames and panes out. "whole resize" is the window
// being resized, Qt's own layout of menu bar and client area included.
#include "MainWindow.h"
#include "Portal.h"
#include "Twips.h"
#include "WebEnginePane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Stats {
    std::vector<double> micros;
    void add(const QElapsedTimer& t) { micros.push_back(double(t.nsecsElapsed()) / 1000.0); }
    double at(double p) const {
        std::vector<double> v = micros;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
    }
    void print(const char* what) const {
        std::printf("%-12s %zu passes: median %7.1f us, 90%% %7.1f us, max %8.1f us\n", what,
                    micros.size(), at(0.5), at(0.9),
                    *std::max_element(micros.begin(), micros.end()));
    }
};

// A drag of one pixel at a time outwards and back, both edges at once.
QSize dragStep(QSize start, int i) {
    const int step = i % 200 < 100 ? i % 100 : 100 - i % 100;
    return start + QSize(step, step / 2);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int passes = argc > 1 ? std::max(10, atoi(argv[1])) : 400;
    // Nothing answers here: the panes show their error pages, no network.
    portal::setBaseUrl(QStringLiteral("http://127.0.0.1:9/"));

    QList<WebEnginePane*> panes;
    MainWindow::Services services;
    services.makePane = [&](QWidget* parent) {
        auto* pane = new WebEnginePane(parent);
        panes << pane;
        return PaneSlot{pane, pane};
    };
    MainWindow window(std::move(services));
    int loaded = 0;
    QElapsedTimer waiting;
    waiting.start();
    window.Form_Load();
    for (WebEnginePane* p : panes)
        QObject::connect(p, &WebEnginePane::loadFinished, &app, [&] { ++loaded; });
    window.show();
    while (loaded < panes.size() && waiting.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    std::printf("panes loaded: %d of %lld after %lld ms\n", loaded, qlonglong(panes.size()),
                qlonglong(waiting.elapsed()));

    Stats routine, whole;
    QElapsedTimer timer;
    const QSize client = window.centralWidget()->size();
    for (int i = 0; i < passes; ++i) {
        window.centralWidget()->resize(dragStep(client, i + 1));
        timer.start();
        window.Form_Resize();
        routine.add(timer);
        QCoreApplication::processEvents();
    }
    const QSize outer = window.size();
    for (int i = 0; i < passes; ++i) {
        timer.start();
        window.resize(dragStep(outer, i + 1));
        whole.add(timer);
        QCoreApplication::processEvents();
    }
    routine.print("Form_Resize");
    whole.print("whole resize");
    return 0;
}
