#include "WorkbookInfo.h"

#include "CellAddress.h"
#include "ExcelHost.h"
#include "Workbook.h"
#include "Worksheet.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

const QString blankMarker = u"(空白工作表)"_s;

// Whether a file must be converted before it is read, from its first bytes.
bool needsConversion(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const ExcelHost::FileKind kind = ExcelHost::classify(f.read(2048), path);
    return kind == ExcelHost::FileKind::Compound || kind == ExcelHost::FileKind::OpenDocument ||
           kind == ExcelHost::FileKind::WebTable;
}

} // namespace

QStringList WorkbookSummary::sheetEntries(int ordinal) const
{
    QStringList out;
    for (const WorksheetSummary& s : worksheets)
        out << QString::number(ordinal) + u'|' + s.name + (s.blank ? blankMarker : QString());
    return out;
}

QStringList WorkbookSummary::sheetLines() const
{
    QStringList out;
    for (const WorksheetSummary& s : worksheets)
        out << s.name + (s.blank ? blankMarker : QString());
    return out;
}

WorkbookSummary summarizeWorkbook(ExcelHost& host, const QString& path)
{
    WorkbookSummary summary;
    summary.path = path;
    summary.fileName = QFileInfo(path).fileName();
    Workbook* book = host.Open(path, &summary.error);
    if (!book)
        return summary;
    summary.sheetCount = book->sheetCount();
    int index = 0;
    for (Worksheet* ws : book->worksheetList()) {
        WorksheetSummary s;
        s.index = ++index;
        s.name = ws->Name();
        const Range used = ws->UsedRange();
        s.firstRow = used.Row();
        s.firstColumn = used.Column();
        s.rowCount = used.rowCount();
        s.columnCount = used.columnCount();
        s.blank = used.CountA() == 0;
        summary.worksheets << s;
    }
    book->Close(false);
    return summary;
}

QStringList workbookExtensions()
{
    return {u".xls"_s, u".xlsx"_s, u".xlsm"_s};
}

QString FolderScan::message() const
{
    switch (status) {
    case Status::Ok:
        return {};
    case Status::EmptyPath:
        return u"请在左侧树状目录中选择文件夹"_s;
    case Status::NoWorkbooks:
    case Status::Unreadable:
        return u"所选文件夹中没有Excel文件，请重新选择！"_s;
    }
    return {};
}

QStringList FolderScan::sheetEntries() const
{
    QStringList out;
    for (int i = 0; i < workbooks.size(); ++i)
        out << workbooks[i].sheetEntries(i + 1);
    return out;
}

QList<int> FolderScan::sheetCounts() const
{
    QList<int> out;
    for (const WorkbookSummary& w : workbooks)
        out << int(w.worksheets.size());
    return out;
}

QStringList FolderScan::fileNames() const
{
    QStringList out;
    for (const WorkbookSummary& w : workbooks)
        out << w.fileName;
    return out;
}

int FolderScan::worksheetTotal() const
{
    int n = 0;
    for (const WorkbookSummary& w : workbooks)
        n += int(w.worksheets.size());
    return n;
}

bool FolderScan::anyFailed() const
{
    for (const WorkbookSummary& w : workbooks) {
        if (!w.ok())
            return true;
    }
    return false;
}

QString readingLabel(int i, const QString& fileName)
{
    return u"    正在读取第"_s + QString::number(i) + u"个工作簿:"_s + fileName;
}

QString readDoneLabel(int n)
{
    return u"    "_s + QString::number(n) + u"个工作簿读取完毕！"_s;
}

FolderScan listWorkbookFolder(QString& strPath)
{
    FolderScan scan;
    if (strPath.isEmpty()) {
        scan.status = FolderScan::Status::EmptyPath;
        return scan;
    }
    if (!strPath.endsWith(u'/'))
        strPath += u'/';
    scan.folder = strPath;

    bool ok = false;
    QStringList names = Platform::listFiles(strPath, u"*.xls;*.xlsx;*.xlsm"_s, &ok);
    // Excel's owner files ("~$Book1.xlsx") are not workbooks.
    names.erase(
        std::remove_if(names.begin(), names.end(), [](const QString& n) { return n.startsWith(u"~$"_s); }),
        names.end());
    if (!ok) {
        scan.status = FolderScan::Status::Unreadable;
        return scan;
    }
    if (names.isEmpty()) {
        scan.status = FolderScan::Status::NoWorkbooks;
        return scan;
    }
    for (const QString& n : names) {
        WorkbookSummary w;
        w.fileName = n;
        w.path = strPath + n;
        scan.workbooks << w;
    }
    return scan;
}

void convertLegacyAhead(ExcelHost& host, const QStringList& paths)
{
    QStringList legacy;
    for (const QString& p : paths) {
        if (needsConversion(p))
            legacy << p;
    }
    if (!legacy.isEmpty())
        host.convertAll(legacy, nullptr);
}

FolderScan Read_xls(QString& strPath, ExcelHost& host, const ScanProgress& progress)
{
    FolderScan scan = listWorkbookFolder(strPath);
    if (scan.status != FolderScan::Status::Ok)
        return scan;
    QStringList paths;
    for (const WorkbookSummary& w : scan.workbooks)
        paths << w.path;
    convertLegacyAhead(host, paths);
    for (int i = 0; i < paths.size(); ++i) {
        if (progress)
            progress(i + 1, int(paths.size()), scan.workbooks[i].fileName);
        scan.workbooks[i] = summarizeWorkbook(host, paths[i]);
    }
    return scan;
}

QList<SheetInfo> readSheetInfo(ExcelHost& host, const QString& path, WorkbookError* error)
{
    QList<SheetInfo> out;
    Workbook* book = host.Open(path, error);
    if (!book)
        return out;
    const qsizetype slash = path.lastIndexOf(u'/');
    int index = 0;
    for (Worksheet* ws : book->worksheetList()) {
        SheetInfo info;
        info.index = ++index;
        const Range used = ws->UsedRange();
        info.rowCount = used.rowCount();
        info.columnCount = used.columnCount();
        info.sheetCount = qint16(std::min(book->sheetCount(), 32767));
        info.sheetName = ws->Name();
        info.fileName = path.mid(slash + 1);
        info.folder = path.left(slash + 1);
        info.fullPath = path;
        out << info;
    }
    book->Close(false);
    return out;
}

bool previewWorksheet(ExcelHost& host, const QString& path, int worksheetIndex, SheetPreview* preview,
                      WorkbookError* error)
{
    Workbook* book = host.Open(path, error);
    if (!book)
        return false;
    Worksheet* ws = book->Worksheets(worksheetIndex);
    if (!ws) {
        book->Close(false);
        return fail(error, WorkbookError::Code::NoSuchSheet,
                    u"%1: %2"_s.arg(QFileInfo(path).fileName()).arg(worksheetIndex));
    }
    const Range used = ws->UsedRange();
    preview->sheetName = ws->Name();
    preview->rowCount = used.rowCount();
    preview->columns = QStringList{u"行数"_s};
    const int lastColumn = used.lastColumn();
    const int lastRow = used.lastRow();
    for (int c = 1; c <= lastColumn; ++c)
        preview->columns << columnName(c);
    preview->rows.clear();
    preview->rows.reserve(lastRow);
    for (int r = 1; r <= lastRow; ++r) {
        QStringList row;
        row.reserve(lastColumn + 1);
        row << u"行"_s + QString::number(r);
        for (int c = 1; c <= lastColumn; ++c)
            row << ws->Cells(r, c).Text();
        preview->rows << row;
    }
    book->Close(false);
    return true;
}

} // namespace Xl
