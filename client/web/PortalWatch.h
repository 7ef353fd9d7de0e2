#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <functional>

class QNetworkAccessManager;

// Brings back what failed because its site could not be reached. While
// anything waits, each waiting site is asked once, the way a page load asks
// (through the proxy the system names), 5 s after the first failure and then
// at doubling intervals up to a minute; a site that answers at all gets its
// waiters' retries called. When the platform reports the network back
// online, the sites are asked at once. With nothing waiting nothing runs.
class PortalWatch : public QObject {
    Q_OBJECT
public:
    static PortalWatch& instance();

    // `waiter` waits for `address`'s site; `retry` is called once the site
    // answers (and the waiter is then forgotten). Watching again replaces
    // the address and the retry. A deleted waiter is forgotten by itself.
    void watch(QObject* waiter, const QUrl& address, std::function<void()> retry);
    // `loaded`: the waiter showed its page, so the next failure starts the
    // intervals afresh.
    void forget(QObject* waiter, bool loaded);

    bool waiting() const { return m_timer.isActive(); }
    int nextInterval() const { return m_interval; }

    static constexpr int FirstInterval = 5000, LastInterval = 60000; // ms
    // The wait after a miss that followed a wait of `ms`.
    static int intervalAfter(int ms) { return qMin(ms * 2, LastInterval); }

private:
    struct Waiter {
        QPointer<QObject> owner;
        QUrl address;
        std::function<void()> retry;
    };

    PortalWatch();
    void probe();
    void answered(const QString& site);
    void listenToPlatform();
    void prune();

    QList<Waiter> m_waiters;
    QNetworkAccessManager* m_network = nullptr;
    QTimer m_timer;
    int m_interval = FirstInterval;
    bool m_platformAsked = false;
};
