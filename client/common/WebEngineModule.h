#pragma once

#include "BrowserPane.h"

#include <QString>

class Toolbox;

// Every part of the client that needs Qt WebEngine lives in the module
// orvanta_webengine beside the program. It is loaded when the main window
// makes its first pane, so that the splash window appears without waiting for
// the web engine's large libraries, and a copy that is refused never loads it.
struct WebEngineModule {
    PaneSlot (*makePane)(QWidget* parent);
    Toolbox* (*makeToolbox)(); // null where the module has none
    // Cancels every open page dialog and every later one (the program is
    // ending); returns how many are still waiting to return to their pages.
    int (*dismissPageDialogs)();
};

// The module's one exported function. The module keeps its own copy of the
// portal address, so it is handed the program's.
using WebEngineModuleEntry = const WebEngineModule* (*)(const QString& portalBaseUrl);
inline constexpr const char* WebEngineModuleEntryName = "orvanta_webengine";

// What the web engine needs of the environment, set before the application
// object exists.
void prepareWebEngine();

// Loads the module from the program folder, once; null, with the reason in
// `error`, when it cannot be loaded.
const WebEngineModule* loadWebEngineModule(QString* error);

// A pane that shows nothing and refuses everything, for when there is no web
// engine: the window still opens and the program still runs.
PaneSlot makeBlankPane(QWidget* parent);

// A web pane from the module, or a blank one after telling the user once why
// there is none.
PaneSlot makeWebPane(QWidget* parent);

// The module's dismissPageDialogs; 0 without the module.
int dismissPageDialogs();

// The toolbox the module offers; null without the module.
Toolbox* webToolbox();
