#pragma once

#include "ContactRow.h"

#include <QString>

namespace Contacts {

// The most contacts a workbook of the path's format holds below its title row
// (.xls: 65,535; .xlsx and .xlsm: 1,048,575); 0 for a name that is no workbook
// we write.
int maxExportRows(const QString& path);

// `ExportWorkbook`: a new workbook at `path` (.xls, .xlsx or .xlsm; a file there
// is replaced atomically): on its first worksheet "Sheet1" the title row "编号"
// "姓名" "移动" "家庭" "工作" "传真" "其他", then row 1 + n holds n as a number and
// the six fields of row n as text (empty fields leave their cells empty).
// Columns A to G fitted to their content and centred both ways, and `SetBorder`
// on the used range. False with `error` (nothing written) for an unknown format,
// too many rows or a failed save.
bool ExportWorkbook(const QString& path, const ContactRows& rows, QString* error = nullptr);

// "转换为Excel文件".
QString excelMessageTitle();

} // namespace Contacts
