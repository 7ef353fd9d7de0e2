#include "DialUp.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QVariant>
#include <ifaddrs.h>
#include <map>
#include <net/if.h>
#include <string>
#include <sys/socket.h>

// Asked directly rather than through QtNetwork, whose libraries (Kerberos,
// libproxy and theirs) would load with the program, before the splash.
namespace dialup {
namespace {

// NetworkManager, where it runs, over the system bus.
Reachability currentReachability() {
    if (!QCoreApplication::instance())
        return Reachability::NoBackend;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return Reachability::NoBackend;
    auto ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.NetworkManager"),
                                              QStringLiteral("/org/freedesktop/NetworkManager"),
                                              QStringLiteral("org.freedesktop.DBus.Properties"),
                                              QStringLiteral("Get"));
    ask << QStringLiteral("org.freedesktop.NetworkManager") << QStringLiteral("State");
    const QDBusMessage reply = bus.call(ask, QDBus::Block, 2000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return Reachability::NoBackend;
    bool known = false;
    const uint state =
        qvariant_cast<QDBusVariant>(reply.arguments().constFirst()).variant().toUInt(&known);
    return known ? reachabilityOfManagerState(state) : Reachability::NoBackend;
}

std::vector<InterfaceFacts> currentInterfaces() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    // One entry per address, and one without for the interface itself.
    std::map<std::string, InterfaceFacts> byName;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        InterfaceFacts& facts = byName[a->ifa_name];
        facts.up = a->ifa_flags & IFF_UP;
        facts.running = a->ifa_flags & IFF_RUNNING;
        facts.loopback = a->ifa_flags & IFF_LOOPBACK;
        if (a->ifa_addr &&
            (a->ifa_addr->sa_family == AF_INET || a->ifa_addr->sa_family == AF_INET6))
            facts.hasAddress = true;
    }
    freeifaddrs(list);
    std::vector<InterfaceFacts> facts;
    for (const auto& entry : byName)
        facts.push_back(entry.second);
    return facts;
}

} // namespace

bool platformIsConnected() {
    return networkCountsAsConnected(currentReachability(), currentInterfaces());
}

} // namespace dialup
