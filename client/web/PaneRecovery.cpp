#include "PaneRecovery.h"

#include "PageDialogs.h"
#include "PortalWatch.h"
#include "ScriptDialogRoute.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWidget>

namespace {

QList<int>& reloadDelays() {
    // Enough for a renderer that died once by accident, patient with one
    // that keeps dying, and never a busy loop.
    static QList<int> delays{0, 1000, 5000, 30000};
    return delays;
}

QList<int>& killedDelays() {
    // Killed from outside (the out-of-memory killer on a loaded desk): the
    // page is not to blame, so it always comes back, less often the more it
    // is killed.
    static QList<int> delays{0, 1000, 5000, 15000, 30000, 60000};
    return delays;
}

int& answerLimit() {
    static int limit = PaneRecovery::AnswerLimit;
    return limit;
}

int& settledAfter() {
    static int after = PaneRecovery::SettledAfter;
    return after;
}

// Chromium's own codes outside the connection and name-lookup ranges that
// also say the network failed.
constexpr int TimedOut = -7, NetworkChanged = -21;
// Closed without a word: some proxies that cannot reach the portal do this.
constexpr int EmptyResponse = -324;
// A load given up for another, or stopped: what was shown stays.
constexpr int Aborted = -3;

std::optional<errorpage::Problem> problemOf(const QWebEngineLoadingInfo& info) {
    switch (info.errorDomain()) {
    case QWebEngineLoadingInfo::ConnectionErrorDomain:
    case QWebEngineLoadingInfo::DnsErrorDomain:
        return errorpage::Problem::Unreachable;
    case QWebEngineLoadingInfo::CertificateErrorDomain:
        return errorpage::Problem::Certificate;
    case QWebEngineLoadingInfo::InternalErrorDomain:
        if (info.errorCode() == TimedOut || info.errorCode() == NetworkChanged)
            return errorpage::Problem::Unreachable;
        return std::nullopt;
    case QWebEngineLoadingInfo::HttpErrorDomain:
        if (info.errorCode() == EmptyResponse)
            return errorpage::Problem::Unreachable;
        return std::nullopt;
    case QWebEngineLoadingInfo::HttpStatusCodeDomain:
        // A gateway's answer: the office's proxy cannot reach the portal.
        if (info.errorCode() == 502 || info.errorCode() == 503 || info.errorCode() == 504)
            return errorpage::Problem::Unreachable;
        return std::nullopt;
    default:
        // The server's own answer (a 404 page, ...) stays on screen.
        return std::nullopt;
    }
}

} // namespace

std::optional<int> PaneRecovery::rendererReloadDelay(int death) {
    if (death < 0 || death >= reloadDelays().size())
        return std::nullopt;
    return reloadDelays().at(death);
}

QList<int> PaneRecovery::setRendererReloadDelays(QList<int> delays) {
    return std::exchange(reloadDelays(), std::move(delays));
}

int PaneRecovery::killedReloadDelay(int kill) {
    const QList<int>& delays = killedDelays();
    return delays.value(qBound(0, kill, int(delays.size()) - 1));
}

QList<int> PaneRecovery::setKilledReloadDelays(QList<int> delays) {
    return std::exchange(killedDelays(), std::move(delays));
}

int PaneRecovery::setAnswerLimit(int ms) {
    return std::exchange(answerLimit(), ms);
}

int PaneRecovery::setSettledAfter(int ms) {
    return std::exchange(settledAfter(), ms);
}

