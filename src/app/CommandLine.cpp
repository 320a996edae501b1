#include "CommandLine.h"

#include "cli/BlankLinesCommand.h"
#include "cli/ContactsCommand.h"
#include "cli/FoldersCommand.h"
#include "cli/RenameCommand.h"
#include "cli/WorkbookCommands.h"
#include "execute/MenuTools.h"
#include "workbook/WorkbookCommand.h"

#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace App {

CommandLine::CommandLine(Environment environment) : m_env(std::move(environment)) {}

QList<QCommandLineOption> CommandLine::methodOptions()
{
    return Cli::methodCommandLineOptions();
}

CommandLine::MethodChoice CommandLine::methodFromParser(const QCommandLineParser& parser)
{
    return Cli::methodFromParser(parser);
}

QString CommandLine::usage()
{
    return uR"(用法：
  tarnwick-cli list    FOLDER [--filter PATTERNS] [--json]
  tarnwick-cli preview FOLDER METHOD [--filter PATTERNS] [--json]
  tarnwick-cli rename  FOLDER METHOD [--filter PATTERNS] [--yes] [--undo-dir DIR] [--json]
  tarnwick-cli undo    RECORD [--undo-dir DIR] [--yes] [--json]
  tarnwick-cli undo    --list [--undo-dir DIR] [--json]
  tarnwick-cli workbook info FILE-OR-FOLDER [--json]
  tarnwick-cli workbook cells FILE --sheet N [--json]
  tarnwick-cli folders preview FOLDER (METHOD | --folder-first | --folder-last) [--json]
  tarnwick-cli folders run     FOLDER (METHOD | --folder-first | --folder-last) [--copy] [--yes] [--undo-dir DIR] [--json]
  tarnwick-cli blank-lines     FILE-OR-FOLDER [--no-backup] [--json]
  tarnwick-cli workbook merge-sheets FILE [--into-new NAME | --into-sheet N] [--title-row N] [--no-single-title] [--backup] [--json]
  tarnwick-cli workbook merge-books FOLDER (--into EXISTING | --new NAME) [--data] [--sheet K]
          [--names original|book_sheet|book] [--every-title] [--keep-blank] [--backup-folder] [--yes] [--json]
  tarnwick-cli workbook delete-blank FILE-OR-FOLDER [--json]
  tarnwick-cli workbook create FOLDER --count TEXT [--template FILE] [--json]
)"_s + contactsUsage() +
           uR"(  tarnwick-cli --help | --version

METHOD（与主窗口的选项卡相同）：
  --number [--prefix T] [--suffix T] [--digits N] [--increment N] [--start N] [--keep-name before|after]
                                                                      自动编号
  --delete-front N | --delete-back N                                  删除字符
  --affix [--prefix T] [--suffix T] [--drop-name]                     添加前后缀
  --replace FIND --with TEXT                                          替换字符
  --ext TEXT                                                          修改扩展名
  --split SEP [--part before|after|swap] [--keep-separator] [--trim]  分割文件名
  --reference FILE [--keep-name before|after]                         引用文档
  --case upper|lower|title [--pinyin] [--strip-spaces]                汉字转拼音
  --attributes LIST   (normal,readonly,hidden,archive；只用于 rename)   更改属性

选项可写作 --prefix=IMG_ 或 --prefix IMG_；tarnwick-cli 命令 --help 显示该命令的选项。
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
    if (Cli::isRenameCommand(command))
        return Cli::runRenameCommand(arguments, m_env);
    if (command == u"workbook"_s)
        return runWorkbookCommands(arguments, *m_env.out, *m_env.err);
    if (command == u"contacts"_s)
        return runContactsCommand(arguments, *m_env.out, *m_env.err, m_env.paths);
    if (command == u"folders"_s)
        return runFoldersCommand(arguments, m_env);
    if (command == u"blank-lines"_s)
        return runBlankLinesCommand(arguments, m_env);
    return usageError(u"未知的命令："_s + command);
}

} // namespace App
