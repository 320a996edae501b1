#include "BlankSheets.h"

#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "platform/FileSystem.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

bool isBlankWorksheet(const Worksheet& sheet)
{
    return sheet.lastValueRow() == 0 && !sheet.hasDrawing();
}

int deleteBlankWorksheets(Workbook& book, quint8* found)
{
    int deleted = 0;
    quint8 count = 0;
    // A snapshot: every worksheet present at the start is visited once.
    for (Worksheet* ws : book.worksheetList()) {
        if (!isBlankWorksheet(*ws))
            continue;
        if (count < 255)
            ++count;
        // The workbook's last (visible) sheet is refused by the engine: it
        // stays, counted.
        if (ws->Delete())
            ++deleted;
    }
    if (found)
        *found = count;
    return deleted;
}

BlankSheetResult Delete_BlankSheet(ExcelHost& host, const QString& path)
{
    BlankSheetResult result;
    result.path = path;
    if (!Platform::PathExists(path))
        return result;
    result.exists = true;
    Workbook* book = host.Open(path, &result.error);
    if (!book)
        return result;
    result.deleted = deleteBlankWorksheets(*book, &result.count);
    if (result.deleted > 0) {
        result.saved = book->Close(true, &result.error);
        if (!result.saved)
            result.deleted = 0;
    } else {
        book->Close(false);
    }
    return result;
}

QString blankSheetMessage(const BlankSheetResult& result)
{
    return result.ok() && result.count > 0 ? u"空白工作表已删除"_s : QString();
}

bool BlankSheetFolderRun::anyFailed() const
{
    for (const BlankSheetResult& b : books) {
        if (!b.ok())
            return true;
    }
    return false;
}

QString BlankSheetFolderRun::Lblbook() const
{
    QStringList failed;
    for (const BlankSheetResult& b : books) {
        if (b.exists && !b.ok())
            failed << QFileInfo(b.path).fileName();
    }
    if (!failed.isEmpty())
        return u"    未能处理的工作簿："_s + failed.join(u"、"_s);
    if (scan.status == FolderScan::Status::Ok)
        return readDoneLabel(int(scan.workbooks.size()));
    return {};
}

BlankSheetFolderRun deleteAllBlankSheets(ExcelHost& host, QString& folder, const QStringList& previousNames,
                                         const ScanProgress& progress)
{
    BlankSheetFolderRun run;
    run.scan = Read_xls(folder, host, progress);
    if (run.scan.status == FolderScan::Status::Ok)
        run.names = run.scan.fileNames();
    else {
        run.messages << run.scan.message();
        run.names = previousNames;
    }
    bool anyBlank = false;
    if (!folder.isEmpty()) {
        for (qsizetype i = 0; i < run.names.size(); ++i) {
            // A workbook the reader just read without a blank worksheet has
            // none to delete: it is not opened again.
            if (run.scan.status == FolderScan::Status::Ok && run.scan.workbooks[i].ok() &&
                std::none_of(run.scan.workbooks[i].worksheets.begin(), run.scan.workbooks[i].worksheets.end(),
                             [](const WorksheetSummary& w) { return w.blank; })) {
                BlankSheetResult r;
                r.path = folder + run.names[i];
                r.exists = true;
                run.books << r;
                continue;
            }
            run.books << Delete_BlankSheet(host, folder + run.names[i]);
            anyBlank = anyBlank || run.books.last().count > 0;
        }
    }
    QString shown = folder;
    if (shown.endsWith(u'/') && shown.size() > 1)
        shown.chop(1);
    run.messages << u"文件夹 "_s + shown + u"\r\n"_s +
                        (anyBlank ? u"所有工作簿中空白工作表全部删除"_s : u"所有工作簿，没有空白工作表"_s);
    return run;
}

} // namespace Xl
