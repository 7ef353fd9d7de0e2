// Times one layout pass (Form_Resize: the arithmetic and moving the widgets)
// in a window holding the five frames and five live web panes, at the sizes
// a user passes through while dragging the window's edge.
#include "LayoutApply.h"
#include "MainLayout.h"
#include "Twips.h"
#include "WebEnginePane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Window {
    QWidget top;
    layout::Widgets widgets;
    QList<WebEnginePane*> panes;

    WebEnginePane* pane(QWidget* frame) {
        auto* p = new WebEnginePane(frame);
        panes << p;
        return p;
    }

    Window() {
        auto frame = [this](QWidget* parent) { return new QFrame(parent ? parent : &top); };
        widgets.FrameMain = frame(nullptr);
        widgets.FrameBbs = frame(nullptr);
        widgets.FrameTonghang = frame(nullptr);
        widgets.FrameAd = frame(nullptr);
        widgets.FrameTeam = frame(widgets.FrameTonghang);
        widgets.FrameTourist = frame(widgets.FrameTonghang);
        widgets.FrameTouristAll = frame(widgets.FrameTonghang);
        widgets.WebBrowserMain = pane(widgets.FrameMain);
        widgets.WebBrowserBbs = pane(widgets.FrameBbs);
        widgets.WebBrowserCom = pane(widgets.FrameTourist);
        widgets.WebBrowserTeam = pane(widgets.FrameTeam);
        pane(widgets.FrameAd)->setGeometry(twips::rect(45, 140, 2620, 2110));
    }
};

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int passes = argc > 1 ? std::max(10, atoi(argv[1])) : 400;

    Window w;
    layout::MainLayout model;
    w.top.resize(twips::size(12000, 8800));
    layout::apply(model.controls(), w.widgets);
    w.top.show();

    int loaded = 0;
    for (WebEnginePane* p : w.panes) {
        QObject::connect(p, &QWebEngineView::loadFinished, &app, [&] { ++loaded; });
        p->setHtml(QStringLiteral("<html><body><h1>同行协作</h1><p>%1</p></body></html>")
                       .arg(QString(2000, QChar(u'字'))));
    }
    QElapsedTimer waiting;
    waiting.start();
    while (loaded < w.panes.size() && waiting.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    std::printf("panes loaded: %d of %lld in %lld ms\n", loaded, qlonglong(w.panes.size()),
                qlonglong(waiting.elapsed()));

    std::vector<double> micros, arithmetic;
    QElapsedTimer timer;
    for (int i = 0; i < passes; ++i) {
        // A drag: one pixel at a time out and back, both edges.
        const int step = i % 200 < 100 ? i % 100 : 100 - i % 100;
        const QSize size = twips::size(12000, 8800) + QSize(step, step / 2);
        w.top.resize(size);
        timer.start();
        model.setWindowSize(float(twips::fromPixels(size.width())),
                            float(twips::fromPixels(size.height())));
        model.Form_Resize();
        arithmetic.push_back(double(timer.nsecsElapsed()) / 1000.0);
        layout::apply(model.controls(), w.widgets);
        micros.push_back(double(timer.nsecsElapsed()) / 1000.0);
        QCoreApplication::processEvents();
    }
    std::printf("Form_Resize with five web panes, %d passes: median %.1f us, 90%% %.1f us, "
                "max %.1f us\n",
                passes, percentile(micros, 0.5), percentile(micros, 0.9),
                *std::max_element(micros.begin(), micros.end()));
    std::printf("of which the arithmetic alone: median %.2f us\n", percentile(arithmetic, 0.5));
    return 0;
}
