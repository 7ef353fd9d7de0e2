#pragma once

#include "ErrorPage.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <optional>

class QLabel;
class QWebEngineLoadingInfo;
class QWebEngineView;
class QWidget;

// Keeps one web view from ever being left grey or silent: our own page when
// the portal cannot be reached (reloaded by itself once it can), when a
// certificate is not valid, or when the renderer keeps dying; a thin line
// over the top edge while a load takes more than half a second. It follows
// the view's page, so it is made once the view has its page.
class PaneRecovery : public QObject {
    Q_OBJECT
public:
    explicit PaneRecovery(QWebEngineView* view);

    // On one of our pages: loads the address the user asked for, afresh,
    // and answers true. Otherwise false, and a plain reload is right.
    bool retry();

    QUrl askedAddress() const { return m_asked; }
    bool showsOwnPage() const { return m_ownPage.has_value(); }

    // The wait before the reload after the n-th renderer death in a row
    // (counted from 0); none once the pane should show its page instead.
    static std::optional<int> rendererReloadDelay(int death);
    // Tests shorten the waits; returns the previous ones.
    static QList<int> setRendererReloadDelays(QList<int> delays);

    static constexpr int LoadingLineDelay = 500; // ms

private:
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onRendererDied(QWebEnginePage::RenderProcessTerminationStatus status);
    void show(errorpage::Problem problem);
    void placeLoadingLine();
    void showRecoveringNote(bool shown);
    void endLoading();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWebEngineView* m_view;
    QUrl m_asked;
    std::optional<errorpage::Problem> m_ownPage; // shown or being shown
    bool m_ownPageLoading = false;
    int m_deaths = 0;
    QElapsedTimer m_lastDeath;
    QTimer m_reload;
    QTimer m_loadingDelay;
    QWidget* m_loadingLine;
    QLabel* m_recoveringNote; // over the grey pane while a reload waits
    int m_progress = 0;
};
