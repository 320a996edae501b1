// Saving: the changed parts go back into the package, which is written
// atomically; legacy formats go through ssconvert on the way out.

#include "Workbook.h"

#include "AtomicSave.h"
#include "ExcelHost.h"
#include "FormulaRefs.h"
#include "PackageTypes.h"
#include "Parallel.h"
#include "WorkbookInternals.h"
#include "Worksheet.h"
#include "Xml.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

QString mainContentTypeFor(FileFormat format)
{
    switch (format) {
    case FileFormat::Xlsm:
        return Types::xlsmMain;
    case FileFormat::Xltx:
        return Types::xltxMain;
    case FileFormat::Xltm:
        return Types::xltmMain;
    default:
        return Types::xlsxMain;
    }
}

QString exportTypeFor(FileFormat format)
{
    switch (format) {
    case FileFormat::Xls:
    case FileFormat::Xlt:
    case FileFormat::Et:
        return u"Gnumeric_Excel:excel_biff8"_s;
    case FileFormat::Ods:
        return u"Gnumeric_OpenCalc:odf"_s;
    default:
        return {};
    }
}

} // namespace

void Workbook::ensureSharedStringsPart()
{
    if (!m_sstPart.isEmpty())
        return;
    const QString folder = PartName::folder(m_workbookPart);
    m_sstPart = (folder.isEmpty() ? QString() : folder + u'/') + u"sharedStrings.xml"_s;
    if (m_zip.contains(m_sstPart))
        m_sstPart =
            uniquePartName((folder.isEmpty() ? QString() : folder + u'/') + u"sharedStrings"_s, u"xml"_s);
    if (Relationships* r = rels(m_workbookPart))
        r->add(relTypeBase() + u"sharedStrings"_s, PartName::relativeTarget(m_workbookPart, m_sstPart));
    addPartType(m_sstPart, Types::sharedStrings);
}

bool Workbook::flush(FileFormat format, const QString& destination, WorkbookError* error)
{
    // Exactly the active sheet shows as selected once tabs moved or changed.
    if (m_sheetsChanged || m_activeChanged) {
        const int active = activeIndex();
        for (size_t i = 0; i < m_sheets.size(); ++i) {
            Worksheet* ws = m_sheets[i].sheet.get();
            if (ws && ws->isTabSelected() != (int(i) == active))
                ws->setTabSelected(int(i) == active);
        }
    }
    // Changed worksheets are written out two at a time.
    std::vector<const Slot*> changed;
    for (const Slot& s : m_sheets) {
        if (s.sheet && s.sheet->m_modified) {
            s.sheet->prepareSave();
            changed.push_back(&s);
        }
    }
    std::vector<QByteArray> xml(changed.size());
    parallelFor(int(changed.size()), [&](int i) { xml[size_t(i)] = changed[size_t(i)]->sheet->save(); });
    for (size_t i = 0; i < changed.size(); ++i)
        m_zip.write(changed[i]->part, xml[i]);
    if (m_sst.isModified()) {
        ensureSharedStringsPart();
        m_zip.write(m_sstPart, m_sst.save());
    }
    if (m_styles.isModified()) {
        if (m_stylesPart.isEmpty()) {
            const QString folder = PartName::folder(m_workbookPart);
            m_stylesPart =
                uniquePartName((folder.isEmpty() ? QString() : folder + u'/') + u"styles"_s, u"xml"_s);
            if (Relationships* r = rels(m_workbookPart))
                r->add(relTypeBase() + u"styles"_s, PartName::relativeTarget(m_workbookPart, m_stylesPart));
            addPartType(m_stylesPart, Types::styles);
        }
        m_zip.write(m_stylesPart, m_styles.save());
    }

    Relationships* wbRels = rels(m_workbookPart, error);
    if (!wbRels)
        return false;
    if (!m_links.empty()) {
        QByteArray ns = Internal::namespaceOf(m_workbook.document_element());
        if (ns.isEmpty())
            ns = Types::mainNamespace.toUtf8();
        QString relNs = relTypeBase();
        relNs.chop(1);
        for (const auto& link : m_links) {
            m_zip.write(link->part(), link->xml(ns, relNs.toUtf8()));
            // The way to the other file depends on where this one is written.
            Relationships* own = rels(link->part(), error);
            if (!own)
                return false;
            own->remove(u"rId1"_s);
            own->addWithId(u"rId1"_s, relTypeBase() + u"externalLinkPath"_s, link->target(destination), true);
        }
    }
    // The calculation chain lists formula cells; once cells change it would be
    // stale, and the application rebuilds it when it is missing.
    if (m_cellsChanged) {
        for (const Relationships::Relationship& r : wbRels->byKind(u"calcChain"_s)) {
            const QString part = m_zip.spelling(PartName::resolve(m_workbookPart, r.target));
            if (!part.isEmpty())
                removePart(part);
            wbRels->remove(r.id);
        }
    }
    if (m_formulasWritten) {
        pugi::xml_node calcPr =
            Xml::ensureOrdered(m_workbook.document_element(), "calcPr", Xml::workbookOrder());
        if (!calcPr.attribute("fullCalcOnLoad").as_bool(false)) {
            Xml::setAttr(calcPr, "fullCalcOnLoad", u"1"_s);
            m_workbookModified = true;
        }
    }
    if (m_sheetsChanged)
        syncAppProperties();

    const QString mainType = mainContentTypeFor(format);
    if (m_types.typeOf(m_workbookPart) != mainType)
        m_types.setOverride(m_workbookPart, mainType);
    if (format == FileFormat::Xlsx || format == FileFormat::Xltx) {
        // These formats cannot hold macros.
        for (const Relationships::Relationship& r : wbRels->byKind(u"vbaProject"_s)) {
            const QString part = m_zip.spelling(PartName::resolve(m_workbookPart, r.target));
            if (!part.isEmpty()) {
                for (const QString& p : partGraph(part))
                    removePart(p);
            }
            wbRels->remove(r.id);
        }
    }

    if (m_workbookModified)
        m_zip.write(m_workbookPart, Xml::save(m_workbook));
    for (auto it = m_rels.constBegin(); it != m_rels.constEnd(); ++it) {
        if ((*it)->isModified()) {
            const QString part = it.key().isEmpty() ? QString() : m_zip.spelling(it.key());
            if (!it.key().isEmpty() && part.isEmpty())
                continue; // the part is gone
            m_zip.write(PartName::relsPart(part), (*it)->save());
        }
    }
    if (m_types.isModified())
        m_zip.write(u"[Content_Types].xml"_s, m_types.save());
    return true;
}

