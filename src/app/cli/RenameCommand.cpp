#include "RenameCommand.h"

#include "CommandParser.h"
#include "app/ExecuteCommand.h"
#include "app/FileListModel.h"
#include "app/FileRow.h"
#include "app/HiddenFileList.h"
#include "app/TerminalDialogs.h"
#include "execute/RenameExecution.h"
#include "execute/UndoLogDocument.h"
#include "execute/UndoRecords.h"
#include "execute/UndoRename.h"
#include "platform/FileSystem.h"
#include "rename/FillNewName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace App::Cli {

namespace {

using Rename::RenameMethod;

// What the options of list, preview and rename say.
struct ParsedOptions
{
    QString filter = u"*.*"_s;
    bool json = false;
    bool yes = false;
    QString undoDir;
    std::optional<RenameMethod> method;
    Rename::RenameOptions rename;
    QString error;
};

// The options that choose a method (one of the main window's tabs), in tab order.
struct MethodOption
{
    const char16_t* name;
    RenameMethod method;
    const char16_t* valueName;
    const char16_t* description;
};

const MethodOption kMethods[] = {
    {u"number", RenameMethod::Numbering, u"", u"自动编号"},
    {u"delete-front", RenameMethod::DeleteCharacters, u"N", u"删除字符：删除文件名前面 N 个字符"},
    {u"delete-back", RenameMethod::DeleteCharacters, u"N", u"删除字符：删除文件名后面 N 个字符"},
    {u"affix", RenameMethod::PrefixSuffix, u"", u"添加前后缀"},
    {u"replace", RenameMethod::Replace, u"FIND", u"替换字符：把 FIND 替换为 --with 的文本"},
    {u"ext", RenameMethod::Extension, u"TEXT", u"修改扩展名（以.开始；空文本去掉扩展名）"},
    {u"split", RenameMethod::Split, u"SEP", u"分割文件名：在分割字符 SEP 处分割"},
    {u"reference", RenameMethod::ReferenceDocument, u"FILE", u"引用文档：第 k 行是第 k 个文件的新文件名"},
    {u"case", RenameMethod::LetterCase, u"upper|lower|title", u"汉字转拼音：大小写"},
    {u"attributes", RenameMethod::Attributes, u"LIST",
     u"更改属性：normal,readonly,hidden,archive（只用于 rename）"},
};

QString text(const char16_t* s)
{
    return QString::fromUtf16(s);
}

// Calls add(name, description, valueName) for every option of the methods.
template <class Add> void forEachMethodOption(bool executing, Add&& add)
{
    for (const MethodOption& m : kMethods) {
        if (m.method != RenameMethod::Attributes || executing)
            add(text(m.name), text(m.description), text(m.valueName));
    }
    add(u"prefix"_s, u"前缀（--number、--affix）"_s, u"T"_s);
    add(u"suffix"_s, u"后缀（--number、--affix）"_s, u"T"_s);
    add(u"digits"_s, u"编号位数（--number，默认 3）"_s, u"N"_s);
    add(u"increment"_s, u"编号增量（--number，默认 1）"_s, u"N"_s);
    add(u"start"_s, u"起始编号（--number，默认 1）"_s, u"N"_s);
    add(u"keep-name"_s, u"保留原文件名，在编号或新文件名的前面或后面（--number、--reference）"_s,
        u"before|after"_s);
    add(u"drop-name"_s, u"去掉原文件名（--affix）"_s);
    add(u"with"_s, u"替换成的文本（--replace）"_s, u"TEXT"_s);
    add(u"part"_s, u"保留分割字符前面、后面的部分，或交换两部分（--split）"_s, u"before|after|swap"_s);
    add(u"keep-separator"_s, u"保留分割字符（--split）"_s);
    add(u"trim"_s, u"去掉首尾空格（--split）"_s);
    add(u"pinyin"_s, u"汉字转为拼音（--case）"_s);
    add(u"strip-spaces"_s, u"去掉拼音之间的空格（--case --pinyin）"_s);
}

void addMethodOptions(CommandParser& parser, bool executing)
{
    forEachMethodOption(
        executing, [&parser](const QString& name, const QString& description, const QString& valueName = {}) {
            parser.add(name, description, valueName);
        });
}

// --keep-name: before|after, with front|back as the same; -1 when neither.
int keepNameSide(const QString& value)
{
    if (value == u"before"_s || value == u"front"_s)
        return 0;
    if (value == u"after"_s || value == u"back"_s)
        return 1;
    return -1;
}

// Reads the method and its options from `p` into `parsed`; a contradiction sets parsed.error.
template <class Parser> void readMethod(const Parser& p, ParsedOptions& parsed)
{
    auto& o = parsed.rename;
    // Every box starts unticked or empty; the numbers start at their design values.
    o.numbering.ChkQH = {false, false};
    o.numbering.TxtQH = {QString(), QString(), u"3"_s, u"1"_s, u"1"_s};
    o.prefixSuffix.ChkTJ = {false, false};
    o.attributes.ChkSX = {false, false, false, false};

    for (const MethodOption& m : kMethods) {
        if (!p.isSet(text(m.name)))
            continue;
        if (parsed.method) {
            parsed.error = u"只能选择一种重命名方法"_s;
            return;
        }
        parsed.method = m.method;
    }
    if (!parsed.method) {
        parsed.error = u"缺少重命名方法（如 --number、--affix、--replace）"_s;
        return;
    }

    const bool havePrefix = p.isSet(u"prefix"_s);
    const bool haveSuffix = p.isSet(u"suffix"_s);
    const bool haveKeepName = p.isSet(u"keep-name"_s);
    const int keepSide = keepNameSide(p.value(u"keep-name"_s));
    if (haveKeepName && keepSide < 0) {
        parsed.error = u"--keep-name 取 before 或 after"_s;
        return;
    }

    // The panels' number boxes take digits only; a value they would refuse is a
    // usage error here rather than a number read as 0.
    for (const QString& name :
         {u"digits"_s, u"increment"_s, u"start"_s, u"delete-front"_s, u"delete-back"_s}) {
        const QString value = p.isSet(name) ? p.value(name) : QString();
        if (std::any_of(value.cbegin(), value.cend(), [](QChar c) { return c < u'0' || c > u'9'; })) {
            parsed.error = u"--"_s + name + u" 只能取数字："_s + value;
            return;
        }
    }

    switch (*parsed.method) {
    case RenameMethod::Numbering:
        o.numbering.ChkQH = {havePrefix, haveSuffix};
        o.numbering.TxtQH[0] = p.value(u"prefix"_s);
        o.numbering.TxtQH[1] = p.value(u"suffix"_s);
        if (p.isSet(u"digits"_s))
            o.numbering.TxtQH[2] = p.value(u"digits"_s);
        if (p.isSet(u"increment"_s))
            o.numbering.TxtQH[3] = p.value(u"increment"_s);
        if (p.isSet(u"start"_s))
            o.numbering.TxtQH[4] = p.value(u"start"_s);
        if (haveKeepName) {
            o.numbering.ChkBF = true;
            o.numbering.OptBF = keepSide;
        }
        break;
    case RenameMethod::DeleteCharacters: {
        const int side = p.isSet(u"delete-front"_s) ? 0 : 1;
        o.deleteCharacters.OptDel = side;
        o.deleteCharacters.TxtNumDel[size_t(side)] =
            p.value(side == 0 ? u"delete-front"_s : u"delete-back"_s);
        break;
    }
    case RenameMethod::PrefixSuffix:
        o.prefixSuffix.ChkTJ = {havePrefix, haveSuffix};
        o.prefixSuffix.TxtFB = {p.value(u"prefix"_s), p.value(u"suffix"_s)};
        o.prefixSuffix.ChkDelName = p.isSet(u"drop-name"_s);
        break;
    case RenameMethod::Replace:
        if (!p.isSet(u"with"_s))
            parsed.error = u"--replace 需要 --with"_s;
        o.replace.TxtFind = p.value(u"replace"_s);
        o.replace.TxtRep = p.value(u"with"_s);
        break;
    case RenameMethod::Extension:
        o.extension.TxtExt = p.value(u"ext"_s);
        // The extension box holds only texts that begin with "."; refusing is
        // kinder than clearing every file's extension over a missing dot.
        if (!o.extension.TxtExt.isEmpty() && !o.extension.TxtExt.startsWith(u'.'))
            parsed.error = u"--ext 的值必须以.开始（如 .jpg）；去掉扩展名请用 --ext \"\""_s;
        break;
    case RenameMethod::Split: {
        o.split.SplitSeparator = p.value(u"split"_s);
        const QString part = p.value(u"part"_s);
        if (part.isEmpty() || part == u"before"_s)
            o.split.SplitMode = 0;
        else if (part == u"after"_s)
            o.split.SplitMode = 1;
        else if (part == u"swap"_s)
            o.split.SplitMode = 2;
        else
            parsed.error = u"--part 取 before、after 或 swap"_s;
        o.split.ChkFG = {!p.isSet(u"keep-separator"_s) && o.split.SplitMode != 2,
                         p.isSet(u"trim"_s) && o.split.SplitMode != 2};
        break;
    }
    case RenameMethod::ReferenceDocument:
        o.referenceDocument.ReferenceDocumentPath = QFileInfo(p.value(u"reference"_s)).absoluteFilePath();
        if (haveKeepName) {
            o.referenceDocument.ChkFore = keepSide == 0;
            o.referenceDocument.ChkBack = keepSide == 1;
        }
        break;
    case RenameMethod::LetterCase: {
        const QString mode = p.value(u"case"_s);
        if (mode == u"upper"_s)
            o.letterCase.OptZH = 0;
        else if (mode == u"lower"_s)
            o.letterCase.OptZH = 1;
        else if (mode == u"title"_s)
            o.letterCase.OptZH = 2;
        else
            parsed.error = u"--case 取 upper、lower 或 title"_s;
        o.letterCase.ChkPY = p.isSet(u"pinyin"_s);
        o.letterCase.PinyinStripSpaces = p.isSet(u"pinyin"_s) && p.isSet(u"strip-spaces"_s);
        break;
    }
    case RenameMethod::Attributes: {
        const QStringList known{u"normal"_s, u"readonly"_s, u"hidden"_s, u"archive"_s};
        for (const QString& item : p.value(u"attributes"_s).split(u',', Qt::SkipEmptyParts)) {
            const qsizetype index = known.indexOf(item.trimmed().toLower());
            if (index < 0) {
                parsed.error = u"未知的属性："_s + item + u"（可用 normal,readonly,hidden,archive）"_s;
                return;
            }
            o.attributes.ChkSX[size_t(index)] = true;
        }
        break;
    }
    default:
        break;
    }
}

QString folderPath(const QString& argument)
{
    QString folder = QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

void writeJson(QTextStream& out, const QJsonObject& object)
{
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

// One run of list, preview or rename.
class FileCommand
{
public:
    FileCommand(const QString& command, const CommandLine::Environment& env)
        : m_env(env), m_command(command), m_execute(command == u"rename"_s),
          m_parser(command, synopsis(command))
    {
        m_parser.add(u"filter"_s, u"文件类型，如 \"*.doc;*.docx\"，默认 \"*.*\""_s, u"PATTERNS"_s);
        if (command != u"list"_s)
            addMethodOptions(m_parser, m_execute);
        if (m_execute) {
            m_parser.add(u"yes"_s, u"不询问，直接重命名"_s);
            m_parser.add(u"undo-dir"_s, u"重命名记录写入的文件夹（默认程序的 undofile）"_s, u"DIR"_s);
        }
        m_parser.add(u"json"_s, u"输出一个 JSON 文档"_s);
    }

    int run(const QStringList& args);

private:
    static QString synopsis(const QString& command)
    {
        if (command == u"list"_s)
            return u"list FOLDER [--filter PATTERNS] [--json]"_s;
        if (command == u"preview"_s)
            return u"preview FOLDER METHOD [--filter PATTERNS] [--json]"_s;
        return u"rename FOLDER METHOD [--filter PATTERNS] [--yes] [--undo-dir DIR] [--json]"_s;
    }
    int list();
    // The new names of the listed files, the rules' messages shown on standard
    // error; false when the reference document could not be read.
    bool computeNewNames(QStringList& messages, QStringList& newNames);
    int preview();
    int rename();
    int usageError(const QString& message) { return m_parser.usageError(*m_env.err, message); }

    const CommandLine::Environment& m_env;
    QString m_command;
    bool m_execute;
    CommandParser m_parser;
    ParsedOptions m_parsed;
    QString m_folder;
    QStringList m_names;
};

int FileCommand::run(const QStringList& args)
{
    if (!m_parser.parse(args)) {
        if (!m_execute && m_command == u"preview"_s && m_parser.unknownOptions().contains(u"attributes"_s))
            return usageError(u"--attributes 只能用于 rename"_s);
        return usageError(m_parser.error());
    }
    if (m_parser.helpRequested()) {
        *m_env.out << m_parser.helpText();
        m_env.out->flush();
        return 0;
    }
    const QStringList positional = m_parser.positional();
    if (positional.isEmpty())
        return usageError(m_command + u" 需要一个文件夹"_s);
    if (positional.size() > 1)
        return usageError(u"多余的参数："_s + positional.at(1));
    if (m_parser.isSet(u"filter"_s)) {
        m_parsed.filter = m_parser.value(u"filter"_s);
        // The filter menu never makes an empty pattern; one typed here lists nothing.
        if (m_parsed.filter.trimmed().isEmpty())
            *m_env.err << u"--filter 为空：不匹配任何文件。"_s << Qt::endl;
    }
    m_parsed.json = m_parser.isSet(u"json"_s);
    if (m_execute) {
        m_parsed.yes = m_parser.isSet(u"yes"_s);
        m_parsed.undoDir = m_parser.value(u"undo-dir"_s);
    }
    if (m_command != u"list"_s) {
        readMethod(m_parser, m_parsed);
        if (!m_parsed.error.isEmpty())
            return usageError(m_parsed.error);
    }

    m_folder = folderPath(positional.first());
    bool ok = false;
    m_names = Platform::listFiles(m_folder, m_parsed.filter, &ok);
    if (!ok) {
        *m_env.err << u"无法读取文件夹："_s << m_folder << Qt::endl;
        return 2;
    }
    m_names = m_names.mid(0, HiddenFileList::MaxNames);
    if (m_command == u"list"_s)
        return list();
    return m_execute ? rename() : preview();
}

int FileCommand::list()
{
    QJsonArray rows;
    for (qsizetype k = 0; k < m_names.size(); ++k) {
        const FileRow row = FileRow::read(int(k + 1), m_folder, m_names.at(k));
        const FileRow::Column columns[] = {FileRow::FileId, FileRow::OldName, FileRow::fileLX,
                                           FileRow::fileDX, FileRow::fileSX,  FileRow::CTime,
                                           FileRow::ETime,  FileRow::VTime};
        if (m_parsed.json) {
            QJsonObject object;
            for (FileRow::Column c : columns)
                object.insert(FileListModel::key(c), row.cells[c]);
            rows.append(object);
        } else {
            QStringList cells;
            for (FileRow::Column c : columns)
                cells.append(row.cells[c]);
            *m_env.out << cells.join(u'\t') << u'\n';
        }
    }
    if (m_parsed.json)
        writeJson(*m_env.out, {{u"folder"_s, m_folder}, {u"rows"_s, rows}, {u"messages"_s, QJsonArray()}});
    m_env.out->flush();
    return 0;
}

bool FileCommand::computeNewNames(QStringList& messages, QStringList& newNames)
{
    const Rename::NewNameResult computed = Rename::FillNewName(m_names, *m_parsed.method, m_parsed.rename);
    for (const Platform::MessageRequest& message : computed.messages) {
        messages.append(message.text);
        QString shown = message.text;
        *m_env.err << shown.replace(u"\r\n"_s, u"\n"_s) << Qt::endl;
    }
    if (computed.documentUnreadable)
        return false;
    newNames = computed.names;
    newNames.resize(m_names.size());
    return true;
}

int FileCommand::preview()
{
    QStringList messages;
    QStringList newNames;
    if (!computeNewNames(messages, newNames))
        return 2; // the reference document could not be read; the message said why
    QJsonArray rows;
    for (qsizetype k = 0; k < m_names.size(); ++k) {
        if (m_parsed.json)
            rows.append(QJsonObject{{u"FileId"_s, QString::number(k + 1)},
                                    {u"OldName"_s, m_names.at(k)},
                                    {u"NewName"_s, newNames.at(k)}});
        else
            *m_env.out << m_names.at(k) << u'\t' << newNames.at(k) << u'\n';
    }
    if (m_parsed.json)
        writeJson(*m_env.out, {{u"folder"_s, m_folder},
                               {u"rows"_s, rows},
                               {u"messages"_s, QJsonArray::fromStringList(messages)}});
    m_env.out->flush();
    return 0;
}

int FileCommand::rename()
{
    QStringList messages;
    QStringList newNames;
    if (!computeNewNames(messages, newNames))
        return 2; // the reference document could not be read; the message said why
    const bool attributes = *m_parsed.method == RenameMethod::Attributes;

    // The window's own command: the same dispatch on the method, the same
    // question with the same default, the same warnings (on standard error).
    TerminalDialogs dialogs(*m_env.err, *m_env.err, m_env.terminal, m_parsed.yes);
    ExecuteCommandRequest request;
    request.method = *m_parsed.method;
    request.folder = m_folder;
    request.oldNames = m_names;
    request.newNames = newNames;
    request.attributes = m_parsed.rename.attributes;
    request.undoFolder = m_parsed.undoDir.isEmpty() ? m_env.paths.undoFolder()
                                                    : QFileInfo(m_parsed.undoDir).absoluteFilePath();
    request.clock = m_env.clock;
    request.aboutToAsk = [&] {
        if (m_parsed.yes || !m_env.terminal)
            return;
        // The question is answered knowing what it covers.
        *m_env.err << m_folder << Qt::endl;
        for (qsizetype k = 0; k < m_names.size(); ++k)
            *m_env.err << u"  "_s << m_names.at(k) << u" → "_s << newNames.at(k) << Qt::endl;
    };
    const ExecuteCommandResult result = RunExecuteCommand(request, dialogs);
    if (result.ran == ExecuteCommandResult::Ran::Declined) {
        if (!m_env.terminal)
            *m_env.err << u"没有终端可以确认“"_s << Execute::renameQuestion()
                       << u"”，未做任何更改；确认无误后请加 --yes。"_s << Qt::endl;
        else
            *m_env.err << u"未做任何更改。"_s << Qt::endl;
        return 2;
    }
    messages += dialogs.shown();
    const QStringList& options = result.options;
    const QString undoPath = result.outcome.undoLogPath;
    const bool recorded = attributes || result.outcome.recorded;
    bool allSucceeded = true;
    QJsonArray rows;
    for (qsizetype k = 0; k < m_names.size(); ++k) {
        const QString option = options.value(k);
        allSucceeded = allSucceeded && option != u"操作失败"_s;
        const QString shownName = attributes ? m_names.at(k) : newNames.at(k);
        if (m_parsed.json)
            rows.append(QJsonObject{{u"FileId"_s, QString::number(k + 1)},
                                    {u"OldName"_s, m_names.at(k)},
                                    {u"NewName"_s, shownName},
                                    {u"option"_s, option}});
        else
            *m_env.out << m_names.at(k) << u'\t' << shownName << u'\t' << option << u'\n';
    }
    if (m_parsed.json) {
        QJsonObject object{{u"folder"_s, m_folder},
                           {u"rows"_s, rows},
                           {u"messages"_s, QJsonArray::fromStringList(messages)}};
        if (!attributes)
            object.insert(u"undo"_s, undoPath);
        writeJson(*m_env.out, object);
    } else if (!attributes) {
        *m_env.out << u"undo: "_s << undoPath << u'\n';
    }
    m_env.out->flush();
    return allSucceeded && recorded ? 0 : 1;
}

// undo --list: the records of the undo folder, newest first.
int listRecords(const QString& undoFolder, bool json, const CommandLine::Environment& env)
{
    bool ok = true;
    const QList<Execute::UndoRecordSummary> records = Execute::listUndoRecords(undoFolder, &ok);
    if (!ok) {
        *env.err << u"无法读取文件夹："_s << undoFolder << Qt::endl;
        return 2;
    }
    QJsonArray rows;
    QStringList messages;
    for (const Execute::UndoRecordSummary& record : records) {
        if (!record.readable) {
            const QString message = u"无法读取重命名记录文档："_s + QDir(undoFolder).filePath(record.name);
            messages.append(message);
            *env.err << message << Qt::endl;
            continue;
        }
        if (json)
            rows.append(QJsonObject{{u"name"_s, record.name}, {u"entries"_s, record.entries}});
        else
            *env.out << record.name << u'\t' << record.entries << u'\n';
    }
    if (json)
        writeJson(*env.out, {{u"undoFolder"_s, undoFolder},
                             {u"records"_s, rows},
                             {u"messages"_s, QJsonArray::fromStringList(messages)}});
    env.out->flush();
    return messages.isEmpty() ? 0 : 1;
}

// The entries an undo of `record` plays back, each as "after → before", so the
// question can be answered knowingly.
void showEntries(const QString& record, QTextStream& out)
{
    QFile file(record);
    if (!file.open(QIODevice::ReadOnly))
        return; // the undo itself says that it cannot read the record
    // The document is kept in a variable: entries() refers into it.
    const Execute::UndoLogDocument document = Execute::UndoLogDocument::parse(file.readAll());
    for (const Execute::UndoEntry& entry : document.entries())
        out << u"  "_s << entry.currentPath << u" → "_s << entry.oldPath << Qt::endl;
}

int undo(const QStringList& args, const CommandLine::Environment& env)
{
    CommandParser parser(
        u"undo"_s,
        u"undo RECORD [--undo-dir DIR] [--yes] [--json] | undo --list [--undo-dir DIR] [--json]"_s);
    parser.add(u"list"_s, u"列出重命名记录文件夹中的记录，最新的在前：文件名、制表符、条目数"_s);
    parser.add(u"undo-dir"_s, u"重命名记录所在的文件夹（默认程序的 undofile）"_s, u"DIR"_s);
    parser.add(u"yes"_s, u"不询问，直接撤消"_s);
    parser.add(u"json"_s, u"输出一个 JSON 文档"_s);
    if (!parser.parse(args))
        return parser.usageError(*env.err, parser.error());
    if (parser.helpRequested()) {
        *env.out << parser.helpText();
        env.out->flush();
        return 0;
    }
    const QStringList positional = parser.positional();
    const bool json = parser.isSet(u"json"_s);
    const bool yes = parser.isSet(u"yes"_s);
    const QString undoFolder = parser.isSet(u"undo-dir"_s)
                                   ? QFileInfo(parser.value(u"undo-dir"_s)).absoluteFilePath()
                                   : env.paths.undoFolder();
    if (parser.isSet(u"list"_s)) {
        if (!positional.isEmpty())
            return parser.usageError(*env.err, u"--list 不取重命名记录文档："_s + positional.first());
        return listRecords(undoFolder, json, env);
    }
    if (positional.isEmpty())
        return parser.usageError(*env.err, u"undo 需要一个重命名记录文档（或 --list）"_s);
    if (positional.size() > 1)
        return parser.usageError(*env.err, u"多余的参数："_s + positional.at(1));
    const QString argument = positional.first();
    const QString record = Execute::findUndoRecord(argument, undoFolder);
    if (record.isEmpty()) {
        *env.err << u"找不到重命名记录文档："_s << QFileInfo(argument).absoluteFilePath();
        if (!argument.contains(u'/'))
            *env.err << u"，重命名记录文件夹 "_s << undoFolder << u" 中也没有"_s;
        *env.err << u"（tarnwick-cli undo --list 列出其中的记录）"_s << Qt::endl;
        return 2;
    }
    if (!yes && !env.terminal) {
        *env.err << u"没有终端可以确认撤消，未做任何更改；确认无误后请加 --yes。"_s << Qt::endl;
        return 2;
    }
    if (!yes) {
        *env.err << record << Qt::endl;
        showEntries(record, *env.err);
    }
    QString collected;
    QTextStream messagesOut(&collected);
    TerminalDialogs dialogs(json ? messagesOut : *env.out, *env.err, env.terminal, yes);
    dialogs.setNextFile(record);
    const Execute::UndoOutcome outcome = Execute::UndoRename(dialogs, undoFolder);
    if (json) {
        writeJson(*env.out, {{u"record"_s, record},
                             {u"undone"_s, outcome.undone},
                             {u"missing"_s, outcome.missing},
                             {u"refused"_s, outcome.refused},
                             {u"messages"_s, QJsonArray::fromStringList(dialogs.shown())}});
    }
    env.out->flush();
    switch (outcome.result) {
    case Execute::UndoOutcome::Result::Done:
        return outcome.missing == 0 && outcome.refused == 0 && outcome.documentUpdated ? 0 : 1;
    case Execute::UndoOutcome::Result::Declined:
        *env.err << u"未做任何更改。"_s << Qt::endl;
        return 2;
    default:
        return 2;
    }
}

} // namespace

QList<QCommandLineOption> methodCommandLineOptions()
{
    QList<QCommandLineOption> options;
    forEachMethodOption(
        true, [&options](const QString& name, const QString& description, const QString& valueName = {}) {
            options.append(valueName.isEmpty() ? QCommandLineOption(name, description)
                                               : QCommandLineOption(name, description, valueName));
        });
    return options;
}

CommandLine::MethodChoice methodFromParser(const QCommandLineParser& parser)
{
    ParsedOptions parsed;
    readMethod(parser, parsed);
    return {parsed.method, parsed.rename, parsed.error};
}

bool isRenameCommand(const QString& command)
{
    return command == u"list"_s || command == u"preview"_s || command == u"rename"_s || command == u"undo"_s;
}

int runRenameCommand(const QStringList& args, const CommandLine::Environment& env)
{
    const QString command = args.value(0);
    if (command == u"undo"_s)
        return undo(args, env);
    return FileCommand(command, env).run(args);
}

} // namespace App::Cli