PaneRecovery::PaneRecovery(QWebEngineView* view)
    : QObject(view), m_view(view), m_loadingLine(new QWidget(view)),
      m_recoveringNote(new QLabel(QStringLiteral("此网页意外中止，正在重新载入……"), view)) {
    m_reload.setSingleShot(true);
    m_settled.setSingleShot(true);
    m_settled.setInterval(settledAfter());
    connect(&m_settled, &QTimer::timeout, this, [this] { m_deaths = m_kills = 0; });
    // A page busy in a script answers nothing, not even the engine's own
    // questions; asked often enough to notice within the limit.
    m_ping.setInterval(qMax(50, qMin(5000, answerLimit() / 3)));
    connect(&m_ping, &QTimer::timeout, this, &PaneRecovery::ping);
    m_ping.start();
    m_loadingDelay.setParent(this);
    m_loadingDelay.setObjectName(QStringLiteral("loadingDelay"));
    m_loadingDelay.setSingleShot(true);
    m_loadingDelay.setInterval(LoadingLineDelay);
    connect(&m_reload, &QTimer::timeout, this, [this] {
        showRecoveringNote(false);
        m_view->reload();
    });
    connect(&m_loadingDelay, &QTimer::timeout, this, [this] {
        placeLoadingLine();
        m_loadingLine->raise();
        m_loadingLine->show();
    });

    // Over the page, outside any layout: nothing of the window moves.
    m_loadingLine->setObjectName(QStringLiteral("loadingLine"));
    m_loadingLine->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_loadingLine->setAutoFillBackground(true);
    QPalette palette = m_loadingLine->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
    m_loadingLine->setPalette(palette);
    m_loadingLine->hide();
    m_recoveringNote->setObjectName(QStringLiteral("recoveringNote"));
    m_recoveringNote->setAlignment(Qt::AlignCenter);
    m_recoveringNote->setWordWrap(true);
    m_recoveringNote->setAutoFillBackground(true);
    m_recoveringNote->hide();
    view->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && (now == m_view || m_view->isAncestorOf(now)))
            retryCrashPage();
    });

    QWebEnginePage* page = view->page();
    connect(page, &QWebEnginePage::loadingChanged, this, &PaneRecovery::onLoadingChanged);
    connect(page, &QWebEnginePage::loadProgress, this, [this](int progress) {
        m_progress = progress;
        if (m_loadingLine->isVisible())
            placeLoadingLine();
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                onRendererDied(status);
            });
    // Refused, never overridden: the load then fails and our page says why.
    connect(page, &QWebEnginePage::certificateError, this,
            [](const QWebEngineCertificateError& error) {
                QWebEngineCertificateError refused = error;
                refused.rejectCertificate();
            });
}

bool PaneRecovery::retry() {
    if (!m_ownPage)
        return false;
    m_deaths = 0;
    if (m_asked.isValid())
        m_view->load(m_asked);
    else
        m_view->reload();
    return true;
}

void PaneRecovery::onLoadingChanged(const QWebEngineLoadingInfo& info) {
    if (m_ownPageLoading) {
        if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
            m_ownPageLoading = false;
        return;
    }
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        if (m_ownPage && info.url().scheme() == QLatin1String("data"))
            break; // our page once more: the asked address stays
        m_asked = info.url();
        m_reload.stop();
        showRecoveringNote(false);
        PortalWatch::instance().forget(this, false);
        m_progress = 0;
        m_loadingDelay.start();
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        endLoading();
        if (m_ownPage && info.url().scheme() == QLatin1String("data")) {
            // Leaving our page came to nothing (Chromium keeps the page when
            // a retry from it fails): it still stands, and so does the wait.
            if (*m_ownPage == errorpage::Problem::Unreachable)
                PortalWatch::instance().watch(this, m_asked, [this] { retry(); });
            break;
        }
        if (m_ownPage) {
            m_ownPage.reset();
            m_deaths = 0; // left our page by its retry: the user starts a new series
        }
        m_settled.start();
        PortalWatch::instance().forget(this, true);
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        endLoading();
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        endLoading();
        if (const auto problem = problemOf(info)) {
            show(*problem);
            if (*problem == errorpage::Problem::Unreachable)
                PortalWatch::instance().watch(this, m_asked, [this] { retry(); });
        } else if (info.errorCode() != Aborted) {
            m_ownPage.reset(); // Chromium's own page stands for the server's answer
        }
        break;
    }
}

