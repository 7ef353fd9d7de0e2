#include "AppInfo.h"

#include <QCoreApplication>

namespace app {

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

} // namespace app
