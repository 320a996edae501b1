#include "AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

AppPaths::AppPaths(const QString& applicationFolder, const QString& userDataFolder,
                   const QString& installDataFolder)
    : m_applicationFolder(QDir::cleanPath(applicationFolder)),
      m_userDataFolder(QDir::cleanPath(userDataFolder)),
      m_installDataFolder(installDataFolder.isEmpty() ? QString() : QDir::cleanPath(installDataFolder))
{
}

AppPaths AppPaths::fromExecutable()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (userData.isEmpty())
        userData = QDir::homePath() + u"/.local/share/tarnwick"_s;
    return AppPaths(exeDir, userData,
                    QDir::cleanPath(exeDir + u'/' + QStringLiteral(TARNWICK_DATA_FROM_BIN)));
}

bool AppPaths::applicationFolderWritable() const
{
    if (m_applicationFolder.isEmpty())
        return false;
    return ::access(QFile::encodeName(m_applicationFolder).constData(), W_OK | X_OK) == 0;
}

bool AppPaths::installed() const
{
    return !m_installDataFolder.isEmpty() && QFileInfo(m_installDataFolder).isDir();
}

QString AppPaths::dataFolder() const
{
    if (m_userDataFolder.isEmpty() || (applicationFolderWritable() && !installed()))
        return m_applicationFolder;
    return m_userDataFolder;
}

QString AppPaths::undoFolder() const
{
    return dataFolder() + u"/undofile"_s;
}

QString AppPaths::programFile(const QString& name) const
{
    const QString primary = dataFolder() + u'/' + name;
    if (QFileInfo::exists(primary))
        return primary;
    for (const QString& folder : {m_applicationFolder, m_installDataFolder}) {
        if (folder.isEmpty())
            continue;
        const QString candidate = folder + u'/' + name;
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return primary;
}

} // namespace Platform
