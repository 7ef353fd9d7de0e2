// The orvanta_webengine module: the web panes over Qt WebEngine.

#include "DesktopToolbox.h"
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
    // The web engine renders through OpenGL, whatever the platform's default.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGLRhi);
    portal::setBaseUrl(portalBaseUrl);
    return &entries;
}
