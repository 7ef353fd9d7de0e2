// The yardstick for start-up time: a Qt Widgets program that shows one
// window of the splash's size, with the same probe as Orvanta.

#include "ShownProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(400, 320);
    startup_probe::arm(&window);
    window.show();
    return app.exec();
}
