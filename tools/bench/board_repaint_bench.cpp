// Times the board's repaint after one step of the piece on a 20 by 30 board:
// the diff of the engine's cells against the screen, then the synchronous
// paint and flush of what changed. Run it on a real display (Xvfb).
#include "GameWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Stats {
    double mean, median, p99, max;
};

Stats Summarise(std::vector<double> us) {
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us)
        sum += v;
    return {sum / double(us.size()), us[us.size() / 2], us[us.size() * 99 / 100], us.back()};
}

void Print(const char* what, const Stats& s) {
    std::printf("%-28s mean %7.1f us  median %7.1f us  p99 %7.1f us  max %7.1f us\n", what, s.mean,
                s.median, s.p99, s.max);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int steps = argc > 1 ? std::max(100, std::atoi(argv[1])) : 3000;

    brickvane::GameWindow form;
    form.SetSoundSink(nullptr);
    brickvane::Engine& engine = form.engine();
    engine.BoardCols = 20;
    engine.BoardRows = 35; // 30 visible rows
    engine.StartLevel = 9;
    engine.YouDie = [&form] { form.NewGame(); }; // no dialog: keep stepping
    form.show();
    form.NewGame();
    form.StopTimer();
    QApplication::processEvents();

    QElapsedTimer clock;
    std::vector<double> stepRepaint, fullRepaint;
    for (int i = 0; i < steps; ++i) {
        if (i % 7 == 3)
            engine.MoveLeft(); // spread the pieces a little so games last
        if (i % 11 == 5)
            engine.MoveRight();
        engine.StepDown();
        clock.start();
        const QRegion dirty = form.Picture1->Sync();
        form.Picture1->repaint(dirty);
        stepRepaint.push_back(double(clock.nsecsElapsed()) / 1000.0);
        form.Picture2->Sync();
        if (i % 10 == 0) {
            clock.start();
            form.Picture1->repaint();
            fullRepaint.push_back(double(clock.nsecsElapsed()) / 1000.0);
        }
    }
    std::printf("board 20 x 30, %d steps on %s\n", steps,
                qPrintable(QGuiApplication::platformName()));
    Print("repaint after one step", Summarise(stepRepaint));
    Print("repaint of the whole board", Summarise(fullRepaint));
    return 0;
}
