#pragma once

#include <QDateTime>
#include <QString>

namespace Platform {

// What the file list shows of one file. Each property is read on its own; one
// that cannot be read is left invalid (size -1, attributes -1, null times,
// empty type), so the row shows an empty cell.
struct FileDetails
{
    QString typeDescription;
    qint64 size = -1;
    int attributes = -1;
    QDateTime created; // birth time where the file system records it
    QDateTime modified;
    QDateTime accessed;
};

FileDetails readFileDetails(const QString& path);

// The description of a file's type in the user's language, from its name.
QString typeDescription(const QString& fileName);

} // namespace Platform
