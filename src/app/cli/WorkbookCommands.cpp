#include "WorkbookCommands.h"

#include "workbook/BlankSheets.h"
#include "workbook/CreateWorkbooks.h"
#include "workbook/ExcelHost.h"
#include "workbook/MergeBooks.h"
#include "workbook/MergeSheets.h"
#include "workbook/WorkbookCommand.h"
#include "workbook/WorkbookInfo.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::Literals::StringLiterals;

namespace App {

namespace {

// What a command prints: row lines, then messages, in the window's order.
class Output
{
public:
    Output(bool json, QTextStream& out) : m_json(json), m_out(out) {}
    void row(const QString& path, int count)
    {
        m_rows.append(QJsonObject{{u"path"_s, path}, {u"count"_s, count}});
        if (!m_json)
            m_out << path << u'\t' << count << u'\n';
    }
    // A row of the JSON document only.
    void jsonRow(const QJsonObject& row) { m_rows.append(row); }
    void message(const QString& text)
    {
        if (text.isEmpty())
            return;
        QString plain = text;
        plain.replace(u"\r\n"_s, u"\n"_s);
        m_messages.append(plain);
        if (!m_json)
            m_out << plain << u'\n';
    }
    void messages(const QStringList& texts)
    {
        for (const QString& t : texts)
            message(t);
    }
    int finish(int status)
    {
        if (m_json)
            m_out << QString::fromUtf8(
                QJsonDocument(QJsonObject{{u"rows"_s, m_rows}, {u"messages"_s, m_messages}}).toJson());
        m_out.flush();
        return status;
    }

private:
    bool m_json;
    QTextStream& m_out;
    QJsonArray m_rows;
    QJsonArray m_messages;
};

int usageError(QTextStream& err, const QString& message, const QCommandLineParser& parser)
{
    err << u"tarnwick-cli: "_s << message << u'\n' << parser.helpText();
    err.flush();
    return 2;
}

// Parses `args` (after "workbook SUBCOMMAND"); 0 when the command is to run,
// otherwise the exit status (help shown, or a usage error).
int parse(QCommandLineParser& parser, const QString& command, const QStringList& args,
          const QString& positional, QTextStream& out, QTextStream& err)
{
    parser.setApplicationDescription(u"tarnwick-cli workbook "_s + command);
    parser.addPositionalArgument(positional, QString());
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"显示这个命令的选项"_s);
    parser.addOption(help);
    parser.addOption(QCommandLineOption(u"json"_s, u"输出 JSON"_s));
    QStringList full = args;
    full.prepend(u"tarnwick-cli workbook "_s + command);
    if (!parser.parse(full))
        return usageError(err, parser.errorText(), parser);
    if (parser.isSet(help)) {
        out << parser.helpText();
        out.flush();
        return -1;
    }
    if (parser.positionalArguments().size() != 1)
        return usageError(err, u"需要一个"_s + positional, parser);
    return 0;
}

int mergeSheets(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption intoNew(u"into-new"_s, u"合并到新工作表（默认 \"my sheet\"）"_s, u"NAME"_s);
    const QCommandLineOption intoSheet(u"into-sheet"_s, u"合并到第 N 个工作表"_s, u"N"_s);
    const QCommandLineOption titleRow(u"title-row"_s, u"标题行（默认 2）"_s, u"N"_s);
    const QCommandLineOption noSingle(u"no-single-title"_s, u"不只保留一个标题行"_s);
    const QCommandLineOption backup(u"backup"_s, u"合并前备份工作簿"_s);
    parser.addOptions({intoNew, intoSheet, titleRow, noSingle, backup});
    if (const int status = parse(parser, u"merge-sheets"_s, args, u"FILE"_s, out, err))
        return std::max(status, 0);

    Xl::MergeSheetsOptions o;
    if (parser.isSet(intoNew) && parser.isSet(intoSheet))
        return usageError(err, u"--into-new 与 --into-sheet 只能选一个"_s, parser);
    if (parser.isSet(intoNew))
        o.strTxtName = parser.value(intoNew);
    int sheet = 0;
    if (parser.isSet(intoSheet)) {
        bool ok = false;
        sheet = parser.value(intoSheet).toInt(&ok);
        if (!ok || sheet < 1)
            return usageError(err, u"--into-sheet 需要一个正整数"_s, parser);
    }
    if (parser.isSet(titleRow)) {
        bool ok = false;
        o.LngBth = parser.value(titleRow).toInt(&ok);
        if (!ok || o.LngBth < 1)
            return usageError(err, u"--title-row 需要一个正整数"_s, parser);
    }
    o.ChkXX = !parser.isSet(noSingle);
    o.ChkBook = parser.isSet(backup);

    const QFileInfo fi(parser.positionalArguments().first());
    if (!fi.isFile()) {
        err << fi.filePath() << u'\t' << Xl::WorkbookError::messageFor(Xl::WorkbookError::Code::NotFound)
            << u'\n';
        err.flush();
        return 2;
    }
    const QString path = fi.absoluteFilePath();
    Xl::ExcelHost host;
    // The open button: the workbook's worksheets, the chooser's items.
    Xl::WorkbookError error;
    const QList<Xl::SheetInfo> sheets = Xl::readSheetInfo(host, path, &error);
    if (!error.ok()) {
        err << fi.filePath() << u'\t' << error.message << u'\t' << error.detail << u'\n';
        err.flush();
        return 2;
    }
    if (sheet > sheets.size())
        return usageError(err, u"工作簿只有 %1 个工作表"_s.arg(sheets.size()), parser);
    o.intCboSheet = sheet;
    o.TxtAdress = path;
    o.openedPath = path;
    const Xl::MergeSheetsResult r = Xl::mergeWorksheets(host, o);
    Output output(parser.isSet(u"json"_s), out);
    output.messages(r.messages);
    output.message(r.Lblbook);
    switch (r.status) {
    case Xl::MergeSheetsResult::Status::Done:
        return output.finish(r.skippedSheets.isEmpty() ? 0 : 1);
    case Xl::MergeSheetsResult::Status::Refused:
    case Xl::MergeSheetsResult::Status::Failed:
        break;
    }
    return output.finish(2);
}

int deleteBlank(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    if (const int status = parse(parser, u"delete-blank"_s, args, u"FILE-OR-FOLDER"_s, out, err))
        return std::max(status, 0);
    const QFileInfo fi(parser.positionalArguments().first());
    Output output(parser.isSet(u"json"_s), out);
    Xl::ExcelHost host;
    auto failure = [&](const Xl::BlankSheetResult& b) {
        err << b.path << u'\t' << b.error.message << u'\t' << b.error.detail << u'\n';
    };
    if (fi.isDir()) {
        QString folder = fi.absoluteFilePath();
        const Xl::BlankSheetFolderRun run = Xl::deleteAllBlankSheets(host, folder);
        for (const Xl::BlankSheetResult& b : run.books) {
            if (b.ok())
                output.row(b.path, b.count);
            else
                failure(b);
        }
        output.messages(run.messages);
        output.message(run.Lblbook());
        err.flush();
        return output.finish(run.anyFailed() ? 1 : 0);
    }
    if (!fi.isFile()) {
        err << fi.filePath() << u'\t' << Xl::WorkbookError::messageFor(Xl::WorkbookError::Code::NotFound)
            << u'\n';
        err.flush();
        return 2;
    }
    const Xl::BlankSheetResult b = Xl::Delete_BlankSheet(host, fi.absoluteFilePath());
    if (!b.ok()) {
        failure(b);
        err.flush();
        return output.finish(2);
    }
    output.row(b.path, b.count);
    output.message(Xl::blankSheetMessage(b));
    return output.finish(0);
}

int create(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption count(u"count"_s, u"工作簿数量，按输入的文字（\"007\" 得 Book0001.xls…）"_s,
                                   u"TEXT"_s);
    const QCommandLineOption templ(u"template"_s, u"工作簿模板（.xlt、.xltx、.xlsx）"_s, u"FILE"_s);
    parser.addOptions({count, templ});
    if (const int status = parse(parser, u"create"_s, args, u"FOLDER"_s, out, err))
        return std::max(status, 0);
    if (!parser.isSet(count))
        return usageError(err, u"缺少 --count"_s, parser);
    bool isNumber = false;
    const QString countText = parser.value(count);
    Xl::countValue(countText, &isNumber);
    if (!isNumber || countText.trimmed().isEmpty())
        return usageError(err, u"--count 不是数字："_s + countText, parser);

    Xl::CreateWorkbooksOptions o;
    o.TxtPath = parser.positionalArguments().first();
    if (!o.TxtPath.isEmpty() && QFileInfo(o.TxtPath).isRelative())
        o.TxtPath = QFileInfo(o.TxtPath).absoluteFilePath() + (o.TxtPath.endsWith(u'/') ? u"/"_s : QString());
    o.Txtsheet = countText;
    if (parser.isSet(templ))
        o.TxtXLT = QFileInfo(parser.value(templ)).absoluteFilePath();
    Xl::ExcelHost host;
    const Xl::CreateWorkbooksResult r = Xl::CreateWorkbooks(host, o);
    Output output(parser.isSet(u"json"_s), out);
    output.messages(r.messages);
    if (!r.started)
        return output.finish(2);
    output.message(r.Lblbook);
    for (const QString& p : r.failed)
        err << p << u'\t' << u"无法写入"_s << u'\n';
    err.flush();
    return output.finish(r.skipped.isEmpty() && r.failed.isEmpty() ? 0 : 1);
}

int mergeBooks(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    const QCommandLineOption into(u"into"_s, u"合并到文件夹中的这个工作簿（文件名）"_s, u"EXISTING"_s);
    const QCommandLineOption newBook(u"new"_s, u"合并到新工作簿 FOLDER/NAME.xls"_s, u"NAME"_s);
    const QCommandLineOption data(u"data"_s, u"合并数据：每个工作簿一个工作表的数据合并到一个工作表中"_s);
    const QCommandLineOption sheet(u"sheet"_s, u"第 K 个工作表（1–20）"_s, u"K"_s);
    const QCommandLineOption names(u"names"_s, u"工作表名：original、book_sheet（默认）或 book"_s, u"KIND"_s);
    const QCommandLineOption everyTitle(u"every-title"_s, u"合并数据时保留每个工作簿的标题行"_s);
    const QCommandLineOption keepBlank(u"keep-blank"_s, u"保留目标工作簿中的空白工作表"_s);
    const QCommandLineOption backupFolder(u"backup-folder"_s, u"合并前备份工作簿所在文件夹"_s);
    const QCommandLineOption yes(u"yes"_s, u"新工作簿已存在时覆盖它"_s);
    parser.addOptions({into, newBook, data, sheet, names, everyTitle, keepBlank, backupFolder, yes});
    if (const int status = parse(parser, u"merge-books"_s, args, u"FOLDER"_s, out, err))
        return std::max(status, 0);
    if (parser.isSet(into) == parser.isSet(newBook))
        return usageError(err, u"需要 --into 或 --new（只能选一个）"_s, parser);

    Xl::MergeBooksOptions o;
    o.hbOption = parser.isSet(data) ? 1 : 0;
    o.IntCboBook = o.hbOption == 1 ? 1 : 0;
    if (parser.isSet(sheet)) {
        bool ok = false;
        o.IntCboBook = parser.value(sheet).toInt(&ok);
        if (!ok || o.IntCboBook < 0 || o.IntCboBook > 20)
            return usageError(err, u"--sheet 需要 1 到 20 之间的数字"_s, parser);
    }
    Output output(parser.isSet(u"json"_s), out);
    if (o.hbOption == 1 && o.IntCboBook == 0) {
        output.message(u"合并数据时不能选择全部工作表！"_s);
        return output.finish(2);
    }
    if (parser.isSet(names)) {
        const QStringList kinds{u"original"_s, u"book_sheet"_s, u"book"_s};
        o.IntOptName = int(kinds.indexOf(parser.value(names)));
        if (o.IntOptName < 0)
            return usageError(err, u"--names 只能是 original、book_sheet 或 book"_s, parser);
        if (o.hbOption == 1)
            return usageError(err, u"合并数据时不能设置工作表名（--names）"_s, parser);
        if (o.IntOptName == 2 && o.IntCboBook == 0)
            return usageError(err, u"--names book 只能与 --sheet K 一起使用：合并全部工作表时,此项不可用!"_s,
                              parser);
    }
    if (parser.isSet(everyTitle) && o.hbOption == 0)
        return usageError(err, u"--every-title 只用于 --data"_s, parser);
    o.ChkBT = !parser.isSet(everyTitle);
    o.IntOptBlank = parser.isSet(keepBlank) ? 1 : 0;
    o.ChkFolder = parser.isSet(backupFolder);

    const QFileInfo fi(parser.positionalArguments().first());
    if (!fi.isDir()) {
        err << fi.filePath() << u'\t' << u"不是文件夹"_s << u'\n';
        err.flush();
        return 2;
    }
    QString folder = fi.absoluteFilePath();
    Xl::ExcelHost host;
    // The workbooks the folder holds now; each is counted when the merge opens it.
    const Xl::FolderScan scan = Xl::listWorkbookFolder(folder);
    if (scan.status != Xl::FolderScan::Status::Ok) {
        output.message(scan.message());
        return output.finish(2);
    }
    o.CurrentFolder = folder;
    o.books = scan.fileNames();
    if (parser.isSet(into)) {
        o.intCboGoal = 0;
        o.goalIndex = int(o.books.indexOf(parser.value(into)));
        if (o.goalIndex < 0)
            return usageError(err, u"文件夹中没有这个工作簿："_s + parser.value(into), parser);
    } else {
        o.intCboGoal = 1;
        const QString name = parser.value(newBook);
        if (name.isEmpty())
            return usageError(err, u"--new 需要一个工作簿名称"_s, parser);
        o.strGoalFN = Xl::newGoalPath(folder, name);
        if (QFileInfo::exists(o.strGoalFN)) {
            if (!parser.isSet(yes)) {
                output.message(o.strGoalFN + u"\r\n"_s + u"文件已存在!是否覆盖?"_s);
                err << u"tarnwick-cli: 加 --yes 覆盖这个文件"_s << u'\n';
                err.flush();
                return output.finish(2);
            }
            o.replaceGoal = true;
        }
    }

    const Xl::MergeBooksResult r = Xl::mergeWorkbooks(host, o);
    for (const Xl::MergeBooksMessage& m : r.messages)
        output.message(m.text);
    for (const Xl::MergeBooksSource& s : r.sources) {
        static const char* const outcomes[] = {"merged", "target", "unreadable", "too-few-sheets"};
        output.jsonRow(QJsonObject{{u"path"_s, s.name},
                                   {u"outcome"_s, QString::fromLatin1(outcomes[int(s.outcome)])},
                                   {u"sheets"_s, s.sheets},
                                   {u"rows"_s, double(s.rows)}});
    }
    output.message(r.Lblbook);
    if (r.status != Xl::MergeBooksResult::Status::Done) {
        if (!r.error.ok())
            err << r.target << u'\t' << r.error.message << u'\t' << r.error.detail << u'\n';
        err.flush();
        return output.finish(2);
    }
    return output.finish(r.anySkipped() ? 1 : 0);
}

} // namespace

int runWorkbookCommands(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString sub = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    if (sub == u"merge-sheets"_s)
        return mergeSheets(rest, out, err);
    if (sub == u"merge-books"_s)
        return mergeBooks(rest, out, err);
    if (sub == u"delete-blank"_s)
        return deleteBlank(rest, out, err);
    if (sub == u"create"_s)
        return create(rest, out, err);
    return runWorkbookCommand(arguments, out, err);
}

} // namespace App
