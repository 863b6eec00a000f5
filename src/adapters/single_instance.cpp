#include "adapters/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace quillon {

SingleInstance::SingleInstance(const QString& lock_dir) {
    QString dir = lock_dir;
    if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QDir().mkpath(dir);
    lock_ = std::make_unique<QLockFile>(QDir(dir).filePath(QStringLiteral("ardentix-quillon.lock")));
    lock_->setStaleLockTime(0);  // a lock whose process is gone is stale whatever its age
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    return lock_->tryLock(0);
}

}  // namespace quillon
