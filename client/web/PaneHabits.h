#pragma once

#include "PageMenu.h"

#include <QObject>

class FindBar;
class QMenu;
class QWebEngineView;

// The habits every browser has taught the staff, on one web view: Ctrl+F
// finds, Ctrl + wheel and Ctrl+= / Ctrl+- / Ctrl+0 zoom (kept across restarts
// under the view's object name), F5 reloads, Esc stops, Alt+Left / Alt+Right
// and the mouse's side buttons go back and forward, and the page's context
// menu is our own. Keys reach only the view that has the focus.
class PaneHabits : public QObject {
    Q_OBJECT
public:
    // Owned by `view`.
    static PaneHabits* attach(QWebEngineView* view);

    FindBar* findBar() const { return m_findBar; }
    double zoom() const { return m_zoom; }
    void setZoom(double factor);
    void zoomIn();
    void zoomOut();
    void resetZoom();
    void run(PageCommand command);

    // The context menu for the view's last context-menu request.
    QMenu* makeContextMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit PaneHabits(QWebEngineView* view);
    void addShortcuts();
    void watchChild(QObject* child);
    void applyStoredZoom();
    void escape();
    void openLinkInNewWindow(const QUrl& link);

    QWebEngineView* m_view;
    FindBar* m_findBar;
    double m_zoom = 1.0;
    bool m_zoomRead = false;
};
