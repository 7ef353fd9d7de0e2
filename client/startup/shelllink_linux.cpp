// Shell links as freedesktop desktop entries: the desktop one in the user's
// desktop folder, the Start-menu and Programs ones in the applications folder.

#include "ShellLink.h"
#include "SystemErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>

namespace shelllink {
namespace {

QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The user's desktop folder, or empty when there is none: a missing folder, or
// one that is the home folder itself (how xdg-user-dirs says "no desktop").
QString desktopFolder() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (dir.isEmpty() || !QDir(dir).exists() || QDir(dir) == QDir::home())
        return {};
    return dir;
}

QString applicationsFolder(const std::string& folder) {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    if (placeOf(folder) == Place::BelowPrograms)
        dir += QLatin1Char('/') + text(folder).replace(QLatin1Char('\\'), QLatin1Char('/'));
    return dir;
}

// Escapes of the "string" value type; they apply after the Exec quoting.
QString escapeValue(const QString& value) {
    QString out;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// One Exec argument: quoted when it holds a reserved character, with the
// characters that stay special inside quotes escaped, and "%" doubled so it
// is not read as a field code.
QString execArgument(const QString& arg) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString quoted;
    bool needsQuotes = arg.isEmpty();
    for (const QChar c : arg) {
        if (reserved.contains(c))
            needsQuotes = true;
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    return needsQuotes ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
}

// Icons go by their name in the desktop's icon theme, which picks the size;
// the package puts both there.
QString iconFor(const QString& target) {
    return QFileInfo(target).fileName() == QLatin1String("game") ? QStringLiteral("brickvane")
                                                                 : QStringLiteral("orvanta");
}

QString fileNameFor(const std::string& caption) {
    return text(caption).replace(QLatin1Char('/'), QLatin1Char('_')) + QStringLiteral(".desktop");
}

// Made again on every start, in place: a plain write, without the flush to
// disk that a safe save would wait for before the splash can show. Most starts
// find the entry as they would write it, and leave it: reading it is cheaper
// than cutting it and writing it again.
Outcome writeEntry(const QString& path, const QString& body, bool executable) {
    QFile file(path);
    const QByteArray bytes = body.toUtf8();
    const QFile::Permissions runnable =
        executable ? QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther
                   : QFile::Permissions();
    if (file.open(QIODevice::ReadOnly) && file.size() == bytes.size() && file.readAll() == bytes &&
        (file.permissions() & runnable) == runnable)
        return {};
    file.close();
    errno = 0;
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(bytes) == bytes.size() && file.flush()) {
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | runnable);
        return {};
    }
    const QString why = QStringLiteral("无法创建快捷方式“%1”：%2")
                            .arg(path, chineseui::systemErrorText(errno, file.errorString()));
    return {false, why.toStdString()};
}

class DesktopEntryLinks : public ShellLinkBackend {
public:
    Outcome createLink(const std::string& folder, const std::string& caption,
                       const std::string& target, const std::string& arguments, bool,
                       std::string&) override {
        const bool onDesktop = placeOf(folder) == Place::Desktop;
        const QString dir = onDesktop ? desktopFolder() : applicationsFolder(folder);
        if (dir.isEmpty())
            return {}; // no desktop here: nothing to put the link on
        errno = 0;
        if (!QDir().mkpath(dir)) {
            const int code = errno;
            const QString detail = code ? QString::fromLocal8Bit(std::strerror(code)) : QString();
            const QString why = chineseui::systemErrorText(code, detail);
            return {false, QStringLiteral("无法创建文件夹“%1”：%2").arg(dir, why).toStdString()};
        }

        QString exec = execArgument(text(target));
        if (!arguments.empty())
            exec +=
                QLatin1Char(' ') + text(arguments).replace(QLatin1Char('%'), QLatin1String("%%"));
        const QString body =
            QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n"
                           "Name=%1\nExec=%2\nIcon=%3\nTerminal=false\n")
                .arg(escapeValue(text(caption)), escapeValue(exec), iconFor(text(target)));
        // Desktops only start launchers on the desktop that are executable.
        return writeEntry(dir + QLatin1Char('/') + fileNameFor(caption), body, onDesktop);
    }

    bool writeInternetShortcut(const std::string& name, const std::string& url) override {
        const QString dir = desktopFolder();
        if (dir.isEmpty())
            return false;
        const QString body = QStringLiteral("[Desktop Entry]\nType=Link\nVersion=1.0\n"
                                            "Name=%1\nURL=%2\nIcon=orvanta\n")
                                 .arg(escapeValue(text(name)), escapeValue(text(url)));
        return writeEntry(dir + QLatin1Char('/') + fileNameFor(name), body, true).ok;
    }
};

} // namespace

std::unique_ptr<ShellLinkBackend> makePlatformShellLinks() {
    return std::make_unique<DesktopEntryLinks>();
}

} // namespace shelllink
