#pragma once

#include "ContactRow.h"

#include <QString>
#include <QStringList>

namespace Contacts {

// True for a path whose name ends in .xls, .xlsx or .xlsm (any case): a
// workbook, read through the workbook engine. Any other file is a text table.
bool isWorkbookPath(const QString& path);

// `Read_xls`: the worksheets of a workbook, one line each: its name, followed by
// "(空白工作表)" when it holds no non-empty cell. False with `error` when the
// workbook cannot be opened.
bool Read_xls(const QString& path, QStringList* sheetLines, QString* error = nullptr);

// `ReadSheetRows`: the contacts of worksheet `sheetPosition` (1-based among the
// worksheets): rows 2 to the last non-empty cell of column A, 编号 = row − 1, the
// six fields from columns A to F as the cells show them (empty cell: ""). False
// with `error` (and no rows) when the workbook or the sheet cannot be read.
bool ReadSheetRows(const QString& path, int sheetPosition, ContactRows& rows, QString* error = nullptr);

struct TextTableResult
{
    ContactRows rows;
    bool readable = true; // false: the file could not be opened (`error` says why)
    QString error;
    bool stopped = false; // a line without tab and comma ended the reading
};

// `Read_Text`: a comma- or tab-separated table (tabs and commas both separate,
// even mixed). The text is UTF-8 when valid (byte order mark or not), UTF-16 by
// its mark, else GBK. Fields in double quotes may hold commas, tabs, line breaks
// and doubled quotes (RFC 4180). The first record is the title line; each
// following record gives a row, 编号 counting from 1, fields 姓名 … 传真 from the
// first five fields and 其他 from the rest joined by commas. A record without
// tab or comma stops the reading: the rows so far stay and `stopped` is set.
TextTableResult Read_Text(const QString& path);
TextTableResult readTextTable(const QString& text);

// The stop message of Read_Text and its title "转换成VCF".
QString textStopMessage();
QString textStopTitle();

} // namespace Contacts
