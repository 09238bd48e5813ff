#pragma once

// One running Corvane per user session.
//
// The guard is a lock file named after the program in the user's runtime folder
// ($XDG_RUNTIME_DIR, or the temp folder where that is unset). The system gives the lock up when the
// process ends, however it ends: a lock left behind by a process that was killed is found stale
// and taken over by the next start.

#include <QLockFile>
#include <QString>

#include <memory>

namespace corvane {

class SingleInstance
{
public:
    // name is the program's title; folder is where the lock file lies (empty: the runtime folder).
    explicit SingleInstance(const QString &name, const QString &folder = {});
    ~SingleInstance();

    // True when this is the only instance; the lock is then held until this object ends. A lock
    // that cannot be made for another reason (an unwritable folder) lets the program start.
    bool checkMutex();

    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace corvane
