#include "AppInfo.h"

#include <QCoreApplication>

// Resources of a static library are registered by hand, outside any namespace.
static void registerIconResource() {
    Q_INIT_RESOURCE(orvanta_icon);
}

namespace app {

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

QIcon icon() {
    registerIconResource();
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/orvanta/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace app
