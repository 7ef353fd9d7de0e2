#include "WebEngineModule.h"

#include "AppInfo.h"
#include "BrowserPane.h"
#include "ChromiumFlags.h"
#include "Portal.h"
#include "Seams.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QOpenGLContext>
#include <QWidget>
#include <utility>

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

namespace {

// Set by us, not by the user, so cleared again once read.
bool noDesktopOpenGL = false;

// Qt WebEngine 6.4 reads the format of the application's shared OpenGL
// context when it starts, and crashes without one. Qt Quick composites the
// panes in software and Chromium rasterises them in software, so the context
// is only made, not needed: under the X server the attempt fails and loads
// no OpenGL driver. The platform decided about OpenGL at that attempt; the
// programs we start later choose for themselves.
void shareOpenGLContexts() {
    auto* context = new QOpenGLContext(qApp);
    context->create();
    qt_gl_set_global_share_context(context);
    if (std::exchange(noDesktopOpenGL, false))
        qunsetenv("QT_XCB_GL_INTEGRATION");
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

void prepareWebEngine() {
    // Qt WebEngine leaves its pages out of the accessibility tree on Linux unless
    // asked; it then builds the tree only while a screen reader listens.
    if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
        qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    // Nothing in the client draws with OpenGL; loaded, the driver (Mesa's
    // software one with LLVM where there is no graphics card) costs tens of
    // megabytes in every Orvanta.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        noDesktopOpenGL = qputenv("QT_XCB_GL_INTEGRATION", "none");
    // The portal's scripts are small: V8 without its optimising compilers
    // keeps each page's renderer a few megabytes smaller. A choice of the
    // user's own stays.
    addChromiumFlag("--js-flags", "--js-flags=--lite-mode");
    // Chromium keeps a second zygote for helpers that set up their own
    // sandbox; the network and the GPU run inside Orvanta, so it would wait
    // unused, and a helper that needs it is started on its own instead.
    addChromiumFlag("--no-unsandboxed-zygote");
}

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
