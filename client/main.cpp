// Orvanta: the splash window first; it writes the shortcuts and, a second
// later, opens the main window.

#include "FrmLoad.h"
#include "FrmMain.h"
#include "Portal.h"
#include "ShellLink.h"
#include "ShownProbe.h"
#include "SingleInstance.h"
#include "WebEnginePane.h"

#include <QApplication>
#include <memory>

namespace {

PaneSlot makeWebPane(QWidget* parent) {
    auto* pane = new WebEnginePane(parent);
    return {pane, pane};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Orvanta"));
    portal::initFromEnvironment();

    const auto links = shelllink::makePlatformShellLinks();
    // Made with the main window, and held until the program ends.
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<FrmMain> mainWindow;

    auto showMain = [&] {
        instance = std::make_unique<SingleInstance>(
            SingleInstance::lockPathFor(QCoreApplication::applicationName()));
        FrmMain::Services services;
        services.makePane = makeWebPane;
        services.anotherCopyRunning = [&] { return instance->anotherCopyRunning(); };
        // INTEGRATION: the toolbox (webpanes branch) and the login window
        // (accessories branch) are plugged in here; until then the window
        // opens no separate windows or mail, and Timer1's tick does nothing.
        services.toolbox = nullptr;
        services.showLogin = nullptr;
        mainWindow = std::make_unique<FrmMain>(std::move(services));
        if (mainWindow->Form_Load())
            mainWindow->show();
    };

    // The splash deletes itself when it hands over to the main window.
    auto* splash = new FrmLoad(*links, showMain);
    startup_probe::arm(splash);
    splash->Form_Load();
    splash->show();
    return app.exec();
}
