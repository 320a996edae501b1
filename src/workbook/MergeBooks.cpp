#include "MergeBooks.h"

#include "BlankSheets.h"
#include "CellAddress.h"
#include "ExcelHost.h"
#include "Workbook.h"
#include "WorkbookInfo.h"
#include "Worksheet.h"
#include "platform/FileSystem.h"
#include "rename/NameParts.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

// `name` in `folder`, or, when a file is there already, the first free of
// "base (2).ext", "base (3).ext", ...: a backup never replaces anything.
QString freeCopyPath(const QString& folder, const QString& name)
{
    const QString first = folder + u'/' + name;
    if (!Platform::PathExists(first))
        return first;
    const Rename::NameParts parts = Rename::SplitExtension(name);
    const QString ext = parts.ext.isEmpty() ? QString() : name.right(parts.ext.size());
    for (int n = 2;; ++n) {
        const QString candidate = folder + u'/' + parts.base + u" ("_s + QString::number(n) + u')' + ext;
        if (!Platform::PathExists(candidate))
            return candidate;
    }
}

QString samePath(const QString& path)
{
    const QFileInfo fi(path);
    const QString canonical = fi.canonicalFilePath();
    return canonical.isEmpty() ? fi.absoluteFilePath() : canonical;
}

// The block of data mode: from A1 to the row Ctrl+Down and the column
// Ctrl+Right reach from A1, without the empty tail a move that ran to the
// sheet's edge adds. Invalid when the sheet holds nothing there.
Range dataBlock(Worksheet* sheet)
{
    const Cell a1 = sheet->Cells(1, 1);
    const Range used = sheet->UsedRange();
    const int bottom = std::min(a1.End(Direction::Down).Row(), used.lastRow());
    const int right = std::min(a1.End(Direction::ToRight).Column(), used.lastColumn());
    if (bottom < 1 || right < 1 || sheet->lastValueRow() == 0)
        return {};
    return Range(sheet, 1, 1, bottom, right);
}

// The last worksheet of `book`: copies go after it.
Worksheet* lastWorksheet(Workbook* book)
{
    const int n = book->worksheetCount();
    return n > 0 ? book->Worksheets(n) : nullptr;
}

class Run
{
public:
    Run(ExcelHost& host, const MergeBooksOptions& o, const MergeBooksProgress& progress, MergeBooksResult& r)
        : m_host(host), m_o(o), m_progress(progress), m_r(r)
    {
    }

    void execute();

private:
    bool check();
    bool openTarget();
    void mergeSheets();
    void mergeData();
    bool backUp();
    void finish();
    void refuse(const QString& text, MergeBooksResult::Status status = MergeBooksResult::Status::Refused)
    {
        m_r.status = status;
        m_r.messages.append({text, status != MergeBooksResult::Status::Refused || m_errorIcon});
    }
    void report(int value, const QString& label)
    {
        if (m_progress)
            m_progress(value, int(m_o.books.size()), label);
    }
    bool isTarget(int i) const
    {
        if (m_o.intCboGoal == 0)
            return i == m_o.goalIndex;
        return samePath(m_o.CurrentFolder + m_o.books[i]) == m_targetKey;
    }
    QString closingNotes() const;

    ExcelHost& m_host;
    const MergeBooksOptions& m_o;
    const MergeBooksProgress& m_progress;
    MergeBooksResult& m_r;
    Workbook* m_target = nullptr;
    QString m_targetKey;
    bool m_errorIcon = false;
    bool m_failed = false; // the merge itself was refused (rows past the format's end)
};

bool Run::check()
{
    if (m_o.intCboGoal == 0) {
        if (m_o.goalIndex < 0 || m_o.goalIndex >= m_o.books.size() || m_o.books[m_o.goalIndex].isEmpty()) {
            refuse(u"请选择目标工作簿"_s);
            return false;
        }
        m_r.target = m_o.CurrentFolder + m_o.books[m_o.goalIndex];
    } else {
        m_r.target = m_o.strGoalFN;
    }
    if (m_o.ChkFolder && folderBackupPath(m_o.CurrentFolder).isEmpty()) {
        m_errorIcon = true;
        refuse(u"文件夹"_s + m_o.CurrentFolder + u"是根目录，无法在其中备份，未合并。"_s);
        return false;
    }
    if (m_o.hbOption == 1 && (m_o.IntCboBook < 1 || m_o.IntCboBook > 20)) {
        refuse(u"合并数据时不能选择全部工作表！"_s);
        return false;
    }
    if (m_o.intCboGoal == 1 && !m_r.target.isEmpty() && !m_o.replaceGoal && QFileInfo::exists(m_r.target)) {
        m_errorIcon = true;
        refuse(m_r.target + u"\r\n"_s + u"文件已存在，未合并。"_s);
        return false;
    }
    m_targetKey = m_r.target.isEmpty() ? QString() : samePath(m_r.target);
    return true;
}

