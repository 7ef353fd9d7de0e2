#include "ChineseUi.h"
#include "DesktopSession.h"
#include "GameTexts.h"
#include "GameWindow.h"
#include "Portal.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {

// Check of an installed copy: with ORVANTA_STARTUP_PROBE set, once the window
// has been painted the game prints "shown" and the wall clock, then which of
// its files it found and its window icon's sizes, and ends.
class StartupProbe : public QObject {
public:
    explicit StartupProbe(brickvane::GameWindow& window) : QObject(&window), window_(window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !fired_) {
            fired_ = true;
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void report() {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
        const brickvane::Engine& engine = window_.engine();
        const std::string folder = engine.AppFolder();
        for (const std::string& path :
             {engine.SoundUpgrade(), engine.SoundDown(), engine.SoundKillLine(), engine.SoundDie(),
              folder + "Me.ico", folder + "point.cur", folder + "Picture3.gif"})
            std::printf("%s %s\n",
                        QFileInfo::exists(QString::fromStdString(path)) ? "found" : "missing",
                        path.c_str());
        std::printf("icon");
        for (const QSize& size : window_.windowIcon().availableSizes())
            std::printf(" %d", size.width());
        std::printf("\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    brickvane::GameWindow& window_;
    bool fired_ = false;
};

} // namespace

int main(int argc, char* argv[]) {
    desktopsession::prepare();
    // Qt's own colour dialog, in Chinese like the rest; the desktop's (GTK's
    // under GNOME) speaks the system's language.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    desktopsession::applicationMade();
    // One name however it was started (the launcher's link or Orvanta's menu),
    // so the desktop matches the window to the menu entry.
    QCoreApplication::setApplicationName(QStringLiteral("Brickvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velantrix.Brickvane"));
    chineseui::install();
    // The same portal as Orvanta, which passes ORVANTA_PORTAL_URL on when it
    // starts the game; a value it would refuse is refused here too.
    QString problem;
    if (!portal::initFromEnvironment(&problem)) {
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
        QMessageBox::critical(nullptr, brickvane::texts::game_window::Title(), problem);
        return 1;
    }
    brickvane::GameWindow window;
    if (qEnvironmentVariableIsSet("ORVANTA_STARTUP_PROBE"))
        new StartupProbe(window);
    window.show();
    return app.exec();
}
