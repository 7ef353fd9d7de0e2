// The orvanta_webengine module: the web panes over Qt WebEngine.

#include "Portal.h"
#include "WebEngineModule.h"
#include "WebEnginePane.h"

#include <QQuickWindow>

namespace {

PaneSlot makePane(QWidget* parent) {
    auto* pane = new WebEnginePane(parent);
    return {pane, pane};
}

// INTEGRATION: the toolbox over the shared web profile (webpanes branch) is
// made here.
Toolbox* makeToolbox() {
    return nullptr;
}

const WebEngineModule entries{makePane, makeToolbox};

} // namespace

extern "C" Q_DECL_EXPORT const WebEngineModule* orvanta_webengine(const QString& portalBaseUrl) {
    // The web engine renders through OpenGL, whatever the platform's default.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGLRhi);
    portal::setBaseUrl(portalBaseUrl);
    return &entries;
}
