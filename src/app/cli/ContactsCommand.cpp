#include "ContactsCommand.h"

#include "contacts/CharacterTable.h"
#include "contacts/ContactTables.h"
#include "contacts/VCardReader.h"
#include "contacts/VCardWriter.h"
#include "contacts/WorkbookExport.h"
#include "execute/ProgramFiles.h"
#include "platform/AppPaths.h"
#include "platform/FileSystem.h"
#include "platform/GbkText.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace App {

namespace {

using Contacts::ContactRow;
using Contacts::ContactRows;

struct Context
{
    QTextStream& out;
    QTextStream& err;
    bool json = false;
    QStringList messages;

    void message(const QString& text)
    {
        messages.append(text);
        if (!json) {
            QString shown = text;
            err << shown.replace(u"\r\n"_s, u"\n"_s) << Qt::endl;
        }
    }
    int usageError(const QString& text)
    {
        err << u"tarnwick-cli contacts: "_s << text << Qt::endl
            << u"运行 tarnwick-cli contacts --help 查看用法。"_s << Qt::endl;
        return 2;
    }
};

// Reads FILE into rows as the converter's read button does. 0 when read, 1 when
// reading stopped part-way (the rows so far kept), 2 when it cannot be read.
int readInput(Context& context, const QString& path, int sheet, ContactRows& rows)
{
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        context.err << u"文件不存在："_s << path << Qt::endl;
        return 2;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        context.err << u"无法读取文件："_s << path << u"（"_s << file.errorString() << u"）"_s << Qt::endl;
        return 2;
    }
    const QByteArray head = file.read(4096);
    file.close();
    QString error;
    if (path.endsWith(u".vcf"_s, Qt::CaseInsensitive) || Contacts::looksLikeVCard(head)) {
        Contacts::VCardLines store;
        if (!Contacts::ReadVCardLines(path, store, &error)) {
            context.err << u"无法读取文件："_s << path << u"（"_s << error << u"）"_s << Qt::endl;
            return 2;
        }
        rows = Contacts::ParseVCardLines(store);
        return 0;
    }
    if (Contacts::isWorkbookPath(path)) {
        if (!Contacts::ReadSheetRows(path, sheet, rows, &error)) {
            context.err << u"无法读取工作簿："_s << path << u"（"_s << error << u"）"_s << Qt::endl;
            return 2;
        }
        return 0;
    }
    Contacts::TextTableResult result = Contacts::Read_Text(path);
    if (!result.readable) {
        context.err << u"无法读取文件："_s << path << u"（"_s << result.error << u"）"_s << Qt::endl;
        return 2;
    }
    rows = std::move(result.rows);
    if (result.stopped) {
        context.message(Contacts::textStopMessage());
        return 1;
    }
    return 0;
}

QString printable(QString field)
{
    field.replace(u"\r\n"_s, u" "_s);
    field.replace(u'\r', u' ');
    field.replace(u'\n', u' ');
    field.replace(u'\t', u' ');
    return field;
}

void printRows(Context& context, const ContactRows& rows, bool textRows)
{
    if (context.json) {
        QJsonArray array;
        for (const ContactRow& row : rows) {
            QJsonObject object;
            for (int column = 0; column < ContactRow::ColumnCount; ++column)
                object.insert(ContactRow::key(column), row[column]);
            array.append(object);
        }
        context.out << QString::fromUtf8(
            QJsonDocument(QJsonObject{{u"rows"_s, array},
                                      {u"messages"_s, QJsonArray::fromStringList(context.messages)}})
                .toJson(QJsonDocument::Indented));
    } else if (textRows) {
        for (const ContactRow& row : rows) {
            QStringList fields;
            for (const QString& field : row.fields)
                fields.append(printable(field));
            context.out << fields.join(u'\t') << u'\n';
        }
    }
    context.out.flush();
}

} // namespace

QString contactsUsage()
{
    return uR"(  tarnwick-cli contacts read  FILE [--sheet N] [--json]
  tarnwick-cli contacts vcf   TABLE [--sheet N] -o FILE.vcf [--json]
  tarnwick-cli contacts excel FILE [--sheet N] -o FILE.xls|FILE.xlsx [--yes] [--json]
)"_s;
}

