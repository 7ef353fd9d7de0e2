#include "PaneHabits.h"

#include "FindBar.h"
#include "PageWindows.h"
#include "ZoomStore.h"

#include <QApplication>
#include <QChildEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWheelEvent>
#include <cmath>

PaneHabits* PaneHabits::attach(QWebEngineView* view) {
    return new PaneHabits(view);
}

PaneHabits::PaneHabits(QWebEngineView* view)
    : QObject(view), m_view(view), m_findBar(new FindBar(view)) {
    setObjectName(QStringLiteral("PaneHabits"));
    addShortcuts();
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = makeContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_view->mapToGlobal(at));
    });
    // The name the zoom is kept under is given after the pane is made, and
    // before its first page.
    connect(view, &QWebEngineView::loadStarted, this, [this] { applyStoredZoom(); });
    connect(view, &QWebEngineView::loadFinished, this, [this] {
        if (std::abs(m_view->zoomFactor() - m_zoom) > 0.001)
            m_view->setZoomFactor(m_zoom);
    });
    // The page draws in a child widget, made when the page is; its mouse and
    // wheel come through there.
    view->installEventFilter(this);
    for (QObject* child : view->children())
        watchChild(child);
}

void PaneHabits::addShortcuts() {
    const struct {
        QKeySequence keys;
        void (PaneHabits::*action)();
    } shortcuts[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Equal), &PaneHabits::zoomIn},
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), &PaneHabits::zoomIn},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), &PaneHabits::zoomOut},
        {QKeySequence(Qt::CTRL | Qt::Key_0), &PaneHabits::resetZoom},
        {QKeySequence(Qt::Key_Escape), &PaneHabits::escape},
    };
    for (const auto& s : shortcuts) {
        auto* shortcut =
            new QShortcut(s.keys, m_view, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, s.action);
    }
    const struct {
        QKeySequence keys;
        PageCommand command;
    } commands[] = {
        {QKeySequence(Qt::Key_F5), PageCommand::Reload},
        {QKeySequence(Qt::ALT | Qt::Key_Left), PageCommand::Back},
        {QKeySequence(Qt::ALT | Qt::Key_Right), PageCommand::Forward},
    };
    for (const auto& c : commands) {
        auto* shortcut =
            new QShortcut(c.keys, m_view, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this, command = c.command] { run(command); });
    }
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), m_view, nullptr, nullptr,
                               Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, m_findBar, &FindBar::open);
}

void PaneHabits::escape() {
    // In the find bar Esc closes it; on the page it stops the loading.
    if (m_findBar->isVisible() && m_findBar->isAncestorOf(QApplication::focusWidget()))
        m_findBar->close();
    else
        m_view->stop();
}

void PaneHabits::applyStoredZoom() {
    if (m_zoomRead)
        return;
    m_zoomRead = true;
    m_zoom = zoomstore::load(m_view->objectName());
    m_view->setZoomFactor(m_zoom);
}

void PaneHabits::setZoom(double factor) {
    m_zoomRead = true; // a zoom chosen now wins over one read later
    m_zoom = zoomstore::bounded(factor);
    m_view->setZoomFactor(m_zoom);
    zoomstore::save(m_view->objectName(), m_zoom);
}

void PaneHabits::zoomIn() {
    setZoom(zoomstore::zoomIn(m_zoom));
}

void PaneHabits::zoomOut() {
    setZoom(zoomstore::zoomOut(m_zoom));
}

void PaneHabits::resetZoom() {
    setZoom(zoomstore::Default);
}

void PaneHabits::run(PageCommand command) {
    QWebEnginePage* page = m_view->page();
    switch (command) {
    case PageCommand::Back:
        if (m_view->history()->canGoBack())
            m_view->back();
        break;
    case PageCommand::Forward:
        if (m_view->history()->canGoForward())
            m_view->forward();
        break;
    case PageCommand::Reload:
        m_view->reload();
        break;
    case PageCommand::Copy:
        page->triggerAction(QWebEnginePage::Copy);
        break;
    case PageCommand::Paste:
        page->triggerAction(QWebEnginePage::Paste);
        break;
    case PageCommand::CopyLink:
        page->triggerAction(QWebEnginePage::CopyLinkToClipboard);
        break;
    case PageCommand::OpenLinkInNewWindow:
        if (const QWebEngineContextMenuRequest* request = m_view->lastContextMenuRequest())
            openLinkInNewWindow(request->linkUrl());
        break;
    case PageCommand::SaveImage:
        // Goes through the profile's download handling: a save dialog, never opened.
        page->triggerAction(QWebEnginePage::DownloadImageToDisk);
        break;
    case PageCommand::Print:
        // The page's own print request, so that it is handled as one from the page.
        page->runJavaScript(QStringLiteral("window.print()"), QWebEngineScript::ApplicationWorld);
        break;
    }
}

void PaneHabits::openLinkInNewWindow(const QUrl& link) {
    if (link.scheme() != QLatin1String("http") && link.scheme() != QLatin1String("https"))
        return;
    if (QWebEngineView* window = pagewindows::open(pagewindows::Opener::User))
        window->load(link);
}

QMenu* PaneHabits::makeContextMenu() {
    PageMenuContext context;
    context.canGoBack = m_view->history()->canGoBack();
    context.canGoForward = m_view->history()->canGoForward();
    if (const QWebEngineContextMenuRequest* request = m_view->lastContextMenuRequest()) {
        context.hasSelection = !request->selectedText().isEmpty();
        context.editable = request->isContentEditable();
        context.image = request->mediaType() == QWebEngineContextMenuRequest::MediaTypeImage &&
                        request->mediaUrl().isValid();
        context.link = request->linkUrl();
    }
    auto* menu = new QMenu(m_view);
    menu->setObjectName(QStringLiteral("PageContextMenu"));
    int group = 0;
    for (const PageMenuEntry& entry : pageMenuEntries(context)) {
        if (entry.group != group && !menu->isEmpty())
            menu->addSeparator();
        group = entry.group;
        QAction* action = menu->addAction(entry.text);
        action->setEnabled(entry.enabled);
        connect(action, &QAction::triggered, this,
                [this, command = entry.command] { run(command); });
    }
    return menu;
}

void PaneHabits::watchChild(QObject* child) {
    if (child->isWidgetType() && child != m_findBar)
        child->installEventFilter(this);
}

bool PaneHabits::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (watched == m_view)
            watchChild(static_cast<QChildEvent*>(event)->child());
        break;
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier))
            break;
        const int delta = wheel->angleDelta().y();
        if (delta > 0)
            zoomIn();
        else if (delta < 0)
            zoomOut();
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::BackButton) {
            run(PageCommand::Back);
            return true;
        }
        if (button == Qt::ForwardButton) {
            run(PageCommand::Forward);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
