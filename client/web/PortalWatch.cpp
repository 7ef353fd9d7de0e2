#include "PortalWatch.h"

#include "PageDialogs.h"
#include "SiteName.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSet>

namespace {

constexpr int ProbePatience = 5000; // ms for one answer

QString siteOf(const QUrl& url) {
    return url
        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                  QUrl::RemoveUserInfo)
        .toString();
}

// Any answer from the site itself means it is back, even an error page; a
// gateway's 502, 503 or 504 is a proxy that cannot reach it yet.
bool siteAnswered(QNetworkReply* reply) {
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return false;
    return status != 502 && status != 503 && status != 504;
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

void PortalWatch::watch(QObject* waiter, const QUrl& address, std::function<void()> retry) {
    prune();
    auto it = std::find_if(m_waiters.begin(), m_waiters.end(),
                           [waiter](const Waiter& w) { return w.owner == waiter; });
    if (it == m_waiters.end())
        m_waiters.append({waiter, address, std::move(retry)});
    else
        *it = {waiter, address, std::move(retry)};
    listenToPlatform();
    if (!m_timer.isActive())
        m_timer.start(m_interval);
}

void PortalWatch::forget(QObject* waiter, bool loaded) {
    m_waiters.removeIf([waiter](const Waiter& w) { return w.owner == waiter; });
    prune();
    if (m_waiters.isEmpty()) {
        m_timer.stop();
        if (loaded)
            m_interval = FirstInterval;
    }
}

void PortalWatch::prune() {
    m_waiters.removeIf([](const Waiter& w) { return w.owner.isNull(); });
}

void PortalWatch::probe() {
    prune();
    if (!m_network) {
        m_network = new QNetworkAccessManager(this);
        m_network->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        // A proxy that wants a login gets the one the user gave the pages;
        // a background check never asks the user itself.
        connect(m_network, &QNetworkAccessManager::proxyAuthenticationRequired, this,
                [](const QNetworkProxy& proxy, QAuthenticator* auth) {
                    const pagedialogs::Credentials given =
                        pagedialogs::proxyAnswer(sitename::host(proxy.hostName()));
                    if (!given.given)
                        return;
                    auth->setUser(given.user);
                    auth->setPassword(given.password);
                });
    }
    QSet<QString> asked;
    for (const Waiter& waiter : std::as_const(m_waiters)) {
        const QString site = siteOf(waiter.address);
        if (waiter.address.host().isEmpty() || asked.contains(site))
            continue;
        asked.insert(site);
        QNetworkRequest request(waiter.address);
        request.setTransferTimeout(ProbePatience);
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                             QNetworkRequest::AlwaysNetwork);
        QNetworkReply* reply = m_network->head(request);
        connect(reply, &QNetworkReply::finished, this, [this, reply, site] {
            reply->deleteLater();
            if (siteAnswered(reply))
                answered(site);
        });
    }
    if (m_waiters.isEmpty())
        return;
    m_interval = intervalAfter(m_interval);
    m_timer.start(m_interval);
}

void PortalWatch::answered(const QString& site) {
    // Copied: a retry takes its waiter off the list.
    const QList<Waiter> waiters = m_waiters;
    for (const Waiter& w : waiters) {
        if (w.owner && siteOf(w.address) == site)
            w.retry();
    }
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
                if (reachability != QNetworkInformation::Reachability::Online ||
                    m_waiters.isEmpty())
                    return;
                m_interval = FirstInterval;
                m_timer.start(0);
            });
}
