#include "Workbook.h"

#include "AtomicSave.h"
#include "CellAddress.h"
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

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

FileFormat formatForPath(const QString& path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"xlsx"_s)
        return FileFormat::Xlsx;
    if (ext == u"xlsm"_s)
        return FileFormat::Xlsm;
    if (ext == u"xltx"_s)
        return FileFormat::Xltx;
    if (ext == u"xltm"_s)
        return FileFormat::Xltm;
    if (ext == u"xls"_s)
        return FileFormat::Xls;
    if (ext == u"xlt"_s)
        return FileFormat::Xlt;
    if (ext == u"ods"_s)
        return FileFormat::Ods;
    if (ext == u"et"_s)
        return FileFormat::Et;
    if (ext == u"xlsb"_s)
        return FileFormat::Xlsb;
    return FileFormat::Unknown;
}

bool isNativeFormat(FileFormat format)
{
    return format == FileFormat::Xlsx || format == FileFormat::Xlsm || format == FileFormat::Xltx ||
           format == FileFormat::Xltm;
}

namespace {

SheetType typeForRel(const QString& relType)
{
    if (Relationships::isKind(relType, u"chartsheet"_s))
        return SheetType::Chart;
    if (Relationships::isKind(relType, u"dialogsheet"_s))
        return SheetType::Dialog;
    if (Relationships::isKind(relType, u"xlMacrosheet"_s) ||
        Relationships::isKind(relType, u"xlIntlMacrosheet"_s))
        return SheetType::Macro;
    return SheetType::Worksheet;
}

} // namespace

Workbook::Workbook(ExcelHost* host) : m_host(host) {}

Workbook::~Workbook() = default;

QString Workbook::Name() const
{
    return m_path.isEmpty() ? m_newName : QFileInfo(m_path).fileName();
}

bool Workbook::readPart(const QString& part, QByteArray* data, WorkbookError* error) const
{
    return m_zip.read(part, data, error);
}

QString Workbook::relTypeBase() const
{
    const auto it = m_rels.constFind(m_workbookPart.toLower());
    if (it != m_rels.constEnd()) {
        for (const Relationships::Relationship& r : (*it)->all()) {
            if (r.type.startsWith(Types::strictRelBase))
                return Types::strictRelBase;
        }
    }
    return Types::transitionalRelBase;
}

Relationships* Workbook::rels(const QString& part, WorkbookError* error)
{
    const QString key = part.toLower();
    const auto it = m_rels.constFind(key);
    if (it != m_rels.constEnd())
        return it->get();
    auto r = std::make_shared<Relationships>();
    const QString relsName = PartName::relsPart(part);
    if (m_zip.contains(relsName)) {
        QByteArray data;
        if (!m_zip.read(relsName, &data, error) || !r->load(data, relsName, error))
            return nullptr;
    } else {
        r->createEmpty();
        // An empty set that nobody adds to is not written.
        r->load(r->save(), relsName, nullptr);
    }
    m_rels.insert(key, r);
    return r.get();
}

