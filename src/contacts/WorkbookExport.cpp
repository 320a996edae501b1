#include "WorkbookExport.h"

#include "workbook/Cell.h"
#include "workbook/ExcelHost.h"
#include "workbook/Range.h"
#include "workbook/Workbook.h"
#include "workbook/Worksheet.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace Contacts {

namespace {

// `SetBorder`: no diagonals, a thin continuous automatic-colour line on every
// edge and inside line. Removing diagonals visits every cell; a sheet this
// program has just filled has none, so the export leaves that step out.
void SetBorder(const Xl::Range& range, bool clearDiagonals = true)
{
    using Xl::BordersIndex;
    if (clearDiagonals) {
        range.setBorder(BordersIndex::DiagonalDown, Xl::LineStyle::None, Xl::BorderWeight::Thin,
                        Xl::ColorIndexAutomatic);
        range.setBorder(BordersIndex::DiagonalUp, Xl::LineStyle::None, Xl::BorderWeight::Thin,
                        Xl::ColorIndexAutomatic);
    }
    for (BordersIndex index :
         {BordersIndex::EdgeLeft, BordersIndex::EdgeTop, BordersIndex::EdgeBottom, BordersIndex::EdgeRight,
          BordersIndex::InsideVertical, BordersIndex::InsideHorizontal})
        range.setBorder(index, Xl::LineStyle::Continuous, Xl::BorderWeight::Thin, Xl::ColorIndexAutomatic);
}

} // namespace

int maxExportRows(const QString& path)
{
    switch (Xl::formatForPath(path)) {
    case Xl::FileFormat::Xls:
        return 65535;
    case Xl::FileFormat::Xlsx:
    case Xl::FileFormat::Xlsm:
        return 1048575;
    default:
        return 0;
    }
}

bool ExportWorkbook(const QString& path, const ContactRows& rows, QString* error)
{
    const int limit = maxExportRows(path);
    if (limit == 0) {
        if (error)
            *error = u"只能导出为 Excel 工作簿（.xls、.xlsx 或 .xlsm）："_s + QFileInfo(path).fileName();
        return false;
    }
    if (rows.size() > limit) {
        if (error)
            *error = u"共有 %1 个联系人，%2 工作簿最多只能容纳 %3 个（另有标题行），未创建文件。"_s
                         .arg(rows.size())
                         .arg(QFileInfo(path).suffix().toLower())
                         .arg(limit);
        return false;
    }

    Xl::ExcelHost host;
    Xl::WorkbookError failure;
    Xl::Workbook* book = host.Add(QString(), &failure);
    if (!book) {
        if (error)
            *error = failure.toString();
        return false;
    }
    Xl::Worksheet* sheet = book->Worksheets(u"Sheet1"_s);
    if (!sheet)
        sheet = book->Worksheets(1);
    sheet->Activate();

    for (int column = 0; column < ContactRow::ColumnCount; ++column)
        sheet->Cells(1, column + 1).setValue(Xl::CellValue::text(ContactRow::header(column)));
    for (qsizetype n = 1; n <= rows.size(); ++n) {
        const ContactRow& row = rows.at(n - 1);
        const int sheetRow = int(n) + 1;
        sheet->Cells(sheetRow, 1).setValue(Xl::CellValue::number(double(n)));
        for (int column = ContactRow::Name; column <= ContactRow::Tel; ++column) {
            const QString& field = row[column];
            if (!field.isEmpty())
                sheet->Cells(sheetRow, column + 1).setValue(Xl::CellValue::text(field));
        }
    }
    const Xl::Range columns = sheet->Columns(1, ContactRow::ColumnCount);
    columns.AutoFit();
    columns.setHorizontalAlignment(Xl::HAlign::Center);
    columns.setVerticalAlignment(Xl::VAlign::Center);
    SetBorder(sheet->UsedRange(), false);

    if (!book->SaveAs(path, &failure)) {
        if (error)
            *error = failure.toString();
        book->Close(false);
        return false;
    }
    book->Close(false);
    return true;
}

QString excelMessageTitle()
{
    return u"转换为Excel文件"_s;
}

} // namespace Contacts
