#pragma once

#include "workbook/Cell.h"
#include "workbook/ExcelHost.h"
#include "workbook/Range.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <algorithm>

namespace Fuzz {

// Opens `path` and reads what the workbook tab and the command line read: the
// sheets, each used range, its count and the texts of its first cells.
inline void walkWorkbook(const QString& path)
{
    Xl::ExcelHost host;
    host.setConverter(QString()); // legacy formats would start ssconvert
    Xl::WorkbookError error;
    Xl::Workbook* book = host.Open(path, &error);
    if (!book)
        return;
    for (int i = 1; i <= book->sheetCount(); ++i)
        (void)book->sheetName(i);
    for (Xl::Worksheet* sheet : book->worksheetList()) {
        const Xl::Range used = sheet->UsedRange();
        (void)used.address();
        (void)used.CountA();
        const int rows = std::min(used.rowCount(), 16);
        const int columns = std::min(used.columnCount(), 16);
        for (int r = 1; r <= rows; ++r) {
            for (int c = 1; c <= columns; ++c) {
                const Xl::Cell cell = used.Cells(r, c);
                (void)cell.Text();
                (void)cell.Formula();
            }
        }
        (void)sheet->mergedCells();
    }
}

} // namespace Fuzz