bool Workbook::loadPackage(const QByteArray& bytes, WorkbookError* error)
{
    if (!m_zip.load(bytes, error))
        return false;
    if (!m_zip.contains(u"[Content_Types].xml"_s))
        return fail(error, WorkbookError::Code::Corrupt, u"missing [Content_Types].xml"_s);
    QByteArray data;
    if (!m_zip.read(u"[Content_Types].xml"_s, &data, error) || !m_types.load(data, error))
        return false;

    // The workbook part, as the package root names it.
    Relationships* root = rels(QString(), error);
    if (!root)
        return false;
    for (const Relationships::Relationship& r : root->all()) {
        if (Relationships::isKind(r.type, u"officeDocument"_s) && !r.external) {
            m_workbookPart = PartName::resolve(QString(), r.target);
            break;
        }
    }
    if (m_workbookPart.isEmpty() || !m_zip.contains(m_workbookPart))
        return fail(error, WorkbookError::Code::Corrupt, u"missing workbook part (xl/workbook.xml)"_s);
    m_workbookPart = m_zip.spelling(m_workbookPart);
    if (m_types.typeOf(m_workbookPart) == Types::xlsbMain)
        return fail(error, WorkbookError::Code::Unsupported, u"binary workbook (.xlsb)"_s);

    if (!m_zip.read(m_workbookPart, &data, error) || !Xml::load(m_workbook, data, m_workbookPart, error))
        return false;
    const pugi::xml_node wb = m_workbook.document_element();
    if (!Xml::is(wb, "workbook"))
        return fail(error, WorkbookError::Code::Corrupt, m_workbookPart + u": <workbook> expected"_s);
    m_date1904 = Xml::child(wb, "workbookPr").attribute("date1904").as_bool(false);

    Relationships* wbRels = rels(m_workbookPart, error);
    if (!wbRels)
        return false;
    for (const Relationships::Relationship& r : wbRels->all()) {
        if (r.external)
            continue;
        if (Relationships::isKind(r.type, u"styles"_s))
            m_stylesPart = PartName::resolve(m_workbookPart, r.target);
        else if (Relationships::isKind(r.type, u"sharedStrings"_s))
            m_sstPart = PartName::resolve(m_workbookPart, r.target);
    }
    if (!m_stylesPart.isEmpty() && m_zip.contains(m_stylesPart)) {
        m_stylesPart = m_zip.spelling(m_stylesPart);
        if (!m_zip.read(m_stylesPart, &data, error) || !m_styles.load(data, m_stylesPart, error))
            return false;
    } else {
        m_stylesPart.clear();
        m_styles.createDefault();
    }
    if (!m_sstPart.isEmpty() && m_zip.contains(m_sstPart)) {
        m_sstPart = m_zip.spelling(m_sstPart);
        if (!m_zip.read(m_sstPart, &data, error) || !m_sst.load(data, m_sstPart, error))
            return false;
    } else {
        m_sstPart.clear();
        m_sst.createEmpty();
    }

    const pugi::xml_node sheets = Xml::child(wb, "sheets");
    for (pugi::xml_node node : Xml::children(sheets, "sheet")) {
        const QString id = QString::fromUtf8(Internal::relIdAttribute(node).value());
        const Relationships::Relationship r = wbRels->byId(id);
        if (r.id.isEmpty() || r.external)
            return fail(error, WorkbookError::Code::Corrupt,
                        u"sheet \"%1\" has no part"_s.arg(Xml::attr(node, "name")));
        Slot slot;
        slot.node = node;
        slot.part = m_zip.spelling(PartName::resolve(m_workbookPart, r.target));
        slot.type = typeForRel(r.type);
        slot.savedName = Xml::attr(node, "name");
        if (slot.part.isEmpty())
            return fail(error, WorkbookError::Code::Corrupt,
                        u"sheet \"%1\": missing part %2"_s.arg(Xml::attr(node, "name"), r.target));
        for (const Slot& other : m_sheets) {
            if (other.part.compare(slot.part, Qt::CaseInsensitive) == 0)
                return fail(error, WorkbookError::Code::Corrupt,
                            u"two sheets share the part %1"_s.arg(slot.part));
        }
        if (slot.type == SheetType::Worksheet)
            slot.sheet.reset(new Worksheet(this, slot.part));
        m_sheets.push_back(std::move(slot));
    }
    if (m_sheets.empty())
        return fail(error, WorkbookError::Code::Corrupt, u"workbook without sheets"_s);

    // The worksheets are inflated and parsed two at a time.
    QStringList parts;
    std::vector<Worksheet*> sheetsToLoad;
    for (const Slot& s : m_sheets) {
        if (s.sheet) {
            parts << s.part;
            sheetsToLoad.push_back(s.sheet.get());
        }
    }
    // The stored bytes are fetched one part after the other; each part is then
    // inflated and read piece by piece, never held whole.
    std::vector<ZipPackage::Stored> stored(size_t(parts.size()));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!m_zip.fetch(parts.at(i), &stored[size_t(i)], error))
            return false;
    }
    std::vector<WorkbookError> errors(sheetsToLoad.size());
    // About 32 bytes a cell: the cap keeps a hostile workbook near 640 MB.
    std::atomic<qint64> cellBudget{20'000'000};
    parallelFor(int(sheetsToLoad.size()), [&](int i) {
        sheetsToLoad[size_t(i)]->load(stored[size_t(i)], &errors[size_t(i)], &cellBudget);
        stored[size_t(i)] = ZipPackage::Stored();
    });
    for (const WorkbookError& e : errors) {
        if (!e.ok())
            return fail(error, e);
    }

    // Which group of the extended properties lists the worksheets.
    QStringList names;
    for (const Slot& s : m_sheets) {
        if (s.type == SheetType::Worksheet)
            names << Xml::attr(s.node, "name");
    }
    m_originalAppNames = names.join(QChar(0));
    return true;
}

