#include "UndoLogDocument.h"

#include "UndoLog.h"

#include "platform/GbkText.h"

using namespace Qt::Literals::StringLiterals;

namespace Execute {

namespace {

// GBK lead and trail bytes are all above 0x3F, so CR, LF, space and the double
// quote can be found in the raw bytes without decoding.
QList<QByteArray> trimmedLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    auto take = [&](qsizetype end) {
        qsizetype b = start;
        qsizetype e = end;
        while (b < e && bytes.at(b) == ' ')
            ++b;
        while (e > b && bytes.at(e - 1) == ' ')
            --e;
        if (e > b)
            lines.append(bytes.mid(b, e - b));
    };
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            take(i);
            if (c == '\r' && i + 1 < size && bytes.at(i + 1) == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < size)
        take(size);
    return lines;
}

QString parentOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString lastPart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

UndoLogDocument UndoLogDocument::parse(const QByteArray& bytes)
{
    UndoLogDocument document;
    document.m_utf8 = bytes.startsWith(Utf8ByteOrderMark);
    const QList<QByteArray> lines =
        trimmedLines(document.m_utf8 ? bytes.mid(qsizetype(sizeof(Utf8ByteOrderMark) - 1)) : bytes);
    document.m_blank = lines.isEmpty();

    // A decoder per line: one would carry a cut-off character or its error
    // state into the next line. Neither encoding uses CR, LF, space or the
    // double quote inside a multi-byte character.
    const bool utf8 = document.m_utf8;
    auto decode = [utf8](const QByteArray& line) {
        return utf8 ? QString::fromUtf8(line) : Platform::decodeGbk(line);
    };

    if (!lines.isEmpty()) {
        QString first = decode(lines.first());
        if (first.startsWith(u'"'))
            first.remove(0, 1);
        qsizetype cut = first.lastIndexOf(u'/');
        if (cut < 0)
            cut = first.lastIndexOf(u'\\');
        document.m_folderText = cut < 0 ? first : first.left(cut + 1);
    }

    for (qsizetype i = 0; i + 1 < lines.size();) {
        const QByteArray& current = lines.at(i);
        const QByteArray& old = lines.at(i + 1);
        if (!current.startsWith('"') || !old.endsWith('"')) {
            ++i; // a stray line: look for the next entry from the following line
            continue;
        }
        UndoEntry entry;
        entry.currentLine = current;
        entry.oldLine = old;
        entry.currentPath = decode(current.mid(1));
        entry.oldPath = decode(old.left(old.size() - 1));
        document.m_entries.append(entry);
        i += 2;
    }
    return document;
}

QByteArray UndoLogDocument::serialize(const QList<UndoEntry>& entries, bool utf8)
{
    QByteArray out;
    if (utf8)
        out += Utf8ByteOrderMark;
    for (const UndoEntry& entry : entries)
        out += entry.currentLine + "\r\n" + entry.oldLine + "\r\n";
    return out;
}

QString UndoLogDocument::entryProblem(const UndoEntry& entry)
{
    for (const QString* path : {&entry.currentPath, &entry.oldPath}) {
        const QString name = lastPart(*path);
        if (!path->startsWith(u'/') || path->contains(QChar(0)) || name.isEmpty() || name == u"."_s ||
            name == u".."_s)
            return u"路径无效"_s;
    }
    if (parentOf(entry.currentPath) != parentOf(entry.oldPath))
        return u"两个路径不在同一文件夹中"_s;
    return {};
}

} // namespace Execute