void PaneRecovery::onRendererDied(QWebEnginePage::RenderProcessTerminationStatus status) {
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    endLoading();
    m_settled.stop();
    m_pingPending = false;
    if (m_ownPage) {
        show(*m_ownPage);
        return;
    }
    if (status == QWebEnginePage::KilledTerminationStatus) {
        const int delay = killedReloadDelay(m_kills++);
        m_reload.start(delay);
        showRecoveringNote(delay > 0);
        return;
    }
    if (const auto delay = rendererReloadDelay(m_deaths++)) {
        m_reload.start(*delay); // even at 0: the engine is still tearing the renderer down
        showRecoveringNote(*delay > 0);
    } else
        show(errorpage::Problem::PageCrashed);
}

// Asked while nothing else is pending on the page: a dialog of a page holds
// its renderer until answered (one shown from inside the engine's work holds
// every renderer), and a page still dying or discarded has no renderer to ask.
void PaneRecovery::ping() {
    QWebEnginePage* page = m_view->page();
    if (m_ownPageLoading || m_reload.isActive() || pagedialogs::waitingCount() > 0 ||
        scriptdialogroute::isWaiting(page) ||
        page->lifecycleState() != QWebEnginePage::LifecycleState::Active ||
        page->renderProcessPid() <= 0) {
        m_pingPending = false;
        return;
    }
    if (m_pingPending) {
        if (m_pingWait.elapsed() >= answerLimit())
            freeUnansweringPage();
        return;
    }
    m_pingPending = true;
    m_pingWait.start();
    const quint64 serial = ++m_pingSerial;
    const QPointer<PaneRecovery> self(this);
    // In the page's own world: a world of our own would cost every page a
    // script context of its own for a literal that touches nothing.
    page->runJavaScript(QStringLiteral("0"), QWebEngineScript::MainWorld,
                        [self, serial](const QVariant&) {
                            if (self && self->m_pingSerial == serial)
                                self->m_pingPending = false;
                        });
}

// Qt 6.4 cannot stop a script or end a renderer; it can discard a page that
// is not visible, which lets go of the page's renderer. The view then shows
// our page in a fresh one.
void PaneRecovery::freeUnansweringPage() {
    m_pingPending = false;
    endLoading();
    QWebEnginePage* page = m_view->page();
    page->setVisible(false);
    page->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
    show(errorpage::Problem::NotAnswering);
}

void PaneRecovery::retryCrashPage() {
    if (m_ownPage == errorpage::Problem::PageCrashed && !m_ownPageLoading)
        retry();
}

void PaneRecovery::show(errorpage::Problem problem) {
    m_ownPage = problem;
    const QUrl asked = m_asked;
    // Not from inside the engine's own notification.
    QMetaObject::invokeMethod(
        this,
        [this, problem, asked] {
            if (m_ownPage != problem || m_asked != asked)
                return; // the user has gone elsewhere meanwhile
            m_ownPageLoading = true;
            m_view->setHtml(errorpage::html(problem, asked));
            m_view->page()->setVisible(m_view->isVisible());
        },
        Qt::QueuedConnection);
}

void PaneRecovery::placeLoadingLine() {
    // A tenth at least, so that a page that never answers still shows.
    const int shown = qMax(10, m_progress);
    m_loadingLine->setGeometry(0, 0, m_view->width() * shown / 100, 3);
}

void PaneRecovery::showRecoveringNote(bool shown) {
    m_recoveringNote->setGeometry(m_view->rect());
    m_recoveringNote->raise();
    m_recoveringNote->setVisible(shown);
}

void PaneRecovery::endLoading() {
    m_loadingDelay.stop();
    m_loadingLine->hide();
}

bool PaneRecovery::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view && event->type() == QEvent::Show)
        retryCrashPage();
    if (watched == m_view && event->type() == QEvent::Resize) {
        if (m_loadingLine->isVisible())
            placeLoadingLine();
        m_recoveringNote->setGeometry(m_view->rect());
    }
    return QObject::eventFilter(watched, event);
}