bool Run::openTarget()
{
    if (m_o.intCboGoal == 1)
        m_target = m_host.Add(QString(), &m_r.error);
    else
        m_target = m_host.Open(m_r.target, &m_r.error);
    if (!m_target) {
        refuse(u"无法打开目标工作簿，未合并：\r\n"_s + m_r.target + u"\r\n"_s + m_r.error.message,
               MergeBooksResult::Status::Failed);
        return false;
    }
    return true;
}

void Run::mergeSheets()
{
    const int k = m_o.IntCboBook;
    const int n = int(m_o.books.size());
    for (int i = 0; i < n; ++i) {
        const QString& entry = m_o.books[i];
        MergeBooksSource source;
        source.name = entry;
        const QString tooFew = u"工作簿《"_s + entry + u"》中："_s + u"\r\n"_s + u"工作表数目少于"_s +
                               QString::number(k) + u"个"_s + u"\r\n"_s + u"不能完成合并！"_s;
        // The counts of the last read decide; a book the caller did not count
        // is counted when it is opened.
        const bool counted = i < m_o.intSheetCount.size();
        if (k > 0 && counted && m_o.intSheetCount[i] < k) {
            m_r.messages.append({tooFew, true});
            source.outcome = MergeBooksSource::Outcome::TooFewSheets;
        } else if (isTarget(i)) {
            source.outcome = MergeBooksSource::Outcome::Target;
        } else if (Workbook* book = m_host.Open(m_o.CurrentFolder + entry)) {
            QList<Worksheet*> sheets;
            if (k == 0) {
                sheets = book->worksheetList();
            } else if (Worksheet* w = book->Worksheets(k)) {
                sheets << w;
            } else {
                if (!counted)
                    m_r.messages.append({tooFew, true});
                source.outcome = MergeBooksSource::Outcome::TooFewSheets;
            }
            for (Worksheet* w : sheets) {
                report(i, u"正在合并第"_s + QString::number(i + 1) + u"工作簿中《"_s + w->Name() +
                              (k == 0 ? u"》工作表!"_s : u"》工作表中数据"_s));
                // Renamed in the source, which is never saved; a name the
                // engine refuses leaves the sheet's own.
                w->setName(copySheetName(entry, w->Name(), m_o.IntOptName));
                if (w->Copy(lastWorksheet(m_target)))
                    ++source.sheets;
            }
            book->Close(false);
        } else {
            source.outcome = MergeBooksSource::Outcome::Unreadable;
        }
        m_r.sources << source;
        report(i + 1, QString());
    }
    m_r.Lblbook = u"    "_s + QString::number(n) + u"个工作簿合并完成！"_s;
}

void Run::mergeData()
{
    const int k = m_o.IntCboBook;
    const int n = int(m_o.books.size());
    Worksheet* target = m_target->Worksheets(m_o.intCboGoal == 1 ? 1 : k);
    if (!target) {
        m_errorIcon = true;
        refuse(u"目标工作簿《"_s + m_target->Name() + u"》中没有第"_s + QString::number(k) +
               u"个工作表，未合并。"_s);
        m_failed = true;
        return;
    }
    const int limit = formatRowLimit(m_r.target);
    bool titlePasted = false;
    for (int i = 0; i < n; ++i) {
        const QString& entry = m_o.books[i];
        MergeBooksSource source;
        source.name = entry;
        if (isTarget(i)) {
            source.outcome = MergeBooksSource::Outcome::Target;
        } else if (Workbook* book = m_host.Open(m_o.CurrentFolder + entry)) {
            if (Worksheet* w = book->Worksheets(k)) {
                report(i, u"正在合并第"_s + QString::number(i + 1) + u"工作簿中《"_s + w->Name() +
                              u"》工作表中数据"_s);
                const Range block = dataBlock(w);
                // A new target takes the first title row it is given; an
                // existing one has its own.
                const bool withTitle = !m_o.ChkBT || (m_o.intCboGoal == 1 && !titlePasted);
                const int top = withTitle ? 1 : 2;
                if (block.isValid() && block.lastRow() >= top) {
                    const int rows = block.lastRow() - top + 1;
                    const qint64 next = qint64(target->lastValueRow()) + 1;
                    if (next + rows - 1 > limit) {
                        book->Close(false);
                        m_errorIcon = true;
                        refuse(u"合并后的数据将超过第"_s + QString::number(limit) + u"行，这是《"_s +
                               QFileInfo(m_r.target).fileName() + u"》的格式所能容纳的最后一行。"_s +
                               u"\r\n"_s + u"未合并，目标工作簿没有改变。"_s);
                        m_failed = true;
                        return;
                    }
                    const Range part(w, top, 1, rows, block.columnCount());
                    if (part.Copy(target->Cells(int(next), 1))) {
                        source.rows = rows;
                        titlePasted = titlePasted || withTitle;
                    } else {
                        source.outcome = MergeBooksSource::Outcome::Unreadable;
                    }
                } else if (block.isValid() && withTitle) {
                    titlePasted = true;
                }
            } else {
                source.outcome = MergeBooksSource::Outcome::TooFewSheets;
            }
            book->Close(false);
        } else {
            source.outcome = MergeBooksSource::Outcome::Unreadable;
        }
        m_r.sources << source;
        report(i + 1, QString());
    }
    m_r.Lblbook =
        QString::number(n) + u"工作簿中数据已经合并在《"_s + QFileInfo(m_r.target).fileName() + u"》！"_s;
}

