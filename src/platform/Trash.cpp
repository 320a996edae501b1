#include "Trash.h"

#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace Platform {

namespace {

QByteArray native(const QString& path)
{
    return QFile::encodeName(path);
}

bool ensureFolder(const QString& path, mode_t mode)
{
    struct stat st;
    if (::lstat(native(path).constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return QDir().mkpath(QFileInfo(path).path()) && ::mkdir(native(path).constData(), mode) == 0;
}

bool ensureTrashLayout(const QString& trash)
{
    return ensureFolder(trash, 0700) && ensureFolder(trash + u"/files"_s, 0700) &&
           ensureFolder(trash + u"/info"_s, 0700);
}

dev_t deviceOf(const QString& path, bool* ok)
{
    struct stat st;
    *ok = ::lstat(native(path).constData(), &st) == 0;
    return *ok ? st.st_dev : 0;
}

// The mount point holding `path`: the highest ancestor on the same device.
QString topDirectory(const QString& path)
{
    bool ok = false;
    const dev_t device = deviceOf(path, &ok);
    QString current = QFileInfo(path).absolutePath();
    while (current != u"/"_s) {
        const QString parent = QFileInfo(current).absolutePath();
        bool parentOk = false;
        if (deviceOf(parent, &parentOk) != device || !parentOk)
            break;
        current = parent;
    }
    return current;
}

} // namespace

Trash::Trash(const QString& dataHome) : m_dataHome(dataHome)
{
    if (m_dataHome.isEmpty())
        m_dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (m_dataHome.isEmpty())
        m_dataHome = QDir::homePath() + u"/.local/share"_s;
}

QString Trash::homeTrash() const
{
    return m_dataHome + u"/Trash"_s;
}

QString Trash::trashFor(const QString& absolutePath, QString* topdir, QString* error) const
{
    topdir->clear();
    bool fileOk = false;
    const dev_t fileDevice = deviceOf(absolutePath, &fileOk);
    if (!fileOk) {
        if (error)
            *error = u"the file does not exist"_s;
        return {};
    }
    // The home trash serves its own volume; find that volume through the
    // nearest existing ancestor of the trash folder.
    QString probe = homeTrash();
    while (!PathExists(probe) && probe != u"/"_s && !probe.isEmpty())
        probe = QFileInfo(probe).absolutePath();
    bool homeOk = false;
    const dev_t homeDevice = deviceOf(probe, &homeOk);
    if (homeOk && homeDevice == fileDevice) {
        if (ensureTrashLayout(homeTrash()))
            return homeTrash();
        if (error)
            *error = u"the trash folder cannot be created"_s;
        return {};
    }
    const QString top = topDirectory(absolutePath);
    const QString uid = QString::number(::getuid());
    // $topdir/.Trash must be a real folder with the sticky bit to be used.
    struct stat st;
    const QString shared = top + u"/.Trash"_s;
    if (::lstat(native(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QString mine = shared + u'/' + uid;
        if (ensureTrashLayout(mine)) {
            *topdir = top;
            return mine;
        }
    }
    const QString own = top + u"/.Trash-"_s + uid;
    if (ensureTrashLayout(own)) {
        *topdir = top;
        return own;
    }
    if (error)
        *error = u"no trash can be used on this volume"_s;
    return {};
}

bool Trash::moveToTrash(const QString& path, QString* error, const QDateTime& when)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QString topdir;
    const QString trash = trashFor(absolute, &topdir, error);
    if (trash.isEmpty())
        return false;

    // In a volume's trash the path is relative to the volume's top folder.
    QString recorded = absolute;
    if (!topdir.isEmpty() && absolute.startsWith(topdir + u'/'))
        recorded = absolute.mid(topdir.size() + 1);
    const QByteArray info = "[Trash Info]\nPath=" + QUrl::toPercentEncoding(recorded, "/") +
                            "\nDeletionDate=" + when.toString(u"yyyy-MM-ddTHH:mm:ss"_s).toUtf8() + "\n";

    const QString name = QFileInfo(absolute).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString suffix = dot > 0 ? name.mid(dot) : QString();
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const QString entry = attempt == 1 ? name : stem + u'.' + QString::number(attempt) + suffix;
        const QString infoPath = trash + u"/info/"_s + entry + u".trashinfo"_s;
        // Creating the info file exclusively reserves the name.
        const int fd = ::open(native(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            if (error)
                *error = errnoText(errno);
            return false;
        }
        const bool written =
            ::write(fd, info.constData(), size_t(info.size())) == info.size() && ::fsync(fd) == 0;
        ::close(fd);
        if (!written) {
            ::unlink(native(infoPath).constData());
            if (error)
                *error = u"the trash information cannot be written"_s;
            return false;
        }
        const RenameResult moved = renameNoReplace(absolute, trash + u"/files/"_s + entry, error);
        if (moved == RenameResult::Renamed)
            return true;
        ::unlink(native(infoPath).constData());
        if (moved != RenameResult::TargetExists)
            return false;
    }
    if (error)
        *error = u"no free name in the trash"_s;
    return false;
}

} // namespace Platform
