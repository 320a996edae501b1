#include "ExcelHost.h"

#include "CompoundFile.h"
#include "PackageTypes.h"
#include "Workbook.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

constexpr qint64 maxFileSize = qint64(1) << 30;

bool isZip(const QByteArray& b)
{
    return b.size() >= 4 && (std::memcmp(b.constData(), "PK\x03\x04", 4) == 0 ||
                             std::memcmp(b.constData(), "PK\x05\x06", 4) == 0);
}

// OpenDocument packages store their media type first, uncompressed.
bool isOpenDocument(const QByteArray& b)
{
    return b.size() > 80 && b.mid(30, 8) == "mimetype" &&
           b.mid(38, 46).startsWith("application/vnd.oasis.opendocument.spreadsheet");
}

QString tail(const QByteArray& text)
{
    const QString s = QString::fromLocal8Bit(text).trimmed();
    return s.size() > 400 ? s.right(400) : s;
}

} // namespace

ExcelHost::ExcelHost() : m_converter(findConverter()) {}

ExcelHost::~ExcelHost()
{
    Quit();
}

QString ExcelHost::findConverter()
{
    return QStandardPaths::findExecutable(u"ssconvert"_s);
}

QList<Workbook*> ExcelHost::Workbooks() const
{
    QList<Workbook*> out;
    for (const auto& b : m_books)
        out << b.get();
    return out;
}

void ExcelHost::Quit()
{
    m_books.clear();
}

void ExcelHost::closed(Workbook* book)
{
    for (auto it = m_books.begin(); it != m_books.end(); ++it) {
        if (it->get() == book) {
            m_books.erase(it);
            return;
        }
    }
}

SaveFault ExcelHost::takeSaveFault()
{
    const SaveFault f = m_saveFault;
    m_saveFault = SaveFault::None;
    return f;
}

QString ExcelHost::privatePath(const QString& suffix)
{
    if (!m_temp) {
        m_temp = std::make_unique<QTemporaryDir>(QDir::tempPath() + u"/tarnwick-workbooks-XXXXXX"_s);
        if (!m_temp->isValid())
            return {};
    }
    return m_temp->path() + u"/w"_s + QString::number(++m_tempCounter) + suffix;
}

ExcelHost::FileKind ExcelHost::classify(const QByteArray& head, const QString& fileName, QString* importType)
{
    if (importType)
        importType->clear();
    if (isOpenDocument(head))
        return FileKind::OpenDocument;
    if (isZip(head))
        return FileKind::Package;
    if (head.size() >= 8 && std::memcmp(head.constData(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0)
        return FileKind::Compound;
    // Web systems export HTML tables or Excel 2003 XML under .xls names.
    const FileFormat format = formatForPath(fileName);
    if (format != FileFormat::Xls && format != FileFormat::Xlt)
        return FileKind::Unknown;
    QByteArray text = head.left(2048).toLower();
    if (text.startsWith("\xef\xbb\xbf"))
        text.remove(0, 3);
    if (!text.trimmed().startsWith('<'))
        return FileKind::Unknown;
    if (text.contains("urn:schemas-microsoft-com:office:spreadsheet")) {
        if (importType)
            *importType = u"Gnumeric_Excel:excel_xml"_s;
        return FileKind::WebTable;
    }
    if (text.contains("<html") || text.contains("<table"))
        return FileKind::WebTable;
    return FileKind::Unknown;
}

bool ExcelHost::convert(const QString& source, const QString& target, WorkbookError* error,
                        const QString& exportType, const QString& importType) const
{
    if (m_converter.isEmpty() || !QFileInfo(m_converter).isExecutable())
        return fail(error, WorkbookError::Code::ConverterMissing,
                    m_converter.isEmpty() ? u"ssconvert"_s : m_converter);
    QStringList args;
    if (!importType.isEmpty())
        args << u"-I"_s << importType;
    if (!exportType.isEmpty())
        args << u"-T"_s << exportType;
    args << source << target;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s);
    env.insert(u"NO_AT_BRIDGE"_s, u"1"_s);
    p.setProcessEnvironment(env);
    p.start(m_converter, args);
    if (!p.waitForStarted(10000))
        return fail(error, WorkbookError::Code::ConverterMissing, m_converter + u": "_s + p.errorString());
    if (!p.waitForFinished(300000)) {
        p.kill();
        p.waitForFinished(5000);
        return fail(error, WorkbookError::Code::ConversionFailed,
                    QFileInfo(source).fileName() + u": timeout"_s);
    }
    const QString messages = tail(p.readAllStandardError());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !QFileInfo(target).isFile() ||
        QFileInfo(target).size() == 0) {
        QFile::remove(target);
        return fail(error, WorkbookError::Code::ConversionFailed,
                    QFileInfo(source).fileName() + (messages.isEmpty() ? QString() : u": "_s + messages));
    }
    return true;
}

