#include "DesktopSession.h"

#include <QByteArray>
#include <QtGlobal>
#include <utility>

#ifdef Q_OS_LINUX
#include <fontconfig/fontconfig.h>
#endif

namespace desktopsession {

namespace {

// What the libraries are told while the application object loads them,
// unless the user set it: GTK (for the platform theme) no accessibility bridge
// of its own, and no OpenGL (GDK loads the driver at start to choose its
// visuals, tens of megabytes for nothing we draw); fontconfig that our texts
// are Chinese, so that Han text takes a Chinese face whatever the locale
// (under an English or C locale it would take the first CJK face installed,
// often the Japanese one, whose forms of many characters differ).
struct Setting {
    const char* name;
    const char* value;
    bool ours = false;
};
Setting settings[] = {{"NO_AT_BRIDGE", "1"}, {"GDK_GL", "disable"}, {"FC_LANG", "zh-cn"}};

} // namespace

void prepare() {
#ifdef Q_OS_LINUX
    for (Setting& s : settings)
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
#ifdef Q_OS_LINUX
    // Fontconfig reads its language once, when first asked; asked now, it
    // keeps Chinese after the variable goes.
    if (FcPattern* pattern = FcPatternCreate()) {
        FcDefaultSubstitute(pattern);
        FcPatternDestroy(pattern);
    }
#endif
    for (Setting& s : settings)
        if (std::exchange(s.ours, false))
            qunsetenv(s.name);
}

} // namespace desktopsession
