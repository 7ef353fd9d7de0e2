#include "PageRules.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QUrlQuery>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace pagerules {
namespace {

// Linux allows 255 bytes per name; a Chinese character takes three.
constexpr qsizetype MaxNameBytes = 240;
constexpr int MaxExtensionLength = 16;

bool isUnwanted(char32_t c) {
    // Control characters, and the invisible ones that reorder what the user
    // reads ("exe.txt" shown for "txt.exe").
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format ||
           category == QChar::Other_NotAssigned || category == QChar::Other_Surrogate ||
           category == QChar::Separator_Line || category == QChar::Separator_Paragraph;
}

bool isReservedOnWindows(char32_t c) {
    return c == '<' || c == '>' || c == ':' || c == '"' || c == '|' || c == '?' || c == '*';
}

QString cleanCharacters(const QString& name) {
    QString out;
    for (char32_t c : name.toUcs4()) {
        if (isUnwanted(c))
            continue;
        if (isReservedOnWindows(c))
            c = '_';
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

QString lastComponent(const QString& path) {
    const qsizetype slash =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

QString trimmed(QString name) {
    // Leading dots hide the file (and ".." climbs); trailing dots and blanks
    // vanish on Windows.
    qsizetype start = 0;
    while (start < name.size() && (name[start] == QLatin1Char('.') || name[start].isSpace()))
        ++start;
    qsizetype end = name.size();
    while (end > start && (name[end - 1] == QLatin1Char('.') || name[end - 1].isSpace()))
        --end;
    return name.mid(start, end - start);
}

bool fits(const QString& name) {
    return name.toUcs4().size() <= MaxNameLength && name.toUtf8().size() <= MaxNameBytes;
}

// Cuts whole characters from the end of the stem, keeping a short extension.
QString shortened(const QString& name) {
    if (fits(name))
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension =
        dot > 0 && name.size() - dot <= MaxExtensionLength + 1 ? name.mid(dot) : QString();
    QString stem = name.left(std::min(name.size() - extension.size(), qsizetype(MaxNameLength)));
    while (!stem.isEmpty() && !fits(stem + extension))
        stem.chop(stem.size() > 1 && stem.back().isLowSurrogate() ? 2 : 1);
    return trimmed(stem + extension);
}

bool isDeviceName(const QString& name) {
    // Windows opens a device, not a file, for these whatever the extension.
    static const QStringList devices = {
        QStringLiteral("CON"),  QStringLiteral("PRN"),  QStringLiteral("AUX"),
        QStringLiteral("NUL"),  QStringLiteral("COM1"), QStringLiteral("COM2"),
        QStringLiteral("COM3"), QStringLiteral("COM4"), QStringLiteral("COM5"),
        QStringLiteral("COM6"), QStringLiteral("COM7"), QStringLiteral("COM8"),
        QStringLiteral("COM9"), QStringLiteral("LPT1"), QStringLiteral("LPT2"),
        QStringLiteral("LPT3"), QStringLiteral("LPT4"), QStringLiteral("LPT5"),
        QStringLiteral("LPT6"), QStringLiteral("LPT7"), QStringLiteral("LPT8"),
        QStringLiteral("LPT9")};
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed();
    return devices.contains(stem, Qt::CaseInsensitive);
}

bool usableFolder(const QString& path) {
    return !path.isEmpty() && QDir::isAbsolutePath(path) && QDir(path) != QDir::root() &&
           QDir().mkpath(path);
}

} // namespace

QString safeFileName(const QString& suggested) {
    QString name = shortened(trimmed(lastComponent(cleanCharacters(suggested))));
    if (isDeviceName(name))
        name.prepend(QLatin1Char('_'));
    return name.isEmpty() ? QStringLiteral("下载文件") : name;
}

QString accountHome() {
    const QString home = QDir::homePath();
    if (!home.isEmpty() && QDir(home) != QDir::root())
        return home;
#ifdef Q_OS_UNIX
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir)
        return QString::fromLocal8Bit(account->pw_dir);
#endif
    return home;
}

QString downloadFolder() {
    const QString home = accountHome();
    // Without HOME the platform's download folder would be "/Downloads".
    if (QDir::homePath() == home) {
        const QString downloads =
            QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        if (usableFolder(downloads))
            return QDir(downloads).absolutePath();
    } else if (usableFolder(home + QStringLiteral("/Downloads"))) {
        return home + QStringLiteral("/Downloads");
    }
    return usableFolder(home) ? home : QDir::tempPath();
}

LinkAction actionFor(const QUrl& url, bool clicked) {
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return LinkAction::Follow;
    if (scheme == QLatin1String("mailto"))
        return clicked ? LinkAction::Mail : LinkAction::Refuse;
    // What the engine shows by itself: blank and generated pages, the local
    // welcome page. None of them is handed to the desktop.
    static const QStringList internal = {QStringLiteral("about"), QStringLiteral("data"),
                                         QStringLiteral("blob"), QStringLiteral("file")};
    return internal.contains(scheme) ? LinkAction::Follow : LinkAction::Refuse;
}

bool isProgramResource(const QUrl& url) {
    return url.scheme().compare(QLatin1String("qrc"), Qt::CaseInsensitive) == 0;
}

QUrl mailLink(const QUrl& url) {
    static const QStringList kept = {QStringLiteral("subject"), QStringLiteral("body"),
                                     QStringLiteral("cc"), QStringLiteral("bcc")};
    QUrlQuery query;
    const auto items = QUrlQuery(url).queryItems(QUrl::FullyEncoded);
    for (const auto& [key, value] : items) {
        if (kept.contains(key, Qt::CaseInsensitive))
            query.addQueryItem(key, value);
    }
    QUrl mail;
    mail.setScheme(QStringLiteral("mailto"));
    mail.setPath(url.path(QUrl::FullyEncoded), QUrl::TolerantMode);
    if (!query.isEmpty())
        mail.setQuery(query);
    return mail;
}

DialogGate::Ask DialogGate::opening(const QString& origin, qint64 nowMs) {
    if (m_open || m_silenced.contains(origin))
        return {false, false};
    m_open = true;
    if (origin != m_origin || nowMs - m_lastClosedMs > RowGapMs)
        m_inRow = 0;
    m_origin = origin;
    ++m_inRow;
    return {true, m_inRow >= EscapeFrom};
}

void DialogGate::closed(bool silence, qint64 nowMs) {
    m_open = false;
    m_lastClosedMs = nowMs;
    if (silence)
        m_silenced.insert(m_origin);
}

void DialogGate::reset() {
    m_silenced.clear();
    m_inRow = 0;
    m_origin.clear();
}

} // namespace pagerules
