#include "PortalWatch.h"

#include "PaneRecovery.h"

#include <QCoreApplication>
#include <QNetworkInformation>
#include <QSet>
#include <QTcpSocket>

namespace {

constexpr int ProbePatience = 5000; // ms for one connection attempt

QString originOf(const QUrl& url) {
    return url.host() + QLatin1Char(':') +
           QString::number(url.port(url.scheme() == QLatin1String("https") ? 443 : 80));
}

} // namespace

PortalWatch& PortalWatch::instance() {
    static auto* watch = new PortalWatch;
    return *watch;
}

PortalWatch::PortalWatch() : QObject(QCoreApplication::instance()) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PortalWatch::probe);
}

void PortalWatch::watch(PaneRecovery* pane) {
    prune();
    if (!m_panes.contains(pane))
        m_panes.append(pane);
    listenToPlatform();
    if (!m_timer.isActive())
        m_timer.start(m_interval);
}

void PortalWatch::forget(PaneRecovery* pane, bool loaded) {
    m_panes.removeAll(pane);
    prune();
    if (m_panes.isEmpty()) {
        m_timer.stop();
        if (loaded)
            m_interval = FirstInterval;
    }
}

void PortalWatch::prune() {
    m_panes.removeAll(nullptr);
}

void PortalWatch::probe() {
    prune();
    QSet<QString> tried;
    for (const QPointer<PaneRecovery>& pane : std::as_const(m_panes)) {
        const QUrl url = pane->askedAddress();
        const QString origin = originOf(url);
        if (url.host().isEmpty() || tried.contains(origin))
            continue;
        tried.insert(origin);
        auto* socket = new QTcpSocket(this);
        connect(socket, &QTcpSocket::connected, this, [this, socket, origin] {
            socket->abort();
            socket->deleteLater();
            // Copied: a retry takes the pane off the list.
            const auto panes = m_panes;
            for (const QPointer<PaneRecovery>& p : panes) {
                if (p && originOf(p->askedAddress()) == origin)
                    p->retry();
            }
        });
        connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
        QTimer::singleShot(ProbePatience, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        socket->connectToHost(url.host(),
                              quint16(url.port(url.scheme() == QLatin1String("https") ? 443 : 80)));
    }
    if (m_panes.isEmpty())
        return;
    m_interval = qMin(m_interval * 2, LastInterval);
    m_timer.start(m_interval);
}

void PortalWatch::listenToPlatform() {
    // Asked only once something failed: a start where all is well loads nothing.
    if (m_platformAsked)
        return;
    m_platformAsked = true;
    if (!QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return;
    connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
            [this](QNetworkInformation::Reachability reachability) {
                if (reachability != QNetworkInformation::Reachability::Online || m_panes.isEmpty())
                    return;
                m_interval = FirstInterval;
                m_timer.start(0);
            });
}
