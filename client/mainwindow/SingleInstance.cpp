#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// A running copy keeps its lock file open and locked (QLockFile takes an
// advisory lock on it) until it ends, whatever the file says. Qt itself goes
// by the process the file names, and keeps a lock it cannot read (empty,
// garbled, another host's) for ever; the open lock is the one sure sign.
bool heldByRunningCopy(const QString& path) {
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false; // gone, or not even ours to read: no copy of ours holds it
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) == -1 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
#else
    // Windows keeps a running copy's lock file from being deleted.
    return !QFile::remove(path) && QFile::exists(path);
#endif
}

} // namespace

SingleInstance::SingleInstance(const QString& lockPath) : path_(lockPath) {
    if (lockPath.isEmpty())
        return;
    lock_ = std::make_unique<QLockFile>(lockPath);
    // The lock lives as long as the program: only a dead owner makes it stale.
    lock_->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPathFor(const QString& name) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return {};
    return dir + QLatin1Char('/') + name + QStringLiteral(".lock");
}

bool SingleInstance::anotherCopyRunning() {
    if (!lock_ || lock_->isLocked())
        return false;
    if (lock_->tryLock(0))
        return false;
    if (lock_->error() != QLockFile::LockFailedError)
        return false;
    if (heldByRunningCopy(path_))
        return true;
    QFile::remove(path_);
    if (lock_->tryLock(0))
        return false;
    // Another copy took it between the two tries.
    return lock_->error() == QLockFile::LockFailedError;
}
