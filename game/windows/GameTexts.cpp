#include "GameTexts.h"

namespace brickvane::texts {

QString PortalRootAddress() {
    QString address = QStringLiteral(PORTAL_BASE_URL);
    if (address.endsWith(QLatin1Char('/')))
        address.chop(1);
    return address;
}

QString game_window::Welcome() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("欢迎访问Velantrix在线:") + crlf + crlf + PortalRootAddress() + crlf +
           crlf + crlf + crlf + QStringLiteral("------Velantrix产业信息化研究办公室");
}

} // namespace brickvane::texts
