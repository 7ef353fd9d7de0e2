#include "WebEngineModule.h"

#include "AppInfo.h"
#include "BrowserPane.h"
#include "Portal.h"
#include "Seams.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QOpenGLContext>
#include <QWidget>

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

// The web engine draws through the application's shared OpenGL context, which
// Qt makes at start-up only when asked before the application object exists;
// made here, it costs the splash nothing. Without OpenGL the web engine draws
// in software.
void shareOpenGLContexts() {
    auto* context = new QOpenGLContext(qApp);
    if (!context->create()) {
        delete context;
        return;
    }
    qt_gl_set_global_share_context(context);
}

class BlankPane : public QWidget, public BrowserPane {
public:
    using QWidget::QWidget;
    pane::Result navigate(const QString&) override { return pane::Failed; }
    pane::Result stop() override { return pane::Failed; }
    pane::Result goBack() override { return pane::Failed; }
    pane::Result goForward() override { return pane::Failed; }
    pane::Result refresh() override { return pane::Failed; }
    pane::Result setWidth(double) override { return pane::Failed; }
    pane::Result setHeight(double) override { return pane::Failed; }
};

} // namespace

const WebEngineModule* loadWebEngineModule(QString* error) {
    static const WebEngineModule* module = nullptr;
    static QString failure;
    if (!module && failure.isEmpty()) {
        shareOpenGLContexts();
        QLibrary library(app::programFolder() + QStringLiteral("/orvanta_webengine"));
        const auto entry =
            reinterpret_cast<WebEngineModuleEntry>(library.resolve(WebEngineModuleEntryName));
        if (entry)
            module = entry(portal::baseUrl());
        else
            failure = library.errorString();
    }
    if (!module && error)
        *error = failure;
    return module;
}

PaneSlot makeBlankPane(QWidget* parent) {
    auto* pane = new BlankPane(parent);
    return {pane, pane};
}

PaneSlot makeWebPane(QWidget* parent) {
    QString error;
    if (const WebEngineModule* web = loadWebEngineModule(&error))
        return web->makePane(parent);
    static bool told = false;
    if (!told) {
        told = true;
        // The loader's reason is English; it is only a detail for support.
        seams::showMessage(
            {QStringLiteral("无法加载网页组件，网页将无法显示。（") + error + QStringLiteral("）"),
             QString(), seams::Buttons::Ok, seams::Icon::Exclamation});
    }
    return makeBlankPane(parent);
}

Toolbox* webToolbox() {
    const WebEngineModule* web = loadWebEngineModule(nullptr);
    return web ? web->makeToolbox() : nullptr;
}

int dismissPageDialogs() {
    const WebEngineModule* web = loadWebEngineModule(nullptr);
    return web ? web->dismissPageDialogs() : 0;
}
