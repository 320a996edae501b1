#include "BlankSheets.h"

#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "platform/FileSystem.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

bool isBlankWorksheet(const Worksheet& sheet)
{
    return sheet.lastValueRow() == 0 && !sheet.hasDrawing();
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
    // A snapshot: every worksheet present at the start is visited once.
    for (Worksheet* ws : book->worksheetList()) {
        if (!isBlankWorksheet(*ws))
            continue;
        if (result.count < 255)
            ++result.count;
        // The workbook's last (visible) sheet is refused by the engine: it
        // stays, counted.
        if (ws->Delete())
            ++result.deleted;
    }
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
        for (const QString& name : std::as_const(run.names)) {
            run.books << Delete_BlankSheet(host, folder + name);
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
