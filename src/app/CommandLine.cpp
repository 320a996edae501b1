#include "CommandLine.h"

#include "FileListModel.h"
#include "FileRow.h"
#include "HiddenFileList.h"
#include "TerminalDialogs.h"
#include "cli/ContactsCommand.h"
#include "cli/WorkbookCommands.h"
#include "execute/MenuTools.h"
#include "execute/RenameExecution.h"
#include "execute/UndoRename.h"
#include "platform/FileSystem.h"
#include "rename/FillNewName.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace App {

// The options after the command's positional arguments.
struct ParsedOptions
{
    QString filter = u"*.*"_s;
    bool json = false;
    bool yes = false;
    QString undoDir;
    std::optional<Rename::RenameMethod> method;
    Rename::RenameOptions rename;
    QString error;
};

namespace {

// Reads --options into `parsed`; unknown or misplaced ones set `parsed.error`.
void parseOptions(const QStringList& args, qsizetype from, bool methodAllowed, bool executing,
                  ParsedOptions& parsed)
{
    using Rename::RenameMethod;
    auto& o = parsed.rename;
    // Every box starts unticked or empty; the numbers start at their design values.
    o.numbering.ChkQH = {false, false};
    o.numbering.TxtQH = {QString(), QString(), u"3"_s, u"1"_s, u"1"_s};
    o.prefixSuffix.ChkTJ = {false, false};
    o.attributes.ChkSX = {false, false, false, false};
    QString prefix, suffix, keepName, part, caseMode, findText, withText;
    bool havePrefix = false, haveSuffix = false, haveKeepName = false, haveWith = false;
    bool dropName = false, keepSeparator = false, trim = false, pinyin = false, stripSpaces = false;

    auto setMethod = [&](RenameMethod method) {
        if (!methodAllowed)
            parsed.error = u"这个命令不接受重命名方法"_s;
        else if (parsed.method)
            parsed.error = u"只能选择一种重命名方法"_s;
        parsed.method = method;
    };
    for (qsizetype i = from; i < args.size() && parsed.error.isEmpty(); ++i) {
        const QString& a = args.at(i);
        auto value = [&]() -> QString {
            if (i + 1 >= args.size()) {
                parsed.error = a + u" 缺少取值"_s;
                return {};
            }
            return args.at(++i);
        };
        if (a == u"--filter"_s)
            parsed.filter = value();
        else if (a == u"--json"_s)
            parsed.json = true;
        else if (a == u"--yes"_s && executing)
            parsed.yes = true;
        else if (a == u"--undo-dir"_s && executing)
            parsed.undoDir = value();
        else if (a == u"--number"_s)
            setMethod(RenameMethod::Numbering);
        else if (a == u"--prefix"_s) {
            prefix = value();
            havePrefix = true;
        } else if (a == u"--suffix"_s) {
            suffix = value();
            haveSuffix = true;
        } else if (a == u"--digits"_s)
            o.numbering.TxtQH[2] = value();
        else if (a == u"--increment"_s)
            o.numbering.TxtQH[3] = value();
        else if (a == u"--start"_s)
            o.numbering.TxtQH[4] = value();
        else if (a == u"--keep-name"_s) {
            keepName = value();
            haveKeepName = true;
        } else if (a == u"--delete-front"_s || a == u"--delete-back"_s) {
            setMethod(RenameMethod::DeleteCharacters);
            const int side = a == u"--delete-front"_s ? 0 : 1;
            o.deleteCharacters.OptDel = side;
            o.deleteCharacters.TxtNumDel[size_t(side)] = value();
        } else if (a == u"--affix"_s)
            setMethod(RenameMethod::PrefixSuffix);
        else if (a == u"--drop-name"_s)
            dropName = true;
        else if (a == u"--replace"_s) {
            setMethod(RenameMethod::Replace);
            findText = value();
        } else if (a == u"--with"_s) {
            withText = value();
            haveWith = true;
        } else if (a == u"--ext"_s) {
            setMethod(RenameMethod::Extension);
            o.extension.TxtExt = value();
        } else if (a == u"--split"_s) {
            setMethod(RenameMethod::Split);
            o.split.SplitSeparator = value();
        } else if (a == u"--part"_s)
            part = value();
        else if (a == u"--keep-separator"_s)
            keepSeparator = true;
        else if (a == u"--trim"_s)
            trim = true;
        else if (a == u"--reference"_s) {
            setMethod(RenameMethod::ReferenceDocument);
            o.referenceDocument.ReferenceDocumentPath = QFileInfo(value()).absoluteFilePath();
        } else if (a == u"--case"_s) {
            setMethod(RenameMethod::LetterCase);
            caseMode = value();
        } else if (a == u"--pinyin"_s)
            pinyin = true;
        else if (a == u"--strip-spaces"_s)
            stripSpaces = true;
        else if (a == u"--attributes"_s) {
            if (!executing) {
                parsed.error = u"--attributes 只能用于 rename"_s;
                break;
            }
            setMethod(RenameMethod::Attributes);
            const QStringList items = value().split(u',', Qt::SkipEmptyParts);
            const QStringList known{u"normal"_s, u"readonly"_s, u"hidden"_s, u"archive"_s};
            for (const QString& item : items) {
                const qsizetype index = known.indexOf(item.trimmed().toLower());
                if (index < 0) {
                    parsed.error = u"未知的属性："_s + item + u"（可用 normal,readonly,hidden,archive）"_s;
                    break;
                }
                o.attributes.ChkSX[size_t(index)] = true;
            }
        } else
            parsed.error = u"未知的选项："_s + a;
    }
    if (!parsed.error.isEmpty())
        return;
    if (methodAllowed && !parsed.method) {
        parsed.error = u"缺少重命名方法（如 --number、--affix、--replace）"_s;
        return;
    }
    if (!parsed.method)
        return;
    switch (*parsed.method) {
    case RenameMethod::Numbering:
        o.numbering.ChkQH = {havePrefix, haveSuffix};
        o.numbering.TxtQH[0] = prefix;
        o.numbering.TxtQH[1] = suffix;
        if (haveKeepName) {
            if (keepName != u"before"_s && keepName != u"after"_s)
                parsed.error = u"--keep-name 取 before 或 after"_s;
            o.numbering.ChkBF = true;
            o.numbering.OptBF = keepName == u"before"_s ? 0 : 1;
        }
        break;
    case RenameMethod::PrefixSuffix:
        o.prefixSuffix.ChkTJ = {havePrefix, haveSuffix};
        o.prefixSuffix.TxtFB = {prefix, suffix};
        o.prefixSuffix.ChkDelName = dropName;
        break;
    case RenameMethod::Replace:
        if (!haveWith)
            parsed.error = u"--replace 需要 --with"_s;
        o.replace.TxtFind = findText;
        o.replace.TxtRep = withText;
        break;
    case RenameMethod::Extension:
        // The extension box holds only texts that begin with "."; refusing is
        // kinder than clearing every file's extension over a missing dot.
        if (!o.extension.TxtExt.isEmpty() && !o.extension.TxtExt.startsWith(u'.'))
            parsed.error = u"--ext 的值必须以.开始（如 .jpg）；去掉扩展名请用 --ext \"\""_s;
        break;
    case RenameMethod::Split:
        if (part.isEmpty() || part == u"before"_s)
            o.split.SplitMode = 0;
        else if (part == u"after"_s)
            o.split.SplitMode = 1;
        else if (part == u"swap"_s)
            o.split.SplitMode = 2;
        else
            parsed.error = u"--part 取 before、after 或 swap"_s;
        o.split.ChkFG = {!keepSeparator && o.split.SplitMode != 2, trim && o.split.SplitMode != 2};
        break;
    case RenameMethod::ReferenceDocument:
        if (haveKeepName) {
            if (keepName == u"front"_s)
                o.referenceDocument.ChkFore = true;
            else if (keepName == u"back"_s)
                o.referenceDocument.ChkBack = true;
            else
                parsed.error = u"--keep-name 取 front 或 back"_s;
        }
        break;
    case RenameMethod::LetterCase:
        if (caseMode == u"upper"_s)
            o.letterCase.OptZH = 0;
        else if (caseMode == u"lower"_s)
            o.letterCase.OptZH = 1;
        else if (caseMode == u"title"_s)
            o.letterCase.OptZH = 2;
        else
            parsed.error = u"--case 取 upper、lower 或 title"_s;
        o.letterCase.ChkPY = pinyin;
        o.letterCase.PinyinStripSpaces = pinyin && stripSpaces;
        break;
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

QJsonArray toJson(const QStringList& list)
{
    return QJsonArray::fromStringList(list);
}

} // namespace

CommandLine::CommandLine(Environment environment) : m_env(std::move(environment)) {}

QString CommandLine::usage()
{
    return uR"(用法：
  tarnwick-cli list    FOLDER [--filter PATTERNS] [--json]
  tarnwick-cli preview FOLDER METHOD [--filter PATTERNS] [--json]
  tarnwick-cli rename  FOLDER METHOD [--filter PATTERNS] [--yes] [--undo-dir DIR] [--json]
  tarnwick-cli undo    RECORD [--yes] [--json]
  tarnwick-cli workbook info FILE-OR-FOLDER [--json]
  tarnwick-cli workbook cells FILE --sheet N [--json]
  tarnwick-cli workbook merge-sheets FILE [--into-new NAME | --into-sheet N] [--title-row N] [--no-single-title] [--backup] [--json]
  tarnwick-cli workbook delete-blank FILE-OR-FOLDER [--json]
  tarnwick-cli workbook create FOLDER --count TEXT [--template FILE] [--json]
)"_s + contactsUsage() + uR"(  tarnwick-cli --help | --version

METHOD（与主窗口的选项卡相同）：
  --number [--prefix T] [--suffix T] [--digits N] [--increment N] [--start N] [--keep-name before|after]   自动编号
  --delete-front N | --delete-back N                                  删除字符
  --affix [--prefix T] [--suffix T] [--drop-name]                     添加前后缀
  --replace FIND --with TEXT                                          替换字符
  --ext TEXT                                                          修改扩展名
  --split SEP [--part before|after|swap] [--keep-separator] [--trim]  分割文件名
  --reference FILE [--keep-name front|back]                           引用文档
  --case upper|lower|title [--pinyin] [--strip-spaces]                汉字转拼音
  --attributes LIST   (normal,readonly,hidden,archive；只用于 rename)   更改属性

PATTERNS 如 "*.doc;*.docx"，默认 "*.*"。
退出状态：0 全部成功，1 部分行失败，2 用法错误或无法读取输入（未做任何更改）。
)"_s;
}

int CommandLine::usageError(const QString& message)
{
    *m_env.err << u"tarnwick-cli: "_s << message << Qt::endl
               << u"运行 tarnwick-cli --help 查看用法。"_s << Qt::endl;
    return 2;
}

int CommandLine::run(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return usageError(u"缺少命令"_s);
    const QString command = arguments.first();
    if (command == u"--help"_s || command == u"-h"_s) {
        *m_env.out << usage();
        return 0;
    }
    if (command == u"--version"_s) {
        *m_env.out << u"tarnwick-cli "_s << Execute::VersionText() << Qt::endl;
        return 0;
    }
    if (command == u"list"_s)
        return list(arguments);
    if (command == u"preview"_s)
        return preview(arguments, false);
    if (command == u"rename"_s)
        return preview(arguments, true);
    if (command == u"undo"_s)
        return undo(arguments);
    if (command == u"workbook"_s)
        return runWorkbookCommands(arguments, *m_env.out, *m_env.err);
    if (command == u"contacts"_s)
        return runContactsCommand(arguments, *m_env.out, *m_env.err, m_env.paths);
    return usageError(u"未知的命令："_s + command);
}

// The folder argument and the options of list, preview and rename, and the
// folder's listing; non-zero (the exit status) when either cannot be read.
int CommandLine::readFolder(const QStringList& args, bool methodAllowed, bool execute, ParsedOptions& parsed,
                            QString& folder, QStringList& names)
{
    if (args.size() < 2 || args.at(1).startsWith(u"--"_s))
        return usageError(args.first() + u" 需要一个文件夹"_s);
    parseOptions(args, 2, methodAllowed, execute, parsed);
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    folder = folderPath(args.at(1));
    bool ok = false;
    names = Platform::listFiles(folder, parsed.filter, &ok);
    if (!ok) {
        *m_env.err << u"无法读取文件夹："_s << folder << Qt::endl;
        return 2;
    }
    names = names.mid(0, HiddenFileList::MaxNames);
    return 0;
}

int CommandLine::list(const QStringList& args)
{
    ParsedOptions parsed;
    QString folder;
    QStringList names;
    if (const int status = readFolder(args, false, false, parsed, folder, names); status != 0)
        return status;
    QJsonArray rows;
    for (qsizetype k = 0; k < names.size(); ++k) {
        const FileRow row = FileRow::read(int(k + 1), folder, names.at(k));
        const FileRow::Column columns[] = {FileRow::FileId, FileRow::OldName, FileRow::fileLX,
                                           FileRow::fileDX, FileRow::fileSX,  FileRow::CTime,
                                           FileRow::ETime,  FileRow::VTime};
        if (parsed.json) {
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
    if (parsed.json)
        writeJson(*m_env.out, {{u"folder"_s, folder}, {u"rows"_s, rows}, {u"messages"_s, QJsonArray()}});
    m_env.out->flush();
    return 0;
}

int CommandLine::preview(const QStringList& args, bool execute)
{
    ParsedOptions parsed;
    QString folder;
    QStringList names;
    if (const int status = readFolder(args, true, execute, parsed, folder, names); status != 0)
        return status;

    const Rename::NewNameResult computed = Rename::FillNewName(names, *parsed.method, parsed.rename);
    QStringList messages;
    for (const Platform::MessageRequest& message : computed.messages) {
        messages.append(message.text);
        QString text = message.text;
        *m_env.err << text.replace(u"\r\n"_s, u"\n"_s) << Qt::endl;
    }
    const bool attributes = *parsed.method == Rename::RenameMethod::Attributes;
    if (*parsed.method == Rename::RenameMethod::ReferenceDocument && computed.names.isEmpty() &&
        !names.isEmpty())
        return 2; // the reference document could not be read; the message said why
    QStringList newNames = computed.names;
    newNames.resize(names.size());

    QJsonArray rows;
    if (!execute) {
        for (qsizetype k = 0; k < names.size(); ++k) {
            if (parsed.json)
                rows.append(QJsonObject{{u"FileId"_s, QString::number(k + 1)},
                                        {u"OldName"_s, names.at(k)},
                                        {u"NewName"_s, newNames.at(k)}});
            else
                *m_env.out << names.at(k) << u'\t' << newNames.at(k) << u'\n';
        }
        if (parsed.json)
            writeJson(*m_env.out,
                      {{u"folder"_s, folder}, {u"rows"_s, rows}, {u"messages"_s, toJson(messages)}});
        m_env.out->flush();
        return 0;
    }

    QStringList options;
    QString undoPath;
    bool recorded = true;
    if (attributes) {
        // The window asks nothing before it sets attributes; neither does this.
        int mask = 0;
        const int bits[4] = {0, 1, 2, 32};
        for (int i = 0; i < 4; ++i) {
            if (parsed.rename.attributes.ChkSX[size_t(i)])
                mask += bits[i];
        }
        options = Execute::ApplyAttributes(folder, names, mask);
    } else {
        if (!parsed.yes) {
            if (!m_env.terminal) {
                *m_env.err << u"没有终端可以确认“"_s << Execute::renameQuestion()
                           << u"”，未做任何更改；确认无误后请加 --yes。"_s << Qt::endl;
                return 2;
            }
            TerminalDialogs dialogs(*m_env.err, *m_env.err, m_env.terminal, false);
            if (!Execute::ConfirmRename(dialogs)) {
                *m_env.err << u"未做任何更改。"_s << Qt::endl;
                return 2;
            }
        }
        Execute::RenameRequest request;
        request.folder = folder;
        request.oldNames = names;
        request.newNames = newNames;
        request.undoFolder = parsed.undoDir.isEmpty() ? m_env.paths.undoFolder()
                                                      : QFileInfo(parsed.undoDir).absoluteFilePath();
        request.clock = m_env.clock;
        if (!Platform::PathExists(request.undoFolder))
            QDir().mkpath(request.undoFolder);
        const Execute::RenameOutcome outcome = Execute::ExecuteRename(request);
        options = outcome.options;
        undoPath = outcome.undoLogPath;
        recorded = outcome.recorded;
        if (!recorded) {
            const QString warning = u"重命名记录未能写入："_s + undoPath + u"，这些重命名不能撤消。"_s;
            messages.append(warning);
            *m_env.err << warning << Qt::endl;
        }
    }
    bool allSucceeded = true;
    for (qsizetype k = 0; k < names.size(); ++k) {
        const QString option = options.value(k);
        allSucceeded = allSucceeded && option != u"操作失败"_s;
        if (parsed.json)
            rows.append(QJsonObject{{u"FileId"_s, QString::number(k + 1)},
                                    {u"OldName"_s, names.at(k)},
                                    {u"NewName"_s, attributes ? names.at(k) : newNames.at(k)},
                                    {u"option"_s, option}});
        else
            *m_env.out << names.at(k) << u'\t' << (attributes ? names.at(k) : newNames.at(k)) << u'\t'
                       << option << u'\n';
    }
    if (parsed.json) {
        QJsonObject object{{u"folder"_s, folder}, {u"rows"_s, rows}, {u"messages"_s, toJson(messages)}};
        if (!attributes)
            object.insert(u"undo"_s, undoPath);
        writeJson(*m_env.out, object);
    } else if (!attributes) {
        *m_env.out << u"undo: "_s << undoPath << u'\n';
    }
    m_env.out->flush();
    return allSucceeded ? 0 : 1;
}

int CommandLine::undo(const QStringList& args)
{
    if (args.size() < 2 || args.at(1).startsWith(u"--"_s))
        return usageError(u"undo 需要一个重命名记录文档"_s);
    bool json = false;
    bool yes = false;
    for (qsizetype i = 2; i < args.size(); ++i) {
        if (args.at(i) == u"--json"_s)
            json = true;
        else if (args.at(i) == u"--yes"_s)
            yes = true;
        else
            return usageError(u"未知的选项："_s + args.at(i));
    }
    const QString record = QFileInfo(args.at(1)).absoluteFilePath();
    if (!QFileInfo(record).isFile()) {
        *m_env.err << u"无法读取重命名记录文档："_s << record << Qt::endl;
        return 2;
    }
    if (!yes && !m_env.terminal) {
        *m_env.err << u"没有终端可以确认撤消，未做任何更改；确认无误后请加 --yes。"_s << Qt::endl;
        return 2;
    }
    QString collected;
    QTextStream messagesOut(&collected);
    TerminalDialogs dialogs(json ? messagesOut : *m_env.out, *m_env.err, m_env.terminal, yes);
    dialogs.setNextFile(record);
    const Execute::UndoOutcome outcome = Execute::UndoRename(dialogs, QFileInfo(record).absolutePath());
    if (json) {
        writeJson(*m_env.out, {{u"record"_s, record},
                               {u"undone"_s, outcome.undone},
                               {u"missing"_s, outcome.missing},
                               {u"refused"_s, outcome.refused},
                               {u"messages"_s, toJson(dialogs.shown())}});
    }
    m_env.out->flush();
    switch (outcome.result) {
    case Execute::UndoOutcome::Result::Done:
        return outcome.missing == 0 && outcome.refused == 0 ? 0 : 1;
    case Execute::UndoOutcome::Result::Declined:
        *m_env.err << u"未做任何更改。"_s << Qt::endl;
        return 2;
    default:
        return 2;
    }
}

} // namespace App
