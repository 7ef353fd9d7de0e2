#pragma once

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

} // namespace app
