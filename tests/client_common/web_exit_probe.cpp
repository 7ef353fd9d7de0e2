// web_exit_probe ADDRESS write|read
// Lives like the client: panes on the stack, separate windows open, the
// program ended through seams::endProgram. "write" leaves a session cookie
// and two browser windows open at the end; "read" prints the cookie it finds.
#include "BrowserWindow.h"
#include "DesktopToolbox.h"
#include "Seams.h"
#include "WebEnginePane.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace {

int openBrowserWindowsWithTitles() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<BrowserWindow*>(w);
        if (window && window->windowTitle().startsWith(QStringLiteral("演示门户")))
            ++count;
    }
    return count;
}

void report(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("orvanta-web-exit-probe"));
    const QStringList args = QApplication::arguments();
    if (args.size() != 3)
        return 2;
    const QString address = args[1];
    const bool write = args[2] == QLatin1String("write");

    WebEnginePane pane;
    pane.show();
    DesktopToolbox toolbox;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [] {
        if (openBrowserWindowsWithTitles() == 2) {
            report(QStringLiteral("windows: 2"));
            seams::endProgram();
        }
    });
    QObject::connect(&pane, &QWebEngineView::loadFinished, &app, [&](bool ok) {
        if (!ok) {
            report(QStringLiteral("load failed"));
            QCoreApplication::exit(3);
            return;
        }
        if (!write) {
            pane.page()->runJavaScript(QStringLiteral("document.cookie"), [](const QVariant& v) {
                report(QStringLiteral("cookie: ") + v.toString());
                seams::endProgram();
            });
            return;
        }
        pane.page()->runJavaScript(
            QStringLiteral("document.cookie = 'session=kept'; window.open('/popup.asp'); 1"));
        toolbox.openNewWindow(address + QStringLiteral("second.asp"));
        poll.start(100);
    });
    QTimer::singleShot(90000, &app, [] {
        report(QStringLiteral("timed out"));
        QCoreApplication::exit(4);
    });
    pane.navigate(address + QStringLiteral("probe.asp"));
    return QApplication::exec();
}