QStringList ExcelHost::convertAll(const QStringList& sources, QList<WorkbookError>* errors)
{
    QStringList results(sources.size());
    QList<WorkbookError> errs(sources.size());
    if (m_converter.isEmpty() || !QFileInfo(m_converter).isExecutable()) {
        for (WorkbookError& e : errs)
            e = WorkbookError::make(WorkbookError::Code::ConverterMissing, u"ssconvert"_s);
        if (errors)
            *errors = errs;
        return results;
    }
    struct Job
    {
        int index;
        QString target;
        std::unique_ptr<QProcess> process;
    };
    std::vector<Job> running;
    int next = 0;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"GSETTINGS_BACKEND"_s, u"memory"_s);
    env.insert(u"NO_AT_BRIDGE"_s, u"1"_s);
    // Two conversions at a time keep both cores busy.
    while (next < sources.size() || !running.empty()) {
        while (running.size() < 2 && next < sources.size()) {
            Job job;
            job.index = next++;
            job.target = privatePath(u".xlsx"_s);
            job.process = std::make_unique<QProcess>();
            job.process->setProcessEnvironment(env);
            QStringList args;
            {
                QFile head(sources[job.index]);
                QString importType;
                if (head.open(QIODevice::ReadOnly))
                    classify(head.read(2048), sources[job.index], &importType);
                if (!importType.isEmpty())
                    args << u"-I"_s << importType;
            }
            args << sources[job.index] << job.target;
            job.process->start(m_converter, args);
            if (!job.process->waitForStarted(10000)) {
                errs[job.index] = WorkbookError::make(WorkbookError::Code::ConverterMissing, m_converter);
                continue;
            }
            running.push_back(std::move(job));
        }
        for (auto it = running.begin(); it != running.end();) {
            if (it->process->state() != QProcess::NotRunning && !it->process->waitForFinished(20)) {
                ++it;
                continue;
            }
            const QString source = sources[it->index];
            const QFileInfo out(it->target);
            if (it->process->exitStatus() == QProcess::NormalExit && it->process->exitCode() == 0 &&
                out.isFile() && out.size() > 0) {
                results[it->index] = it->target;
                const QFileInfo in(source);
                m_converted.insert(in.absoluteFilePath(),
                                   Converted{it->target, in.lastModified(), in.size()});
            } else {
                const QString messages = tail(it->process->readAllStandardError());
                errs[it->index] = WorkbookError::make(
                    WorkbookError::Code::ConversionFailed,
                    QFileInfo(source).fileName() + (messages.isEmpty() ? QString() : u": "_s + messages));
                const QFileInfo in(source);
                m_failed.insert(in.absoluteFilePath(),
                                {Converted{QString(), in.lastModified(), in.size()}, errs[it->index]});
            }
            it = running.erase(it);
        }
    }
    if (errors)
        *errors = errs;
    return results;
}