int runContactsCommand(const QStringList& args, QTextStream& out, QTextStream& err,
                       const Platform::AppPaths& paths)
{
    Context context{out, err, false, {}};
    const QString sub = args.value(1);
    if (sub.isEmpty() || sub == u"--help"_s || sub == u"-h"_s) {
        out << u"用法：\n"_s << contactsUsage();
        return sub.isEmpty() ? 2 : 0;
    }
    if (sub != u"read"_s && sub != u"vcf"_s && sub != u"excel"_s)
        return context.usageError(u"未知的 contacts 命令："_s + sub);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(sub == u"read"_s ? u"读入联系人表格或 VCF 文件，列出各行"_s
                                     : sub == u"vcf"_s ? u"把联系人表格追加为 VCF 名片"_s
                                                       : u"把联系人导出为新的 Excel 工作簿"_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"显示这个命令的选项"_s);
    const QCommandLineOption sheetOption(u"sheet"_s, u"工作簿中的第 N 个工作表（从 1 起，默认 1）"_s, u"N"_s,
                                         u"1"_s);
    const QCommandLineOption jsonOption(u"json"_s, u"以 JSON 输出 {\"rows\": [...], \"messages\": [...]}"_s);
    const QCommandLineOption outputOption({u"o"_s, u"output"_s}, u"输出文件"_s, u"FILE"_s);
    const QCommandLineOption yesOption(u"yes"_s, u"替换已存在的工作簿"_s);
    parser.addOption(help);
    parser.addOption(sheetOption);
    parser.addOption(jsonOption);
    if (sub != u"read"_s)
        parser.addOption(outputOption);
    if (sub == u"excel"_s)
        parser.addOption(yesOption);
    parser.addPositionalArgument(sub == u"vcf"_s ? u"TABLE"_s : u"FILE"_s,
                                 u"VCF 文件、工作簿（.xls/.xlsx/.xlsm）、CSV 或制表符分隔的文本"_s);

    QStringList words = args.mid(2);
    words.prepend(u"tarnwick-cli contacts "_s + sub);
    if (!parser.parse(words))
        return context.usageError(parser.errorText());
    if (parser.isSet(help)) {
        // The first line names the program by its path; name the command instead.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u'\n'),
                     u"Usage: tarnwick-cli contacts "_s + sub + u" [options] "_s +
                         (sub == u"vcf"_s ? u"TABLE"_s : u"FILE"_s));
        out << text;
        return 0;
    }
    context.json = parser.isSet(jsonOption);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return context.usageError(sub + u" 需要一个输入文件"_s);
    bool sheetOk = false;
    const int sheet = parser.value(sheetOption).toInt(&sheetOk);
    if (!sheetOk || sheet < 1)
        return context.usageError(u"--sheet 需要从 1 起的工作表序号"_s);
    const QString input = QFileInfo(positional.first()).absoluteFilePath();

    QString output;
    if (sub != u"read"_s) {
        if (!parser.isSet(outputOption) || parser.value(outputOption).isEmpty())
            return context.usageError(sub + u" 需要 -o 输出文件"_s);
        output = QFileInfo(parser.value(outputOption)).absoluteFilePath();
        if (sub == u"excel"_s) {
            if (Contacts::maxExportRows(output) == 0)
                return context.usageError(u"输出文件须以 .xls、.xlsx 或 .xlsm 结尾："_s + output);
            if (Platform::PathExists(output) && !parser.isSet(yesOption)) {
                err << u"文件已存在："_s << output << u"，未做任何更改；替换请加 --yes。"_s << Qt::endl;
                return 2;
            }
        }
    }

    ContactRows rows;
    const int readStatus = readInput(context, input, sheet, rows);
    if (readStatus == 2)
        return 2;

    if (sub == u"read"_s) {
        printRows(context, rows, true);
        return readStatus;
    }

    QString error;
    if (sub == u"vcf"_s) {
        Contacts::CharacterTable table;
        const QString tablePath = paths.programFile(Contacts::CharacterTable::fileName());
        if (!Platform::PathExists(tablePath)) {
            // Not installed yet (the window puts it there on its first start): the built-in copy.
            table = Contacts::CharacterTable::fromLines(Platform::splitLines(
                Platform::decodeGbk(Execute::shippedFileContent(Execute::characterTableName()))));
        } else if (!table.load(tablePath, &error)) {
            context.message(u"无法读取姓名字符表 "_s + tablePath + u"（"_s + error +
                            u"），姓名按其 UTF-8 字节编码。"_s);
        }
        if (!Contacts::WriteVCardFile(output, rows, table, &error)) {
            context.message(u"无法写入 "_s + output + u"（"_s + error + u"），文件保持原样。"_s);
            printRows(context, {}, false);
            return 1;
        }
    } else {
        if (rows.size() > Contacts::maxExportRows(output)) {
            Contacts::ExportWorkbook(output, rows, &error);
            err << error << Qt::endl;
            return 2;
        }
        if (!Contacts::ExportWorkbook(output, rows, &error)) {
            context.message(u"无法创建 "_s + output + u"（"_s + error + u"）"_s);
            printRows(context, {}, false);
            return 1;
        }
    }
    const QString done = Contacts::createdMessage(output);
    context.messages.append(done);
    if (!context.json)
        out << done << Qt::endl;
    printRows(context, rows, false);
    return readStatus;
}

} // namespace App