bool Run::backUp()
{
    const QString folder = folderBackupPath(m_o.CurrentFolder);
    Platform::makeFolder(folder);
    for (const QString& entry : m_o.books) {
        QString why;
        const QString to = freeCopyPath(folder, entry);
        if (!Platform::copyFile(m_o.CurrentFolder + entry, to, false, &why)) {
            m_errorIcon = true;
            refuse(u"无法备份文件夹，未合并：\r\n"_s + to + u"\r\n"_s + why,
                   MergeBooksResult::Status::Failed);
            return false;
        }
    }
    m_r.backupFolder = folder;
    m_r.messages.append({u"文件夹已备份在："_s + u"\r\n"_s + folder, false});
    return true;
}

QString Run::closingNotes() const
{
    QStringList unreadable, tooFew;
    for (const MergeBooksSource& s : m_r.sources) {
        if (s.outcome == MergeBooksSource::Outcome::Unreadable)
            unreadable << s.name;
        else if (s.outcome == MergeBooksSource::Outcome::TooFewSheets)
            tooFew << s.name;
    }
    QString notes;
    if (!unreadable.isEmpty())
        notes +=
            u"  "_s + QString::number(unreadable.size()) + u"个工作簿无法打开："_s + unreadable.join(u"、"_s);
    // The one-worksheet merge of worksheets has said so in a message already.
    if (!tooFew.isEmpty() && !(m_o.hbOption == 0 && m_o.IntCboBook > 0))
        notes += u"  "_s + QString::number(tooFew.size()) + u"个工作簿中没有第"_s +
                 QString::number(m_o.IntCboBook) + u"个工作表："_s + tooFew.join(u"、"_s);
    return notes;
}

void Run::finish()
{
    if (m_o.IntOptBlank == 0)
        m_r.blankDeleted = deleteBlankWorksheets(*m_target);
    const bool saved =
        m_o.intCboGoal == 1 ? m_target->SaveAs(m_r.target, &m_r.error) : m_target->Save(&m_r.error);
    m_target->Close(false);
    m_target = nullptr;
    if (!saved) {
        refuse(u"无法保存目标工作簿，文件未改变：\r\n"_s + m_r.target + u"\r\n"_s + m_r.error.message,
               MergeBooksResult::Status::Failed);
        m_r.Lblbook.clear();
        return;
    }
    m_r.status = MergeBooksResult::Status::Done;
    m_r.Lblbook += closingNotes();
}

void Run::execute()
{
    if (!check())
        return;
    m_r.started = true;
    // A new target without a name ends the run after the backup, silently.
    if (m_o.intCboGoal == 1 && m_r.target.isEmpty()) {
        if (!m_o.ChkFolder || backUp())
            m_r.status = MergeBooksResult::Status::Stopped;
        return;
    }
    if (!openTarget())
        return;
    QStringList sources;
    for (int i = 0; i < m_o.books.size(); ++i) {
        if (!isTarget(i))
            sources << m_o.CurrentFolder + m_o.books[i];
    }
    convertLegacyAhead(m_host, sources);
    report(0, QString());
    if (m_o.hbOption == 1)
        mergeData();
    else
        mergeSheets();
    report(0, QString());
    if (m_failed || (m_o.ChkFolder && !backUp())) {
        m_target->Close(false);
        m_r.Lblbook.clear();
        return;
    }
    finish();
}

} // namespace

bool MergeBooksResult::anySkipped() const
{
    return std::any_of(sources.begin(), sources.end(), [](const MergeBooksSource& s) {
        return s.outcome == MergeBooksSource::Outcome::Unreadable ||
               s.outcome == MergeBooksSource::Outcome::TooFewSheets;
    });
}

MergeBooksResult mergeWorkbooks(ExcelHost& host, const MergeBooksOptions& options,
                                const MergeBooksProgress& progress)
{
    MergeBooksResult result;
    Run(host, options, progress, result).execute();
    return result;
}

QString newGoalPath(const QString& currentFolder, const QString& answer)
{
    return currentFolder + answer + u".xls"_s;
}

QString folderBackupPath(const QString& currentFolder)
{
    QString p = QDir::cleanPath(currentFolder);
    if (p.isEmpty() || p == u"/"_s)
        return {};
    const QString last = p.mid(p.lastIndexOf(u'/') + 1);
    if (last.isEmpty())
        return {};
    return p + u"/_"_s + last;
}

QString copySheetName(const QString& bookName, const QString& sheetName, int IntOptName)
{
    const QString base = Rename::SplitExtension(bookName).base;
    switch (IntOptName) {
    case 0:
        return sheetName;
    case 2:
        return base;
    default:
        return base + u'_' + sheetName;
    }
}

int formatRowLimit(const QString& path)
{
    const FileFormat format = formatForPath(path);
    return format == FileFormat::Xls || format == FileFormat::Xlt ? 65536 : MaxRows;
}

} // namespace Xl
