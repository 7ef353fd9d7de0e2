#pragma once

#include <QByteArray>
#include <QtGlobal>

// Adds `flag` (by default `option` itself) to the command line Qt WebEngine
// hands Chromium, unless the flags already give `option` (the user's own
// choice stays). Call before the web engine starts.
inline void addChromiumFlag(const char* option, const char* flag = nullptr) {
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains(option))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                flags + (flags.isEmpty() ? "" : " ") + (flag ? flag : option));
}
