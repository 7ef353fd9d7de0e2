#pragma once

#include <QString>
#include <QStringList>

// Both programs are Chinese by design, whatever the system locale: what Qt and
// Chromium draw themselves (standard buttons, file dialogs, the web engine's
// menus and error pages) must be Chinese too.
namespace chineseui {

// The catalogues installed on the application, without the "_zh_CN.qm".
inline QStringList catalogues() {
    return {QStringLiteral("qtbase"), QStringLiteral("qtmultimedia"),
            QStringLiteral("qtwebengine")};
}

// Call right after the application object is made, before any window or web
// page. Makes zh_CN the default locale, installs Qt's own Chinese catalogues
// (from the program's "translations" folder, else Qt's) and tells Chromium to
// draw in zh-CN. Returns the catalogues it could not load; the program runs
// on regardless.
QStringList install();

} // namespace chineseui
