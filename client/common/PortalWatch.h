#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class PaneRecovery;

// Brings back panes that failed because their site could not be reached.
// While any waits, the site's host is tried with one TCP connection, 5 s after
// the first failure and then at doubling intervals up to a minute; a host that
// answers gets its panes reloaded. When the platform reports the network back
// online, the hosts are tried at once. With no pane waiting nothing runs.
class PortalWatch : public QObject {
    Q_OBJECT
public:
    static PortalWatch& instance();

    void watch(PaneRecovery* pane);
    // `loaded`: the pane showed its page, so the next failure starts the
    // intervals afresh.
    void forget(PaneRecovery* pane, bool loaded);

    bool waiting() const { return m_timer.isActive(); }
    int nextInterval() const { return m_interval; }

    static constexpr int FirstInterval = 5000, LastInterval = 60000; // ms

private:
    PortalWatch();
    void probe();
    void listenToPlatform();
    void prune();

    QList<QPointer<PaneRecovery>> m_panes;
    QTimer m_timer;
    int m_interval = FirstInterval;
    bool m_platformAsked = false;
};
