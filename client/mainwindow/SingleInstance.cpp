#include "SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& lockPath) {
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
    return lock_->error() == QLockFile::LockFailedError;
}
