#include "ChineseUi.h"
#include "GameWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    chineseui::install();
    brickvane::GameWindow window;
    window.show();
    return app.exec();
}
