// Orvanta: the splash window first; it writes the shortcuts and, a second
// later, opens the main window.

#include "FrmLoad.h"
#include "FrmMain.h"
#include "Portal.h"
#include "Seams.h"
#include "ShellLink.h"
#include "ShownProbe.h"
#include "SingleInstance.h"
#include "WebEngineModule.h"

#include <QApplication>
#include <memory>

namespace {

// The web engine's panes, or blank ones after telling the user why there are
// none.
PaneSlot makePane(QWidget* parent) {
    QString error;
    if (const WebEngineModule* web = loadWebEngineModule(&error))
        return web->makePane(parent);
    static bool told = false;
    if (!told) {
        told = true;
        seams::showMessage({QStringLiteral("无法加载网页组件：") + error, QString(),
                            seams::Buttons::Ok, seams::Icon::Exclamation});
    }
    return makeBlankPane(parent);
}

Toolbox* makeToolbox() {
    const WebEngineModule* web = loadWebEngineModule(nullptr);
    return web ? web->makeToolbox() : nullptr;
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
        services.makePane = makePane;
        services.makeToolbox = makeToolbox;
        services.anotherCopyRunning = [&] { return instance->anotherCopyRunning(); };
        // INTEGRATION: the login window (accessories branch) is shown here;
        // until then Timer1's tick does nothing.
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
