#include "Shortcuts.h"

#include "ShellLinkMaker.h"

#include <QDir>

namespace shortcuts {

QString programPath(const QString& programFolder, const char* program) {
#ifdef Q_OS_WIN
    const QString suffix = QStringLiteral(".exe");
#else
    const QString suffix;
#endif
    return QDir::toNativeSeparators(programFolder) + QDir::separator() +
           QString::fromUtf8(program) + suffix;
}

std::optional<QString> createLinks(shelllink::ShellLinkBackend& links,
                                   const QString& programFolder) {
    for (const Row& row : Rows) {
        QString token = QString::fromUtf8(ParentToken);
        const shelllink::Outcome outcome = shelllink::MakeShellLink(
            links, programPath(programFolder, row.program), QString::fromUtf8(row.folder),
            QString(), QString::fromUtf8(row.caption), true, token);
        if (outcome.ok)
            continue;
        if (outcome.description.empty())
            return QStringLiteral("无法创建快捷方式“%1”").arg(QString::fromUtf8(row.caption));
        return QString::fromStdString(outcome.description);
    }
    return std::nullopt;
}

bool writeInternetShortcut(shelllink::ShellLinkBackend& links, const QString& rootAddress) {
    return links.writeInternetShortcut(InternetShortcutName, rootAddress.toStdString());
}

} // namespace shortcuts