bool Workbook::createNew(WorkbookError* error)
{
    const QByteArray decl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    const QByteArray ns = Types::mainNamespace.toUtf8();
    m_zip.write(u"[Content_Types].xml"_s,
                decl +
                    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                    "<Default Extension=\"rels\" "
                    "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                    "<Override PartName=\"/xl/workbook.xml\" ContentType=\"" +
                    Types::xlsxMain.toUtf8() +
                    "\"/>"
                    "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" +
                    Types::worksheet.toUtf8() +
                    "\"/>"
                    "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"" +
                    Types::worksheet.toUtf8() +
                    "\"/>"
                    "<Override PartName=\"/xl/worksheets/sheet3.xml\" ContentType=\"" +
                    Types::worksheet.toUtf8() +
                    "\"/>"
                    "<Override PartName=\"/xl/styles.xml\" ContentType=\"" +
                    Types::styles.toUtf8() +
                    "\"/>"
                    "<Override PartName=\"/docProps/app.xml\" ContentType=\"" +
                    Types::extendedProperties.toUtf8() +
                    "\"/>"
                    "</Types>");
    m_zip.write(u"_rels/.rels"_s,
                decl +
                    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                    "<Relationship Id=\"rId1\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                    "officeDocument\" Target=\"xl/workbook.xml\"/>"
                    "<Relationship Id=\"rId2\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                    "extended-properties\" Target=\"docProps/app.xml\"/>"
                    "</Relationships>");
    m_zip.write(
        u"docProps/app.xml"_s,
        decl +
            "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\" "
            "xmlns:vt=\"http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes\">"
            "<Application>Tarnwick</Application>"
            "<HeadingPairs><vt:vector size=\"2\" "
            "baseType=\"variant\"><vt:variant><vt:lpstr>工作表</vt:lpstr></vt:variant>"
            "<vt:variant><vt:i4>3</vt:i4></vt:variant></vt:vector></HeadingPairs>"
            "<TitlesOfParts><vt:vector size=\"3\" baseType=\"lpstr\"><vt:lpstr>Sheet1</vt:lpstr>"
            "<vt:lpstr>Sheet2</vt:lpstr><vt:lpstr>Sheet3</vt:lpstr></vt:vector></TitlesOfParts>"
            "</Properties>");
    m_zip.write(u"xl/workbook.xml"_s,
                decl + "<workbook xmlns=\"" + ns +
                    "\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                    "<workbookPr/><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets>"
                    "<sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"
                    "<sheet name=\"Sheet2\" sheetId=\"2\" r:id=\"rId2\"/>"
                    "<sheet name=\"Sheet3\" sheetId=\"3\" r:id=\"rId3\"/>"
                    "</sheets><calcPr calcId=\"191029\"/></workbook>");
    m_zip.write(u"xl/_rels/workbook.xml.rels"_s,
                decl +
                    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                    "<Relationship Id=\"rId1\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                    "Target=\"worksheets/sheet1.xml\"/>"
                    "<Relationship Id=\"rId2\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                    "Target=\"worksheets/sheet2.xml\"/>"
                    "<Relationship Id=\"rId3\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                    "Target=\"worksheets/sheet3.xml\"/>"
                    "<Relationship Id=\"rId4\" "
                    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
                    "Target=\"styles.xml\"/>"
                    "</Relationships>");
    Styles defaults;
    defaults.createDefault();
    m_zip.write(u"xl/styles.xml"_s, defaults.save());
    for (int i = 1; i <= 3; ++i)
        m_zip.write(u"xl/worksheets/sheet%1.xml"_s.arg(i), Internal::emptySheetXml(ns, i == 1));

    // Read back what was written, as any package.
    QByteArray bytes;
    if (!m_zip.save(&bytes, error))
        return false;
    return loadPackage(bytes, error);
}

