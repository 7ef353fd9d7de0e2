#include "DialUp.h"

#include <QCoreApplication>
#include <QNetworkInformation>
#include <QNetworkInterface>

namespace dialup {
namespace {

Reachability currentReachability() {
    // The backend needs an application object; loading it again is a no-op.
    if (!QCoreApplication::instance() ||
        !QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability))
        return Reachability::NoBackend;
    switch (QNetworkInformation::instance()->reachability()) {
    case QNetworkInformation::Reachability::Unknown:
        return Reachability::Unknown;
    case QNetworkInformation::Reachability::Disconnected:
        return Reachability::Disconnected;
    case QNetworkInformation::Reachability::Local:
        return Reachability::Local;
    case QNetworkInformation::Reachability::Site:
        return Reachability::Site;
    case QNetworkInformation::Reachability::Online:
        return Reachability::Online;
    }
    return Reachability::Unknown;
}

std::vector<InterfaceFacts> currentInterfaces() {
    std::vector<InterfaceFacts> facts;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        facts.push_back(
            {flags.testFlag(QNetworkInterface::IsUp), flags.testFlag(QNetworkInterface::IsRunning),
             flags.testFlag(QNetworkInterface::IsLoopBack), !i.addressEntries().isEmpty()});
    }
    return facts;
}

} // namespace

bool platformIsConnected() {
    return networkCountsAsConnected(currentReachability(), currentInterfaces());
}

} // namespace dialup
