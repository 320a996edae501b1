#include "WorkbookCommand.h"

#include "CellAddress.h"
#include "ExcelHost.h"
#include "SheetPreviewModel.h"
#include "WorkbookInfo.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::Literals::StringLiterals;
using namespace Xl;

namespace {

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\t':
            out += u"\\t"_s;
            break;
        case '\n':
            out += u"\\n"_s;
            break;
        case '\r':
            out += u"\\r"_s;
            break;
        case '\\':
            out += u"\\\\"_s;
            break;
        default:
            out += c;
        }
    }
    return out;
}

void usage(QTextStream& err)
{
    err << u"用法：workbook info 文件或文件夹 [--json]\n"_s
        << u"      workbook cells 文件 --sheet 序号 [--json]\n"_s;
}

QJsonObject errorJson(const WorkbookError& e)
{
    return QJsonObject{{u"message"_s, e.message}, {u"detail"_s, e.detail}};
}

QJsonObject summaryJson(const WorkbookSummary& w)
{
    QJsonObject o{{u"file"_s, w.fileName}, {u"path"_s, w.path}};
    if (!w.ok()) {
        o.insert(u"error"_s, errorJson(w.error));
        return o;
    }
    o.insert(u"sheets"_s, w.sheetCount);
    QJsonArray sheets;
    for (const WorksheetSummary& s : w.worksheets) {
        sheets.append(QJsonObject{{u"index"_s, s.index},
                                  {u"name"_s, s.name},
                                  {u"firstRow"_s, s.firstRow},
                                  {u"firstColumn"_s, s.firstColumn},
                                  {u"rows"_s, s.rowCount},
                                  {u"columns"_s, s.columnCount},
                                  {u"blank"_s, s.blank}});
    }
    o.insert(u"worksheets"_s, sheets);
    return o;
}

void printSummary(const WorkbookSummary& w, QTextStream& out, QTextStream& err)
{
    if (!w.ok()) {
        err << escaped(w.fileName) << u'\t' << escaped(w.error.message) << u'\t' << escaped(w.error.detail)
            << u'\n';
        return;
    }
    for (const WorksheetSummary& s : w.worksheets) {
        out << escaped(w.fileName) << u'\t' << s.index << u'\t' << escaped(s.name) << u'\t' << s.rowCount
            << u"×"_s << s.columnCount << u'\t' << (s.blank ? u"(空白工作表)"_s : QString()) << u'\n';
    }
}

int info(const QString& path, bool json, QTextStream& out, QTextStream& err)
{
    const QFileInfo fi(path);
    if (!fi.exists()) {
        err << escaped(path) << u'\t' << WorkbookError::messageFor(WorkbookError::Code::NotFound) << u'\n';
        return 2;
    }
    ExcelHost host;
    QList<WorkbookSummary> books;
    QJsonObject root;
    if (fi.isDir()) {
        QString folder = fi.absoluteFilePath();
        const FolderScan scan = Read_xls(folder, host);
        if (scan.status != FolderScan::Status::Ok) {
            err << escaped(folder) << u'\t' << scan.message() << u'\n';
            return 2;
        }
        books = scan.workbooks;
        root.insert(u"folder"_s, scan.folder);
    } else {
        books << summarizeWorkbook(host, fi.absoluteFilePath());
    }
    bool failed = false;
    QJsonArray list;
    for (const WorkbookSummary& w : books) {
        failed = failed || !w.ok();
        if (json)
            list.append(summaryJson(w));
        else
            printSummary(w, out, err);
    }
    if (json) {
        root.insert(u"workbooks"_s, list);
        out << QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
        for (const WorkbookSummary& w : books) {
            if (!w.ok())
                err << escaped(w.fileName) << u'\t' << escaped(w.error.message) << u'\t'
                    << escaped(w.error.detail) << u'\n';
        }
    }
    return failed ? 1 : 0;
}

int cells(const QString& path, int sheet, bool json, QTextStream& out, QTextStream& err)
{
    const QFileInfo fi(path);
    if (!fi.isFile()) {
        err << escaped(path) << u'\t' << WorkbookError::messageFor(WorkbookError::Code::NotFound) << u'\n';
        return 2;
    }
    ExcelHost host;
    SheetPreviewModel preview;
    WorkbookError error;
    if (!preview.load(host, fi.absoluteFilePath(), sheet, &error)) {
        err << escaped(fi.fileName()) << u'\t' << escaped(error.message) << u'\t' << escaped(error.detail)
            << u'\n';
        return error.code == WorkbookError::Code::NoSuchSheet ? 2 : 1;
    }
    // Rows are written as they are read from the model: memory follows the
    // stored cells, whatever the used range's size.
    if (json) {
        QStringList columns{u"行数"_s};
        for (int c = 1; c <= preview.sheetColumns(); ++c)
            columns << columnName(c);
        const QJsonObject head{{u"file"_s, fi.fileName()},
                               {u"sheet"_s, preview.sheetName()},
                               {u"rowCount"_s, preview.usedRowCount()},
                               {u"columns"_s, QJsonArray::fromStringList(columns)}};
        QByteArray text = QJsonDocument(head).toJson(QJsonDocument::Compact);
        text.chop(1); // the closing brace: the rows follow
        out << QString::fromUtf8(text) << u",\"rows\":["_s;
        for (int r = 1; r <= preview.sheetRows(); ++r) {
            if (r > 1)
                out << u",\n"_s;
            out << QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(preview.rowTexts(r)))
                                         .toJson(QJsonDocument::Compact));
        }
        out << u"]}\n"_s;
        return 0;
    }
    for (int r = 1; r <= preview.sheetRows(); ++r) {
        const QStringList texts = preview.rowTexts(r);
        for (qsizetype i = 0; i < texts.size(); ++i)
            out << (i ? u"\t"_s : QString()) << escaped(texts[i]);
        out << u'\n';
    }
    return 0;
}

} // namespace

int runWorkbookCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList args = arguments;
    if (!args.isEmpty() && args.first() == u"workbook"_s)
        args.removeFirst();
    if (args.isEmpty()) {
        usage(err);
        return 2;
    }
    const QString command = args.takeFirst();
    bool json = false;
    int sheet = -1;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--json"_s) {
            json = true;
        } else if (a == u"--sheet"_s) {
            if (i + 1 >= args.size()) {
                usage(err);
                return 2;
            }
            bool ok = false;
            sheet = args[++i].toInt(&ok);
            if (!ok || sheet < 1) {
                usage(err);
                return 2;
            }
        } else if (a.startsWith(u"--"_s)) {
            usage(err);
            return 2;
        } else {
            positional << a;
        }
    }
    int status = 2;
    if (command == u"info"_s && positional.size() == 1 && sheet < 0)
        status = info(positional.first(), json, out, err);
    else if (command == u"cells"_s && positional.size() == 1 && sheet >= 1)
        status = cells(positional.first(), sheet, json, out, err);
    else
        usage(err);
    out.flush();
    err.flush();
    return status;
}
