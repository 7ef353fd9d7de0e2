#include "ProcessModel.h"

#include <QByteArray>
#include <QtGlobal>

void useProcessPerSite() {
    const QByteArray flag = "--process-per-site";
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains(flag) || flags.contains("--single-process") ||
        flags.contains("--process-per-tab"))
        return;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.isEmpty() ? flag : flags + ' ' + flag);
}
