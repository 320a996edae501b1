#include "BenchSupport.h"

#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"

#include <QDir>

#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

namespace Bench {

bool writeWorkbook(const QString& path, int sheets, int rows, int columns)
{
    Xl::ExcelHost host;
    Xl::Workbook* book = host.Add();
    while (book->worksheetCount() < sheets)
        book->addWorksheet();
    while (book->worksheetCount() > sheets)
        book->Worksheets(book->worksheetCount())->Delete();
    for (int s = 1; s <= sheets; ++s) {
        Xl::Worksheet* ws = book->Worksheets(s);
        for (int c = 1; c <= columns; ++c)
            ws->Cells(1, c).setValue(Xl::CellValue::text(u"列"_s + QString::number(c)));
        for (int r = 2; r <= rows; ++r) {
            for (int c = 1; c <= columns; ++c) {
                if (c % 3 == 1)
                    ws->Cells(r, c).setValue(Xl::CellValue::text(u"客户%1-%2"_s.arg(r % 500).arg(c)));
                else
                    ws->Cells(r, c).setValue(Xl::CellValue::number(r * 1.5 + c));
            }
        }
    }
    Xl::WorkbookError error;
    return book->SaveAs(path, &error);
}

bool writeFolder(const QString& folder, int count, int sheets, int rows, int columns)
{
    QDir().mkpath(folder);
    const QString first = folder + u"/book001.xlsx"_s;
    if (!writeWorkbook(first, sheets, rows, columns))
        return false;
    for (int i = 2; i <= count; ++i) {
        const QString name = folder + u"/book%1.xlsx"_s.arg(i, 3, 10, QChar(u'0'));
        QFile::remove(name);
        if (!QFile::copy(first, name))
            return false;
    }
    return true;
}

double peakMegabytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

} // namespace Bench