Workbook* ExcelHost::Open(const QString& path, WorkbookError* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        fail(error, WorkbookError::Code::NotFound, path);
        return nullptr;
    }
    if (!info.isFile()) {
        fail(error, WorkbookError::Code::NotAWorkbook, path);
        return nullptr;
    }
    if (info.size() > maxFileSize) {
        fail(error, WorkbookError::Code::TooLarge, u"%1: %2 bytes"_s.arg(path).arg(info.size()));
        return nullptr;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        fail(error, WorkbookError::Code::ReadFailed, u"%1: %2"_s.arg(path, f.errorString()));
        return nullptr;
    }
    const QByteArray bytes = f.readAll();
    f.close();

    auto withFile = [&](WorkbookError* e) {
        if (e && !e->detail.startsWith(info.fileName()))
            e->detail = info.fileName() + u": "_s + e->detail;
    };

    QString importType;
    const FileKind kind = classify(bytes.left(2048), info.fileName(), &importType);
    if (kind == FileKind::Package) {
        auto book = std::unique_ptr<Workbook>(new Workbook(this));
        if (!book->loadPackage(bytes, error)) {
            withFile(error);
            return nullptr;
        }
        book->m_path = info.absoluteFilePath();
        const QString main = book->m_types.typeOf(book->m_workbookPart);
        book->m_format = main == Types::xlsmMain   ? FileFormat::Xlsm
                         : main == Types::xltxMain ? FileFormat::Xltx
                         : main == Types::xltmMain ? FileFormat::Xltm
                                                   : FileFormat::Xlsx;
        m_books.push_back(std::move(book));
        return m_books.back().get();
    }
    if (kind == FileKind::Compound) {
        CompoundFile cf;
        if (!cf.parse(bytes)) {
            fail(error, WorkbookError::Code::Corrupt, info.fileName() + u": damaged compound file"_s);
            return nullptr;
        }
        if (cf.hasStream(u"EncryptionInfo"_s) || cf.hasStream(u"EncryptedPackage"_s) ||
            cf.isEncryptedBiff()) {
            fail(error, WorkbookError::Code::Encrypted, info.fileName());
            return nullptr;
        }
        if (!cf.hasStream(u"Workbook"_s) && !cf.hasStream(u"Book"_s)) {
            fail(error, WorkbookError::Code::NotAWorkbook, info.fileName() + u": no workbook stream"_s);
            return nullptr;
        }
    } else if (kind == FileKind::Unknown) {
        fail(error, WorkbookError::Code::NotAWorkbook, info.fileName());
        return nullptr;
    }

    // A legacy workbook: converted once, then worked on natively.
    const QString absolute = info.absoluteFilePath();
    QString xlsx;
    const auto cached = m_converted.constFind(absolute);
    if (cached != m_converted.constEnd() && cached->modified == info.lastModified() &&
        cached->size == info.size() && QFileInfo::exists(cached->xlsx)) {
        xlsx = cached->xlsx;
    } else {
        // A conversion that failed in a folder scan is not tried again.
        const auto failed = m_failed.constFind(absolute);
        if (failed != m_failed.constEnd() && failed->first.modified == info.lastModified() &&
            failed->first.size == info.size()) {
            fail(error, failed->second);
            return nullptr;
        }
        xlsx = privatePath(u".xlsx"_s);
        if (xlsx.isEmpty()) {
            fail(error, WorkbookError::Code::ConversionFailed, u"no temporary folder"_s);
            return nullptr;
        }
        if (!convert(absolute, xlsx, error, QString(), importType))
            return nullptr;
        m_converted.insert(absolute, Converted{xlsx, info.lastModified(), info.size()});
    }
    return openConverted(absolute, xlsx, error);
}

Workbook* ExcelHost::openConverted(const QString& path, const QString& xlsx, WorkbookError* error)
{
    QFile f(xlsx);
    if (!f.open(QIODevice::ReadOnly)) {
        fail(error, WorkbookError::Code::ConversionFailed, xlsx);
        return nullptr;
    }
    auto book = std::unique_ptr<Workbook>(new Workbook(this));
    if (!book->loadPackage(f.readAll(), error)) {
        if (error)
            error->detail = QFileInfo(path).fileName() + u" (converted): "_s + error->detail;
        return nullptr;
    }
    book->m_path = path;
    const FileFormat byName = formatForPath(path);
    book->m_format = (byName == FileFormat::Xls || byName == FileFormat::Xlt || byName == FileFormat::Ods ||
                      byName == FileFormat::Et)
                         ? byName
                         : FileFormat::Xls;
    m_books.push_back(std::move(book));
    return m_books.back().get();
}

Workbook* ExcelHost::Add(const QString& templatePath, WorkbookError* error)
{
    if (templatePath.isEmpty()) {
        auto book = std::unique_ptr<Workbook>(new Workbook(this));
        if (!book->createNew(error))
            return nullptr;
        book->m_newName = u"Book"_s + QString::number(++m_newCounter);
        m_books.push_back(std::move(book));
        return m_books.back().get();
    }
    Workbook* book = Open(templatePath, error);
    if (!book)
        return nullptr;
    // A workbook made from a template has no file until it is saved.
    book->m_newName = QFileInfo(templatePath).completeBaseName() + QString::number(++m_newCounter);
    book->m_path.clear();
    book->m_format = book->m_format == FileFormat::Xltm || book->m_format == FileFormat::Xlsm
                         ? FileFormat::Xlsm
                         : FileFormat::Xlsx;
    return book;
}

} // namespace Xl
