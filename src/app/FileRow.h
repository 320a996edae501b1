#pragma once

#include <QLocale>
#include <QString>

#include <array>

namespace App {

// One row of the file list: the ten columns in display order.
struct FileRow
{
    enum Column
    {
        FileId,
        OldName,
        NewName,
        option,
        fileLX,
        fileDX,
        fileSX,
        CTime,
        ETime,
        VTime,
        ColumnCount
    };

    std::array<QString, ColumnCount> cells;
    bool ticked = true;

    // The row of file `name` at 1-based position `id` in `folder` (ending with "/").
    // A property that cannot be read leaves its cell empty.
    static FileRow read(int id, const QString& folder, const QString& name,
                        const QLocale& locale = QLocale());
};

// "0B", "1024B", "1KB", "1.2KB", "1.12MB": binary units, half-to-even rounding on
// the exact value, shortest decimal form. Negative sizes (unreadable) give "".
QString sizeText(qint64 bytes);

// The attribute column's text; the whole value is compared, so a combination
// reads "未知". A negative (unreadable) value gives "".
QString AttributeText(int attributes);

} // namespace App