bool Workbook::writeTo(const QString& path, FileFormat format, WorkbookError* error)
{
    if (format == FileFormat::Unknown || format == FileFormat::Xlsb)
        return fail(error, WorkbookError::Code::Unsupported, QFileInfo(path).fileName());
    const SaveFault fault = m_host->takeSaveFault();
    if (isNativeFormat(format)) {
        QByteArray bytes;
        if (!flush(format, path, error) || !m_zip.save(&bytes, error))
            return false;
        return saveAtomically(path, bytes, fault, error);
    }

    // Legacy formats: the classic sheet size is checked before anything else.
    if (format == FileFormat::Xls || format == FileFormat::Xlt || format == FileFormat::Et) {
        for (const Slot& s : m_sheets) {
            if (!s.sheet)
                continue;
            const Range used = s.sheet->UsedRange();
            const QString name = Xml::attr(s.node, "name");
            if (used.lastRow() > 65536)
                return fail(error, WorkbookError::Code::TooManyRows,
                            u"工作表“%1”有 %2 行"_s.arg(name).arg(used.lastRow()));
            if (used.lastColumn() > 256)
                return fail(error, WorkbookError::Code::TooManyColumns,
                            u"工作表“%1”有 %2 列"_s.arg(name).arg(used.lastColumn()));
        }
    }
    if (m_host->converter().isEmpty())
        return fail(error, WorkbookError::Code::ConverterMissing, u"ssconvert"_s);
    keepLinkedValuesOnly();
    QByteArray bytes;
    if (!flush(FileFormat::Xlsx, path, error) || !m_zip.save(&bytes, error))
        return false;
    const QString work = m_host->privatePath(u".xlsx"_s);
    const QString converted = m_host->privatePath(u'.' + QFileInfo(path).suffix().toLower());
    {
        QFile f(work);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return fail(error, WorkbookError::Code::WriteFailed, u"%1: %2"_s.arg(work, f.errorString()));
    }
    const bool ok = m_host->convert(work, converted, error, exportTypeFor(format));
    QFile::remove(work);
    if (!ok)
        return false;
    QFile f(converted);
    if (!f.open(QIODevice::ReadOnly)) {
        QFile::remove(converted);
        return fail(error, WorkbookError::Code::ConversionFailed, converted);
    }
    const QByteArray out = f.readAll();
    f.close();
    QFile::remove(converted);
    return saveAtomically(path, out, fault, error);
}

bool Workbook::Save(WorkbookError* error)
{
    if (m_path.isEmpty())
        return fail(error, WorkbookError::Code::InvalidArgument, u"新工作簿还没有文件名，请用另存为"_s);
    if (!writeTo(m_path, m_format, error))
        return false;
    markSaved();
    return true;
}

void Workbook::keepLinkedValuesOnly()
{
    if (m_links.empty())
        return; // only links the engine made: a legacy workbook read here brings none
    for (const Slot& slot : m_sheets) {
        Worksheet* ws = slot.sheet.get();
        if (!ws)
            continue;
        SheetData& data = ws->m_data;
        QSet<int> shared;
        for (const Formula& f : data.formulas) {
            if (f.kind == Formula::Kind::Shared && FormulaRefs::hasExternalReference(f.text))
                shared.insert(f.sharedIndex);
        }
        for (int si : shared)
            ws->unshareFormula(si);
        bool changed = false;
        for (RowRecord& r : data.rows) {
            for (auto& c : r.cells) {
                // A formula without a computed result keeps its text: there is
                // no value to keep.
                if (c.formula >= 0 && c.kind != CellKind::Blank &&
                    FormulaRefs::hasExternalReference(data.formulas[size_t(c.formula)].text)) {
                    c.formula = -1;
                    changed = true;
                }
            }
        }
        if (changed)
            ws->contentChanged();
    }
}

void Workbook::markSaved()
{
    for (Slot& s : m_sheets)
        s.savedName = Xml::attr(s.node, "name");
}

bool Workbook::SaveAs(const QString& path, WorkbookError* error)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const FileFormat format = formatForPath(absolute);
    if (!writeTo(absolute, format, error))
        return false;
    m_path = absolute;
    m_format = format;
    markSaved();
    return true;
}

bool Workbook::Close(bool saveChanges, WorkbookError* error)
{
    bool ok = true;
    if (saveChanges)
        ok = Save(error);
    m_host->closed(this); // deletes this
    return ok;
}

} // namespace Xl
