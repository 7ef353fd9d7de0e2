// The orvanta_webengine module: the web panes over Qt WebEngine.

#include "BrowserWindow.h"
#include "DesktopToolbox.h"
#include "PageWindows.h"
#include "PanesProbe.h"
#include "Portal.h"
#include "WebEngineModule.h"
#include "WebEnginePane.h"

#include <QQuickWindow>

namespace {

PaneSlot makePane(QWidget* parent) {
    auto* pane = new WebEnginePane(parent);
    panes_probe::watch(pane);
    return {pane, pane};
}

// Its separate windows share the panes' profile, so it lives in this module.
Toolbox* makeToolbox() {
    static DesktopToolbox toolbox;
    return &toolbox;
}

const WebEngineModule entries{makePane, makeToolbox};

} // namespace

extern "C" Q_DECL_EXPORT const WebEngineModule* orvanta_webengine(const QString& portalBaseUrl) {
    // The panes show portal pages, which Chromium rasterises in software anyway:
    // Qt Quick's software back-end composites them without an OpenGL stack in
    // the program, which keeps the whole process tree a fifth smaller.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    portal::setBaseUrl(portalBaseUrl);
    pagewindows::setMaker(&BrowserWindow::open);
    return &entries;
}
