#include "FoldersCommand.h"

#include "app/TerminalDialogs.h"
#include "folders/FolderPreview.h"
#include "folders/FolderRename.h"
#include "folders/FolderScan.h"
#include "platform/FileSystem.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace App {

namespace {

int usageError(const CommandLine::Environment& env, const QString& message)
{
    *env.err << u"tarnwick-cli: "_s << message << Qt::endl
             << u"运行 tarnwick-cli folders --help 查看用法。"_s << Qt::endl;
    return 2;
}

QString lineText(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

int runFoldersCommand(const QStringList& args, const CommandLine::Environment& env)
{
    const QString sub = args.value(1);
    const bool run = sub == u"run"_s;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        u"文件夹重命名：METHOD（--number、--affix 或 --case）重命名 FOLDER 的子文件夹；\n"
        "--folder-first 把子文件夹中的文件改名为 文件夹名+文件名，--folder-last 改名为 文件名+文件夹名。"_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"FOLDER"_s, u"所选文件夹"_s, u"folders "_s + sub + u" FOLDER"_s);
    const QCommandLineOption folderFirst(u"folder-first"_s, u"文件夹名+文件名"_s);
    const QCommandLineOption folderLast(u"folder-last"_s, u"文件名+文件夹名"_s);
    const QCommandLineOption copy(u"copy"_s, u"复制到新文件夹（\"_\"+文件夹名，与所选文件夹同级）"_s);
    const QCommandLineOption yes(u"yes"_s, u"不询问，直接执行"_s);
    const QCommandLineOption undoDir(u"undo-dir"_s, u"重命名记录文档所在的文件夹"_s, u"DIR"_s);
    const QCommandLineOption json(u"json"_s, u"输出 JSON 文档 {\"rows\": [...], \"messages\": [...]}"_s);
    parser.addOptions({folderFirst, folderLast, json});
    if (run)
        parser.addOptions({copy, yes, undoDir});
    parser.addOptions(CommandLine::methodOptions());

    if (sub == u"--help"_s || sub == u"-h"_s || sub.isEmpty() || (!run && sub != u"preview"_s)) {
        if (!sub.isEmpty() && sub != u"--help"_s && sub != u"-h"_s)
            return usageError(env, u"未知的 folders 子命令："_s + sub);
        *env.out
            << u"用法：\n  tarnwick-cli folders preview FOLDER (METHOD | --folder-first | --folder-last) "
               u"[--json]\n"
               "  tarnwick-cli folders run     FOLDER (METHOD | --folder-first | --folder-last) [--copy] "
               "[--yes] [--undo-dir DIR] [--json]\n"_s;
        env.out->flush();
        return sub.isEmpty() ? 2 : 0;
    }
    if (!parser.parse(QStringList{u"tarnwick-cli folders "_s + sub} + args.mid(2)))
        return usageError(env, parser.errorText());
    if (parser.isSet(u"help"_s)) {
        *env.out << parser.helpText();
        env.out->flush();
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return usageError(env, u"folders "_s + sub + u" 需要一个文件夹"_s);

    Folders::PreviewRequest preview;
    const int modeCount = int(parser.isSet(folderFirst)) + int(parser.isSet(folderLast));
    const CommandLine::MethodChoice method = CommandLine::methodFromParser(parser);
    if (modeCount > 1)
        return usageError(env, u"--folder-first 与 --folder-last 只能选一个"_s);
    if (modeCount == 1) {
        bool methodOption = false;
        for (const QCommandLineOption& option : CommandLine::methodOptions())
            methodOption = methodOption || parser.isSet(option.names().constFirst());
        if (methodOption)
            return usageError(env, u"--folder-first、--folder-last 不能与重命名方法同用"_s);
        preview.mode =
            parser.isSet(folderFirst) ? Folders::ToolMode::FolderFirst : Folders::ToolMode::FolderLast;
    } else {
        if (!method.error.isEmpty())
            return usageError(env, method.error);
        if (!Folders::methodSupported(*method.method)) {
            *env.err << lineText(Folders::unsupportedMessage()) << Qt::endl;
            return 2;
        }
        preview.method = *method.method;
        preview.options = method.options;
    }
    if (run && parser.isSet(copy) && preview.mode == Folders::ToolMode::FoldersOnly)
        return usageError(env, u"--copy 只用于 --folder-first 或 --folder-last"_s);

    QString folder = QDir::cleanPath(QFileInfo(positional.first()).absoluteFilePath());
    if (!QFileInfo(folder).isDir()) {
        *env.err << u"无法读取文件夹："_s << folder << Qt::endl;
        return 2;
    }
    Folders::ToolLists lists = Folders::scanToolFolder(folder);
    if (lists.LstFolder.isEmpty()) {
        *env.err << Folders::noSubfoldersMessage() << Qt::endl;
        return 2;
    }
    Folders::ScanToolFiles(lists);
    preview.toolFolder = Folders::toolFolderOf(lists);
    preview.lists = &lists;

    QString collected;
    QTextStream messages(&collected);
    const bool assumeYes = run && parser.isSet(yes);
    if (run && !assumeYes && !env.terminal) {
        *env.err << u"没有终端可以确认“"_s << lineText(Folders::runQuestion(preview.mode, parser.isSet(copy)))
                 << u"”，未做任何更改；确认无误后请加 --yes。"_s << Qt::endl;
        return 2;
    }
    TerminalDialogs dialogs(messages, *env.err, env.terminal, assumeYes);
    const Folders::PreviewResult names = Folders::PreviewToolNames(dialogs, preview);
    const bool modeZero = preview.mode == Folders::ToolMode::FoldersOnly;
    const QStringList& items = modeZero ? lists.LstFolderA : lists.LstFileA;
    QJsonArray rows;
    if (!run) {
        for (qsizetype i = 0; i < names.itemCount; ++i) {
            if (parser.isSet(json))
                rows.append(QJsonObject{{u"path"_s, items.at(i)}, {u"newName"_s, names.LstNew.value(i)}});
            else
                *env.out << items.at(i) << u'\t' << names.LstNew.value(i) << u'\n';
        }
        if (parser.isSet(json))
            *env.out << QString::fromUtf8(
                QJsonDocument(QJsonObject{{u"rows"_s, rows},
                                          {u"messages"_s, QJsonArray::fromStringList(dialogs.shown())}})
                    .toJson(QJsonDocument::Indented));
        env.out->flush();
        return 0;
    }

    Folders::ToolRunRequest request;
    request.toolFolder = preview.toolFolder;
    request.mode = preview.mode;
    request.copy = parser.isSet(copy);
    request.itemCount = names.itemCount;
    request.LstFolderA = lists.LstFolderA;
    request.LstFileA = lists.LstFileA;
    request.LstNew = names.LstNew;
    request.undoFolder =
        parser.isSet(undoDir) ? QFileInfo(parser.value(undoDir)).absoluteFilePath() : env.paths.undoFolder();
    request.clock = env.clock;
    if (modeZero && !Platform::PathExists(request.undoFolder))
        QDir().mkpath(request.undoFolder);
    const Folders::ToolRunOutcome outcome = Folders::ExecuteToolRename(dialogs, request);
    if (outcome.result == Folders::ToolRunOutcome::Result::Declined) {
        *env.err << u"未做任何更改。"_s << Qt::endl;
        return 2;
    }
    if (outcome.result != Folders::ToolRunOutcome::Result::Done) {
        for (const QString& text : dialogs.shown())
            *env.err << lineText(text) << Qt::endl;
        return 2;
    }
    for (qsizetype i = 0; i < outcome.paths.size(); ++i) {
        if (parser.isSet(json))
            rows.append(QJsonObject{{u"path"_s, outcome.paths.at(i)},
                                    {u"newName"_s, outcome.newNames.at(i)},
                                    {u"option"_s, outcome.options.at(i)},
                                    {u"reason"_s, outcome.reasons.at(i)}});
        else
            *env.out << outcome.paths.at(i) << u'\t' << outcome.newNames.at(i) << u'\t'
                     << outcome.options.at(i) << u'\n';
    }
    if (parser.isSet(json)) {
        QJsonObject object{{u"rows"_s, rows}, {u"messages"_s, QJsonArray::fromStringList(dialogs.shown())}};
        if (modeZero)
            object.insert(u"undo"_s, outcome.undoLogPath);
        *env.out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
    } else {
        for (const QString& text : dialogs.shown())
            *env.out << lineText(text) << u'\n';
        if (modeZero)
            *env.out << u"undo: "_s << outcome.undoLogPath << u'\n';
    }
    env.out->flush();
    return outcome.skipped == 0 ? 0 : 1;
}

} // namespace App
