// The orvanta_webengine module: the web panes over Qt WebEngine.

#include "BrowserWindow.h"
#include "DesktopToolbox.h"
#include "FindBar.h"
#include "PageDialogs.h"
#include "PageWindows.h"
#include "PaneHabits.h"
#include "PanesProbe.h"
#include "Portal.h"
#include "WebEngineModule.h"
#include "WebEnginePane.h"

#include <QChildEvent>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QVBoxLayout>

namespace {

// A view draws through a QQuickWidget whose offscreen window is a top-level
// window of the program: screen readers listed one empty frame "Offscreen"
// per pane. That window is never shown; typed as a popup, it is left out of
// the accessible application's windows.
class OffscreenFrameHider : public QObject {
public:
    explicit OffscreenFrameHider(QWidget* view) : QObject(view) {
        for (auto* quick : view->findChildren<QQuickWidget*>())
            hide(quick);
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Polished rather than added: an added child is not yet fully made.
        if (event->type() == QEvent::ChildPolished)
            if (auto* quick =
                    qobject_cast<QQuickWidget*>(static_cast<QChildEvent*>(event)->child()))
                hide(quick);
        return QObject::eventFilter(watched, event);
    }

private:
    static void hide(QQuickWidget* quick) {
        if (QQuickWindow* offscreen = quick->quickWindow())
            offscreen->setFlags(Qt::Popup | Qt::FramelessWindowHint);
    }
};

// The pane and its find bar side by side in one box: drawn over the view as
// its child, the bar was out of a screen reader's reach, as the view's
// accessible interface lists only the page.
PaneSlot makePane(QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* pane = new WebEnginePane(box);
    column->addWidget(pane, 1);
    if (auto* habits = pane->findChild<PaneHabits*>(QString(), Qt::FindDirectChildrenOnly))
        column->addWidget(habits->findBar());
    box->setFocusProxy(pane);
    new OffscreenFrameHider(pane);
    panes_probe::watch(pane);
    return {box, pane};
}

// Its separate windows share the panes' profile, so it lives in this module.
Toolbox* makeToolbox() {
    static DesktopToolbox toolbox;
    return &toolbox;
}

int dismissPageDialogs() {
    pagedialogs::dismissAll();
    return pagedialogs::openCount();
}

const WebEngineModule entries{makePane, makeToolbox, dismissPageDialogs};

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
