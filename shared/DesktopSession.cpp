#include "DesktopSession.h"

#include <QByteArray>
#include <QtGlobal>
#include <utility>

namespace desktopsession {

namespace {

// What GTK is told while the platform theme loads it, unless the user set it:
// no accessibility bridge of its own, and no OpenGL (GDK loads the driver at
// start to choose its visuals, tens of megabytes for nothing we draw).
struct GtkSetting {
    const char* name;
    const char* value;
    bool ours = false;
};
GtkSetting gtkSettings[] = {{"NO_AT_BRIDGE", "1"}, {"GDK_GL", "disable"}};

} // namespace

void prepare() {
#ifdef Q_OS_LINUX
    for (GtkSetting& s : gtkSettings)
        if (!qEnvironmentVariableIsSet(s.name))
            s.ours = qputenv(s.name, s.value);
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
                         qgetenv("XDG_SESSION_TYPE") == QByteArrayLiteral("wayland");
    if (wayland && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

void applicationMade() {
    for (GtkSetting& s : gtkSettings)
        if (std::exchange(s.ours, false))
            qunsetenv(s.name);
}

} // namespace desktopsession
