#include "WorkbookCommands.h"

#include "workbook/BlankSheets.h"
#include "workbook/CreateWorkbooks.h"
#include "workbook/ExcelHost.h"
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

} // namespace

int runWorkbookCommands(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const QString sub = arguments.value(1);
    const QStringList rest = arguments.mid(2);
    if (sub == u"merge-sheets"_s)
        return mergeSheets(rest, out, err);
    if (sub == u"delete-blank"_s)
        return deleteBlank(rest, out, err);
    if (sub == u"create"_s)
        return create(rest, out, err);
    return runWorkbookCommand(arguments, out, err);
}

} // namespace App
