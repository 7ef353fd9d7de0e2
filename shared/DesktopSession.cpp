#include "DesktopSession.h"

#include <QByteArray>
#include <QtGlobal>

namespace desktopsession {

void preferX11UnderWayland() {
#ifdef Q_OS_LINUX
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                         qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
    if (wayland && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

} // namespace desktopsession
