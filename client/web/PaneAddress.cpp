#include "PaneAddress.h"

#include "Portal.h"

namespace pane {
namespace {

bool isWebAddress(const QString& address) {
    return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QString withSlashesInPath(QString address) {
    for (QChar& c : address) {
        if (c == QLatin1Char('?') || c == QLatin1Char('#'))
            break;
        if (c == QLatin1Char('\\'))
            c = QLatin1Char('/');
    }
    return address;
}

} // namespace

bool isLocalPath(const QString& address) {
    if (address.startsWith(QLatin1Char('/')) || address.startsWith(QLatin1String("\\\\")))
        return true;
    const bool drive = address.size() > 2 && address.at(0).unicode() < 0x80 &&
                       address.at(0).isLetter() && address.at(1) == QLatin1Char(':');
    return drive && (address.at(2) == QLatin1Char('\\') || address.at(2) == QLatin1Char('/'));
}

QUrl urlFor(const QString& address) {
    if (isLocalPath(address))
        return QUrl::fromLocalFile(QString(address).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (isWebAddress(address))
        return portal::toWireUrl(withSlashesInPath(address));
    return portal::toWireUrl(address);
}

} // namespace pane
