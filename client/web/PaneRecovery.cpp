#include "PaneRecovery.h"

#include "PortalWatch.h"

#include <QEvent>
#include <QLabel>
#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>
#include <QWidget>

namespace {

QList<int>& reloadDelays() {
    // Enough for a renderer that died once by accident, patient with one
    // that keeps dying, and never a busy loop.
    static QList<int> delays{0, 1000, 5000, 30000};
    return delays;
}

// Chromium's own codes outside the connection and name-lookup ranges that
// also say the network failed.
constexpr int TimedOut = -7, NetworkChanged = -21;
// Closed without a word: a proxy that cannot reach the portal does this.
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
    default:
        // The server's own answer (a 404 page, ...) stays on screen.
        return std::nullopt;
    }
}

// A renderer death more than this after the previous one starts a new series.
constexpr qint64 SeriesGap = 60000; // ms

} // namespace

std::optional<int> PaneRecovery::rendererReloadDelay(int death) {
    if (death < 0 || death >= reloadDelays().size())
        return std::nullopt;
    return reloadDelays().at(death);
}

QList<int> PaneRecovery::setRendererReloadDelays(QList<int> delays) {
    return std::exchange(reloadDelays(), std::move(delays));
}

PaneRecovery::PaneRecovery(QWebEngineView* view)
    : QObject(view), m_view(view), m_loadingLine(new QWidget(view)),
      m_recoveringNote(new QLabel(QStringLiteral("此网页意外中止，正在重新载入……"), view)) {
    m_reload.setSingleShot(true);
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
            m_deaths = 0; // back to a page of its own: a new series
        }
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
    if (!m_lastDeath.isValid() || m_lastDeath.elapsed() > SeriesGap)
        m_deaths = 0;
    m_lastDeath.start();
    if (m_ownPage) {
        show(*m_ownPage);
        return;
    }
    if (const auto delay = rendererReloadDelay(m_deaths++)) {
        m_reload.start(*delay); // even at 0: the engine is still tearing the renderer down
        showRecoveringNote(*delay > 0);
    } else
        show(errorpage::Problem::PageCrashed);
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
    if (watched == m_view && event->type() == QEvent::Resize) {
        if (m_loadingLine->isVisible())
            placeLoadingLine();
        m_recoveringNote->setGeometry(m_view->rect());
    }
    return QObject::eventFilter(watched, event);
}
