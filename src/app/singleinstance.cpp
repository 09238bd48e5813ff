#include "app/singleinstance.h"

#include <QDir>

namespace corvane {

SingleInstance::SingleInstance(const QString &name, const QString &folder)
{
    QString base = folder;
    if (base.isEmpty())
        base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty())
        base = QDir::tempPath();
    m_path = QDir(base).filePath(name + QStringLiteral(".lock"));
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a dead owner makes a lock stale, never its age: Corvane runs for days.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::checkMutex()
{
    if (m_lock->tryLock(0))
        return true;
    return m_lock->error() != QLockFile::LockFailedError;
}

} // namespace corvane
