#include "GameTexts.h"

#include "Portal.h"

namespace brickvane::texts {

QString PortalRootAddress() {
    return portal::rootAddress();
}

QString game_window::Welcome() {
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("欢迎访问Velantrix在线:") + crlf + crlf + PortalRootAddress() + crlf +
           crlf + crlf + crlf + QStringLiteral("------Velantrix产业信息化研究办公室");
}

} // namespace brickvane::texts
