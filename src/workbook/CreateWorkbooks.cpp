#include "CreateWorkbooks.h"

#include "ExcelHost.h"
#include "Workbook.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cmath>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

constexpr qint64 maxCount = 32767;

// Writes `data` as a new file at `path`: complete, synced, and renamed into
// place only when nothing is there.
Platform::RenameResult writeNewFile(const QString& path, const QByteArray& data, QString* why)
{
    const QFileInfo fi(path);
    QTemporaryFile tmp(fi.path() + u"/.~"_s + fi.fileName() + u".XXXXXX"_s);
    if (!tmp.open() || tmp.write(data) != data.size() || !tmp.flush() || ::fsync(tmp.handle()) != 0) {
        *why = tmp.errorString();
        return Platform::RenameResult::Failed;
    }
    tmp.close();
    return Platform::renameNoReplace(tmp.fileName(), path, why);
}

} // namespace

qint64 countValue(const QString& Txtsheet, bool* isNumber)
{
    const QString text = Txtsheet.trimmed();
    if (isNumber)
        *isNumber = true;
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        if (isNumber)
            *isNumber = false;
        return 0;
    }
    // Halves go to the even neighbour (the default rounding mode).
    const double r = std::nearbyint(std::clamp(v, -1e15, 1e15));
    return qint64(r);
}

int numberWidth(const QString& Txtsheet)
{
    return int(std::min<qsizetype>(Txtsheet.size() + 1, 10));
}

QString bookName(qint64 i, int width)
{
    return u"Book"_s + QString::number(i).rightJustified(width, u'0') + u".xls"_s;
}

QString outputFolder(const QString& TxtPath)
{
    QString folder = TxtPath.trimmed();
    if (!folder.isEmpty() && !folder.endsWith(u'/') && QFileInfo(folder).isDir())
        folder += u'/';
    return folder;
}

QString creatingLabel(qint64 i, const QString& name)
{
    return u"正在创建第"_s + QString::number(i) + u"个工作簿："_s + name;
}

QString checkCreateOptions(const CreateWorkbooksOptions& options)
{
    if (options.TxtPath.trimmed().isEmpty())
        return u"请选择工作薄的保存路径！"_s;
    const qint64 n = countValue(options.Txtsheet);
    if (n < 1)
        return u"请设置工作薄数量！"_s;
    if (n > maxCount)
        return u"工作薄数量不能超过%1！"_s.arg(maxCount);
    const QString folder = outputFolder(options.TxtPath);
    // A folder typed without its "/" that does not exist names a prefix in its
    // parent: the names are appended to it as typed.
    const QString dir = QFileInfo(folder + u"x"_s).path();
    if (!QFileInfo(dir).isDir())
        return u"保存路径不存在：\r\n"_s + dir;
    const QString templ = options.TxtXLT.trimmed();
    if (!templ.isEmpty() && !QFileInfo(templ).isFile())
        return u"找不到工作薄模板：\r\n"_s + templ;
    return {};
}

CreateWorkbooksResult CreateWorkbooks(ExcelHost& host, const CreateWorkbooksOptions& options,
                                      const CreateProgress& progress)
{
    CreateWorkbooksResult result;
    const QString refusal = checkCreateOptions(options);
    if (!refusal.isEmpty()) {
        result.messages << refusal;
        return result;
    }
    const QString folder = outputFolder(options.TxtPath);
    const QString templ = options.TxtXLT.trimmed();
    const qint64 n = countValue(options.Txtsheet);
    const int width = numberWidth(options.Txtsheet);

    // One conversion: the template's workbook as .xls bytes, then copies.
    Workbook* book = host.Add(templ, &result.error);
    QByteArray bytes;
    if (book) {
        const QString converted = host.privatePath(u".xls"_s);
        if (book->SaveAs(converted, &result.error)) {
            QFile f(converted);
            if (f.open(QIODevice::ReadOnly))
                bytes = f.readAll();
        }
        book->Close(false);
    }
    if (bytes.isEmpty()) {
        result.messages << (templ.isEmpty() ? u"无法创建新工作簿："_s
                                            : u"无法读取工作薄模板：\r\n"_s + templ + u"\r\n"_s) +
                               result.error.message;
        return result;
    }
    result.started = true;

    for (qint64 i = 1; i <= n; ++i) {
        const QString name = bookName(i, width);
        if (progress)
            progress(i, n, name);
        const QString path = folder + name;
        QString why;
        switch (writeNewFile(path, bytes, &why)) {
        case Platform::RenameResult::Renamed:
            result.created << path;
            break;
        case Platform::RenameResult::TargetExists:
            result.skipped << path;
            break;
        default:
            result.failed << path;
            break;
        }
    }
    result.Lblbook = QString::number(result.created.size()) + u" 个工作簿创建完毕！"_s;
    if (!result.skipped.isEmpty())
        result.Lblbook += u"另有%1个工作簿已存在，未替换。"_s.arg(result.skipped.size());
    if (!result.failed.isEmpty())
        result.Lblbook += u"%1个工作簿无法写入。"_s.arg(result.failed.size());
    return result;
}

} // namespace Xl
