#include "DesktopSession.h"

#include <QByteArray>
#include <QtGlobal>
#include <utility>

namespace desktopsession {

namespace {
bool quietedGtk = false;
}

void prepare() {
#ifdef Q_OS_LINUX
    if (!qEnvironmentVariableIsSet("NO_AT_BRIDGE"))
        quietedGtk = qputenv("NO_AT_BRIDGE", "1");
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                         qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
    if (wayland && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

void applicationMade() {
    if (std::exchange(quietedGtk, false))
        qunsetenv("NO_AT_BRIDGE");
}

} // namespace desktopsession
