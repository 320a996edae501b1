#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace Platform {

// Tells whether another copy of the same executable runs for this user: a lock
// file in the runtime folder, named after the executable's path. The lock of a
// process that died is taken over.
class SingleInstance
{
public:
    // `lockFolder` empty: $XDG_RUNTIME_DIR, else the temporary folder.
    explicit SingleInstance(const QString& executablePath, const QString& lockFolder = {});
    ~SingleInstance();

    // True when this process now holds the lock (no other copy runs).
    bool acquire();
    QString lockPath() const;

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_path;
};

} // namespace Platform
