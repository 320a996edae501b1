#include "BlankLinesCommand.h"

#include "app/TerminalDialogs.h"
#include "textfiles/BlankLineCommands.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace App {

int runBlankLinesCommand(const QStringList& args, const CommandLine::Environment& env)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(u"删除文本文件中的空行（只含空格的行），原文档备份为 \"_\"+文件名。"_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"FILE-OR-FOLDER"_s, u"一个文本文件，或一个文件夹（其中所有 .txt 文件）"_s,
                                 u"blank-lines FILE-OR-FOLDER"_s);
    const QCommandLineOption noBackup(u"no-backup"_s, u"不保留备份"_s);
    const QCommandLineOption json(u"json"_s, u"输出 JSON 文档 {\"rows\": [...], \"messages\": [...]}"_s);
    parser.addOptions({noBackup, json});
    auto usageError = [&](const QString& message) {
        *env.err << u"tarnwick-cli: "_s << message << Qt::endl
                 << u"运行 tarnwick-cli blank-lines --help 查看用法。"_s << Qt::endl;
        return 2;
    };
    if (!parser.parse(QStringList{u"tarnwick-cli blank-lines"_s} + args.mid(1)))
        return usageError(parser.errorText());
    if (parser.isSet(u"help"_s)) {
        *env.out << parser.helpText();
        env.out->flush();
        return 0;
    }
    if (parser.positionalArguments().size() != 1)
        return usageError(u"blank-lines 需要一个文件或文件夹"_s);

    const bool keep = !parser.isSet(noBackup);
    const QFileInfo target(parser.positionalArguments().constFirst());
    const QString path = QDir::cleanPath(target.absoluteFilePath());
    QString collected;
    QTextStream messages(&collected);
    TerminalDialogs dialogs(messages, *env.err, nullptr, false);
    TextFiles::BlankLineRun run;
    if (target.isDir()) {
        qsizetype count = 0;
        QStringList names;
        if (!TextFiles::Read_Txt(dialogs, path, count, names)) {
            *env.err << collected;
            return 2;
        }
        QStringList paths;
        for (const QString& name : std::as_const(names))
            paths.append(path + u'/' + name);
        run = TextFiles::RemoveBlankLinesFromFiles(paths, keep ? TextFiles::BackupPolicy::Keep
                                                               : TextFiles::BackupPolicy::Delete);
        dialogs.message(TextFiles::allFilesMessage(run));
    } else if (target.isFile()) {
        run = TextFiles::RemoveBlankLinesFromFiles(
            {path}, keep ? TextFiles::BackupPolicy::Keep : TextFiles::BackupPolicy::DeleteUnlessReadOnly);
        dialogs.message(TextFiles::singleFileMessage(path, run.results.constFirst(), keep));
    } else {
        *env.err << u"无法读取文件或文件夹："_s << path << Qt::endl;
        return 2;
    }

    QJsonArray rows;
    for (qsizetype i = 0; i < run.paths.size(); ++i) {
        const TextFiles::BlankLineResult& r = run.results.at(i);
        if (parser.isSet(json)) {
            rows.append(QJsonObject{{u"path"_s, run.paths.at(i)},
                                    {u"cleaned"_s, r.cleaned},
                                    {u"removed"_s, r.removed},
                                    {u"backup"_s, r.backupPath},
                                    {u"error"_s, r.error}});
        } else if (r.cleaned) {
            *env.out << run.paths.at(i) << u'\t' << r.removed << u'\t' << r.backupPath << u'\n';
        } else {
            *env.out << run.paths.at(i) << u'\t' << u"操作失败"_s << u'\t' << r.error << u'\n';
        }
    }
    if (parser.isSet(json))
        *env.out << QString::fromUtf8(
            QJsonDocument(
                QJsonObject{{u"rows"_s, rows}, {u"messages"_s, QJsonArray::fromStringList(dialogs.shown())}})
                .toJson(QJsonDocument::Indented));
    else
        *env.out << collected;
    env.out->flush();
    return run.failed() == 0 ? 0 : 1;
}

} // namespace App
