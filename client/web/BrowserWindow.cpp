#include "BrowserWindow.h"

#include "AppInfo.h"
#include "FindBar.h"
#include "PaneHabits.h"
#include "SiteName.h"
#include "WebEnginePane.h"

#include <QCoreApplication>
#include <QVBoxLayout>

BrowserWindow::BrowserWindow() : m_pane(new WebEnginePane(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(app::title());
    resize(1024, 768);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pane, 1);
    // Beside the view rather than over it, where a screen reader can reach it.
    if (auto* habits = m_pane->findChild<PaneHabits*>(QString(), Qt::FindDirectChildrenOnly))
        layout->addWidget(habits->findBar());

    // The page chooses its title, so the caption names its site first.
    const auto caption = [this] {
        const QString shown = sitename::caption(m_pane->url(), m_pane->title());
        setWindowTitle(shown.isEmpty() ? app::title() : shown);
    };
    connect(m_pane, &WebEnginePane::titleChanged, this, caption);
    connect(m_pane, &WebEnginePane::urlChanged, this, caption);
    QWebEnginePage* page = m_pane->page();
    connect(page, &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    // window.open with a size: the portal's small pop-ups ask for theirs.
    connect(page, &QWebEnginePage::geometryChangeRequested, this, [this](const QRect& geometry) {
        if (geometry.isValid())
            resize(geometry.size());
    });
    // Pages must go before the profile does; a window still open when the
    // program ends is deleted with the last turn of the event loop.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &QObject::deleteLater);
}

QWebEngineView* BrowserWindow::open() {
    auto* window = new BrowserWindow;
    window->show();
    return window->pane();
}
