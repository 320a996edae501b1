#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

SingleInstance::SingleInstance(const QString& executablePath, const QString& lockFolder)
{
    QString folder = lockFolder;
    if (folder.isEmpty())
        folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    const QByteArray key =
        QCryptographicHash::hash(QDir::cleanPath(executablePath).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    m_path = folder + u"/tarnwick-"_s + QString::fromLatin1(key) + u".lock"_s;
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a dead owner makes the lock stale; a running copy keeps it however long it runs.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire()
{
    return m_lock->tryLock(0);
}

QString SingleInstance::lockPath() const
{
    return m_path;
}

} // namespace Platform
