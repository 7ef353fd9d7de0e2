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
// certificate is not valid, when the page's renderer keeps crashing, or when
// the page stops answering (what it held is then freed); a renderer killed
// from outside is always reloaded; a thin line over the top edge while a load
// takes more than half a second. It follows the view's page, so it is made
// once the view has its page.
class PaneRecovery : public QObject {
    Q_OBJECT
public:
    explicit PaneRecovery(QWebEngineView* view);

    // On one of our pages: loads the address the user asked for, afresh,
    // and answers true. Otherwise false, and a plain reload is right.
    bool retry();

    QUrl askedAddress() const { return m_asked; }
    bool showsOwnPage() const { return m_ownPage.has_value(); }

    // The wait before the reload after the n-th renderer crash in a row
    // (counted from 0); none once the pane should show its page instead.
    static std::optional<int> rendererReloadDelay(int death);
    // Tests shorten the waits; returns the previous ones.
    static QList<int> setRendererReloadDelays(QList<int> delays);
    // The wait after the n-th kill in a row: a killed renderer is always
    // reloaded, the last wait repeating.
    static int killedReloadDelay(int kill);
    static QList<int> setKilledReloadDelays(QList<int> delays);
    // How long a page may leave the engine without an answer before it counts
    // as no longer answering; tests shorten it. Returns the previous one.
    static int setAnswerLimit(int ms);
    // How long a page must have shown to end a series of crashes or kills.
    static int setSettledAfter(int ms);

    static constexpr int LoadingLineDelay = 500; // ms
    static constexpr int AnswerLimit = 15000;    // ms
    static constexpr int SettledAfter = 60000;   // ms

private:
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void onRendererDied(QWebEnginePage::RenderProcessTerminationStatus status);
    void ping();
    void freeUnansweringPage();
    void retryCrashPage();
    void show(errorpage::Problem problem);
    void placeLoadingLine();
    void showRecoveringNote(bool shown);
    void endLoading();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWebEngineView* m_view;
    QUrl m_asked;
    std::optional<errorpage::Problem> m_ownPage; // shown or being shown
    bool m_ownPageLoading = false;
    int m_deaths = 0; // crashes in a row
    int m_kills = 0;  // kills in a row
    QTimer m_settled;
    QTimer m_ping;
    QElapsedTimer m_pingWait;
    bool m_pingPending = false;
    quint64 m_pingSerial = 0;
    QTimer m_reload;
    QTimer m_loadingDelay;
    QWidget* m_loadingLine;
    QLabel* m_recoveringNote; // over the grey pane while a reload waits
    int m_progress = 0;
};
