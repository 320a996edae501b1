#include "UndoLog.h"

#include "platform/FileSystem.h"
#include "platform/GbkText.h"

using namespace Qt::Literals::StringLiterals;

namespace Execute {

QString UndoLogName(const QDateTime& now)
{
    const QTime time = now.time();
    return now.date().toString(u"yyyy-MM-dd"_s) + u' ' + QString::number(time.hour()) + u"时"_s +
           QString::number(time.minute()) + u"分"_s + QString::number(time.second()) + u"秒.txt"_s;
}

bool UndoFolderHasFiles(const QString& undoFolder)
{
    return !Platform::listFiles(undoFolder, u"*"_s).isEmpty();
}

QString unrecordableReason(const QString& path, bool isCurrentPath)
{
    if (path.contains(u'\r') || path.contains(u'\n'))
        return u"名称含有换行符"_s;
    if (path.contains(QChar(0)))
        return u"名称含有空字符"_s;
    // The reader trims each line; after the leading quote nothing can protect a
    // trailing space of the current path, while the old path is followed by
    // its closing quote.
    if (isCurrentPath && path.endsWith(u' '))
        return u"名称以空格结尾"_s;
    if (!isCurrentPath && path.startsWith(u' '))
        return u"名称以空格开头"_s;
    return {};
}

UndoLogEncoding neededEncoding(const QStringList& paths)
{
    for (const QString& path : paths)
        if (!Platform::gbkCanEncode(path))
            return UndoLogEncoding::Utf8;
    return UndoLogEncoding::Gbk;
}

QByteArray undoEntryBytes(const QString& currentPath, const QString& oldPath, UndoLogEncoding encoding)
{
    if (encoding == UndoLogEncoding::Utf8)
        return encodedUndoEntry({}, currentPath.toUtf8(), oldPath.toUtf8());
    return encodedUndoEntry({}, Platform::encodeGbk(currentPath), Platform::encodeGbk(oldPath));
}

QByteArray encodedUndoEntry(const QByteArray& folder, const QByteArray& currentName,
                            const QByteArray& oldName)
{
    QByteArray entry;
    entry.reserve(2 * folder.size() + currentName.size() + oldName.size() + 6);
    entry += '"';
    entry += folder;
    entry += currentName;
    entry += "\r\n";
    entry += folder;
    entry += oldName;
    entry += "\"\r\n";
    return entry;
}

} // namespace Execute
