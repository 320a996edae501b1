#include "UndoRecords.h"

#include "UndoLogDocument.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Execute {

std::optional<QDateTime> undoLogNameTime(const QString& name, int* copy)
{
    static const QRegularExpression pattern(
        uR"(^(\d{4})-(\d{2})-(\d{2}) (\d{1,2})时(\d{1,2})分(\d{1,2})秒(?: \((\d+)\))?\.txt$)"_s);
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    if (copy)
        *copy = match.hasCaptured(7) ? match.captured(7).toInt() : 1;
    return QDateTime(date, time);
}

QList<UndoRecordSummary> listUndoRecords(const QString& undoFolder, bool* ok)
{
    if (ok)
        *ok = true;
    if (!QFileInfo(undoFolder).isDir())
        return {};
    const QString folder = undoFolder.endsWith(u'/') ? undoFolder : undoFolder + u'/';
    const QStringList names = Platform::listFiles(folder, u"*.txt"_s, ok);

    struct Keyed
    {
        UndoRecordSummary summary;
        QDateTime moment;
        int copy = 1;
    };
    QList<Keyed> records;
    records.reserve(names.size());
    for (const QString& name : names) {
        Keyed keyed;
        keyed.summary.name = name;
        const std::optional<QDateTime> named = undoLogNameTime(name, &keyed.copy);
        // Written by a run, a record's name keeps the moment of the run even
        // after an undo rewrote part of it; only other names fall back to the
        // file's own time.
        keyed.moment = named ? *named : QFileInfo(folder + name).lastModified();
        QFile file(folder + name);
        if (file.open(QIODevice::ReadOnly))
            keyed.summary.entries = UndoLogDocument::parse(file.readAll()).entries().size();
        else
            keyed.summary.readable = false;
        records.append(keyed);
    }
    std::stable_sort(records.begin(), records.end(), [](const Keyed& a, const Keyed& b) {
        if (a.moment != b.moment)
            return a.moment > b.moment;
        return a.copy > b.copy;
    });
    QList<UndoRecordSummary> summaries;
    summaries.reserve(records.size());
    for (const Keyed& keyed : records)
        summaries.append(keyed.summary);
    return summaries;
}

QString findUndoRecord(const QString& argument, const QString& undoFolder)
{
    if (argument.isEmpty())
        return {};
    const QFileInfo given(argument);
    if (given.isFile())
        return given.absoluteFilePath();
    if (argument.contains(u'/') || undoFolder.isEmpty())
        return {};
    const QFileInfo inUndoFolder(QDir(undoFolder).filePath(argument));
    return inUndoFolder.isFile() ? inUndoFolder.absoluteFilePath() : QString();
}

} // namespace Execute
