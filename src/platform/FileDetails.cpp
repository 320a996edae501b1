#include "FileDetails.h"

#include "FileAttributes.h"

#include <QFile>
#include <QHash>
#include <QMimeDatabase>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>

namespace Platform {

namespace {

// Local wall-clock time through localtime_r: QDateTime's own conversion costs
// several times more, which shows in folders of tens of thousands of files.
QDateTime fromStatx(const struct statx_timestamp& ts)
{
    const time_t seconds = time_t(ts.tv_sec);
    struct tm local;
    if (!localtime_r(&seconds, &local))
        return {};
    QDateTime time(QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
                   QTime(local.tm_hour, local.tm_min, qMin(local.tm_sec, 59), int(ts.tv_nsec / 1000000)),
                   Qt::OffsetFromUTC, int(local.tm_gmtoff));
    return time;
}

} // namespace

QString typeDescription(const QString& fileName)
{
    // Descriptions depend only on the extension; the cache keeps large folders fast.
    static QMimeDatabase database;
    thread_local QHash<QString, QString> cache;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString key = dot < 0 ? QString() : fileName.mid(dot).toLower();
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    const QString comment = database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).comment();
    cache.insert(key, comment);
    return comment;
}

FileDetails readFileDetails(const QString& path)
{
    FileDetails details;
    const qsizetype slash = path.lastIndexOf(u'/');
    details.typeDescription = typeDescription(slash < 0 ? path : path.mid(slash + 1));
    const QByteArray native = QFile::encodeName(path);
    struct statx sx;
    if (::statx(AT_FDCWD, native.constData(), 0,
                STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME, &sx) == 0) {
        if (sx.stx_mask & STATX_SIZE)
            details.size = qint64(sx.stx_size);
        if (sx.stx_mask & STATX_BTIME)
            details.created = fromStatx(sx.stx_btime);
        if (sx.stx_mask & STATX_MTIME)
            details.modified = fromStatx(sx.stx_mtime);
        if (sx.stx_mask & STATX_ATIME)
            details.accessed = fromStatx(sx.stx_atime);
        details.attributes = attributesFromStat(native, sx.stx_mode, path.mid(slash + 1).startsWith(u'.'));
    }
    return details;
}

} // namespace Platform
