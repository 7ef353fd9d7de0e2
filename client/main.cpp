// Orvanta: the splash window first; it writes the shortcuts and, a second
// later, opens the main window.

#include "AboutWindow.h"
#include "AppInfo.h"
#include "CalendarWindow.h"
#include "ChineseUi.h"
#include "ConnectionCheck.h"
#include "DesktopSession.h"
#include "Dialler.h"
#include "HomeFolder.h"
#include "LoginWindow.h"
#include "MainWindow.h"
#include "PanesProbe.h"
#include "Portal.h"
#include "Seams.h"
#include "ShellLink.h"
#include "Shortcuts.h"
#include "ShownProbe.h"
#include "SingleInstance.h"
#include "SplashWindow.h"
#include "WebEngineModule.h"

#include <QApplication>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // Before anything asks Qt where the user's folders are.
    homefolder::ensure();
    desktopsession::prepare();
    prepareWebEngine();
    // Qt's own dialogs, which speak Chinese through Qt's catalogue; the
    // desktop's (GTK's under GNOME) speak the system's language.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    desktopsession::applicationMade();
    QCoreApplication::setApplicationName(QStringLiteral("Orvanta"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velantrix.Orvanta"));
    chineseui::install();
    QString problem;
    if (!portal::initFromEnvironment(&problem)) {
        std::fprintf(stderr, "%s\n", problem.toLocal8Bit().constData());
        seams::showMessage({problem, app::title(), seams::Buttons::Ok, seams::Icon::Critical});
        return 1;
    }

    const auto links = shelllink::makePlatformShellLinks();
    // Made with the main window, and held until the program ends.
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<MainWindow> mainWindow;

    auto showMain = [&] {
        // Every framed window shows the icon. The frameless splash has nowhere
        // to show it, so its decoding stays off the way to the first window.
        QApplication::setWindowIcon(app::icon());
        instance = std::make_unique<SingleInstance>(
            SingleInstance::lockPathFor(QCoreApplication::applicationName()));
        MainWindow::Services services;
        services.makePane = makeWebPane;
        services.makeToolbox = webToolbox;
        services.anotherCopyRunning = [&] { return instance->anotherCopyRunning(); };
        services.showCalendar = showCalendar;
        services.showAbout = [&] {
            showAboutWindow({[&](const QString& a) { mainWindow->SendMailTo(a); },
                             [&](const QString& a) { mainWindow->OpenNewWindow(a); }});
        };
        services.isDialUpConnected = connection::IsDialUpConnected;
        services.offerToConnect = [] { OfferToConnect(); };
        services.dismissPageDialogs = dismissPageDialogs;
        services.showLogin = [] { showLoginWindowOnce(); };
        mainWindow = std::make_unique<MainWindow>(std::move(services));
        panes_probe::armShown(mainWindow.get());
        if (mainWindow->Form_Load())
            mainWindow->show();
    };

    // The splash deletes itself when it hands over to the main window.
    auto* splash = new SplashWindow(*links, showMain);
    startup_probe::arm(splash, [] {
        const QString folder = app::programFolder();
        QStringList report = {startup_probe::fileLine(folder + QStringLiteral("/velantrix.htm")),
                              startup_probe::fileLine(shortcuts::programPath(folder, "game"))};
        QStringList sizes;
        for (const QSize& size : app::icon().availableSizes())
            sizes << QString::number(size.width());
        report << QStringLiteral("icon ") + sizes.join(QLatin1Char(' '));
        return report;
    });
    splash->Form_Load();
    splash->show();
    return app.exec();
}
