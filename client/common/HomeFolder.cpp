#include "HomeFolder.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#include <vector>
#endif

namespace homefolder {
namespace {

bool usable(const QString& folder) {
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && !info.isRoot();
}

#ifdef Q_OS_UNIX
QString accountHome() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return {};
    return QFile::decodeName(found->pw_dir);
}

QString privateFallback() {
    const QString folder = QDir::tempPath() + QStringLiteral("/orvanta-home-%1").arg(getuid());
    if (!QDir().mkpath(folder))
        return {};
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return folder;
}
#endif

} // namespace

QString ensure() {
#ifdef Q_OS_UNIX
    const QString given = qEnvironmentVariable("HOME");
    if (usable(given))
        return given;
    QString home = accountHome();
    if (!usable(home))
        home = privateFallback();
    if (!home.isEmpty())
        qputenv("HOME", QFile::encodeName(home));
    return home;
#else
    return QDir::homePath();
#endif
}

} // namespace homefolder