int Workbook::worksheetCount() const
{
    int n = 0;
    for (const Slot& s : m_sheets)
        n += s.type == SheetType::Worksheet ? 1 : 0;
    return n;
}

QString Workbook::sheetName(int index) const
{
    if (index < 1 || index > sheetCount())
        return {};
    return Xml::attr(m_sheets[size_t(index - 1)].node, "name");
}

SheetType Workbook::sheetType(int index) const
{
    if (index < 1 || index > sheetCount())
        return SheetType::Worksheet;
    return m_sheets[size_t(index - 1)].type;
}

Worksheet* Workbook::Worksheets(int index) const
{
    int n = 0;
    for (const Slot& s : m_sheets) {
        if (s.type == SheetType::Worksheet && ++n == index)
            return s.sheet.get();
    }
    return nullptr;
}

Worksheet* Workbook::Worksheets(const QString& name) const
{
    for (const Slot& s : m_sheets) {
        if (s.type == SheetType::Worksheet &&
            Xml::attr(s.node, "name").compare(name, Qt::CaseInsensitive) == 0)
            return s.sheet.get();
    }
    return nullptr;
}

Worksheet* Workbook::Sheets(int index) const
{
    if (index < 1 || index > sheetCount())
        return nullptr;
    return m_sheets[size_t(index - 1)].sheet.get();
}

QList<Worksheet*> Workbook::worksheetList() const
{
    QList<Worksheet*> out;
    for (const Slot& s : m_sheets) {
        if (s.sheet)
            out << s.sheet.get();
    }
    return out;
}

int Workbook::slotOf(const Worksheet* sheet) const
{
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i].sheet.get() == sheet)
            return int(i);
    }
    return -1;
}

pugi::xml_node Workbook::workbookView()
{
    pugi::xml_node wb = m_workbook.document_element();
    pugi::xml_node views = Xml::ensureOrdered(wb, "bookViews", Xml::workbookOrder());
    pugi::xml_node view = Xml::child(views, "workbookView");
    if (!view)
        view = Xml::append(views, "workbookView");
    return view;
}

int Workbook::activeIndex() const
{
    const pugi::xml_node view =
        Xml::child(Xml::child(m_workbook.document_element(), "bookViews"), "workbookView");
    const int active = Xml::intAttr(view, "activeTab", 0);
    return std::clamp(active, 0, std::max(0, sheetCount() - 1));
}

void Workbook::setActiveIndex(int index)
{
    if (index != activeIndex())
        m_activeChanged = true;
    pugi::xml_node view = workbookView();
    if (Xml::intAttr(view, "activeTab", 0) != index || !view.attribute("activeTab")) {
        if (index == 0 && !view.attribute("activeTab")) {
            // The default needs no attribute.
        } else {
            Xml::setAttr(view, "activeTab", index);
            m_workbookModified = true;
        }
    }
    // The first tab shown in the tab bar must not lie after the active one.
    if (Xml::intAttr(view, "firstSheet", 0) > index) {
        Xml::setAttr(view, "firstSheet", index);
        m_workbookModified = true;
    }
}

Worksheet* Workbook::ActiveSheet() const
{
    const int i = activeIndex();
    return i < sheetCount() ? m_sheets[size_t(i)].sheet.get() : nullptr;
}

QList<pugi::xml_node> Workbook::definedNames() const
{
    QList<pugi::xml_node> out;
    const pugi::xml_node names = Xml::child(m_workbook.document_element(), "definedNames");
    for (pugi::xml_node n : Xml::children(names, "definedName"))
        out << n;
    return out;
}

bool Workbook::isModified() const
{
    if (m_workbookModified || m_styles.isModified() || m_sst.isModified() || m_types.isModified() ||
        m_sheetsChanged)
        return true;
    for (const Slot& s : m_sheets) {
        if (s.sheet && s.sheet->m_modified)
            return true;
    }
    return false;
}

} // namespace Xl
