#pragma once

#include <QIcon>
#include <QString>

namespace app {

// Default title of every message box of the client, and the about box's title.
inline QString title() {
    return QStringLiteral("Orvanta同行协作办公信息系统");
}

inline QString versionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(PROJECT_VERSION_MAJOR)
        .arg(PROJECT_VERSION_MINOR)
        .arg(PROJECT_VERSION_PATCH);
}

// The folder that holds the running program.
QString programFolder();

// The program's icon, built into it at every size the desktop's icon theme
// gets, so every window shows it wherever the program runs from.
QIcon icon();

} // namespace app
