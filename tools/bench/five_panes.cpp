// bench_five_panes ADDRESS: five web panes in one window, as the main window
// holds them, on five pages of the portal at ADDRESS. Like the main window,
// it starts the pages and then shows itself. Prints "loaded MS START_MS" once
// all five have loaded (milliseconds from the window being shown, and from
// the program's start), then stays until it is ended, so that its memory can
// be read.
#include "Portal.h"
#include "Twips.h"
#include "WebEnginePane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <cstdio>

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvanta-bench"));
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bench_five_panes PORTAL-ADDRESS\n");
        return 2;
    }
    portal::setBaseUrl(args[1]);

    const QStringList pages{QStringLiteral("market\\ad.asp"), QString(), QStringLiteral("chat/"),
                            QStringLiteral("chat/VIEWROOM2.asp"),
                            QStringLiteral("tonghang/infolist-mem.asp")};
    QWidget window;
    window.resize(twips::size(12000, 8800));
    auto* grid = new QGridLayout(&window);
    QElapsedTimer sinceShown;
    int loaded = 0;
    for (int i = 0; i < pages.size(); ++i) {
        auto* pane = new WebEnginePane(&window);
        grid->addWidget(pane, i / 3, i % 3);
        QObject::connect(pane, &QWebEngineView::loadFinished, &app, [&](bool ok) {
            if (!ok) {
                std::fprintf(stderr, "a page failed to load\n");
                QCoreApplication::exit(1);
            } else if (++loaded == pages.size()) {
                std::printf("loaded %lld %lld\n", sinceShown.elapsed(), sinceStart.elapsed());
                std::fflush(stdout);
            }
        });
        pane->navigate(portal::page(pages[i]));
    }
    window.show();
    sinceShown.start();
    return QApplication::exec();
}
