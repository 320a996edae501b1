// Adding, renaming and deleting sheets, with the bookkeeping they need in the
// workbook part, its relationships, the content types and docProps/app.xml.

#include "Workbook.h"

#include "CellAddress.h"
#include "FormulaRefs.h"
#include "PackageTypes.h"
#include "WorkbookInternals.h"
#include "Worksheet.h"
#include "Xml.h"

#include <QRegularExpression>
#include <QSet>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

bool Workbook::isValidSheetName(const QString& name)
{
    if (name.isEmpty() || name.size() > 31)
        return false;
    for (const QChar c : name) {
        if (c == u':' || c == u'\\' || c == u'/' || c == u'?' || c == u'*' || c == u'[' || c == u']' ||
            c.unicode() < 0x20)
            return false;
    }
    if (name.startsWith(u'\'') || name.endsWith(u'\''))
        return false;
    // Reserved for the change history.
    return name.compare(u"History"_s, Qt::CaseInsensitive) != 0;
}

bool Workbook::isNameUsed(const QString& name, const Worksheet* except) const
{
    for (const Slot& s : m_sheets) {
        if (except && s.sheet.get() == except)
            continue;
        if (Xml::attr(s.node, "name").compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString Workbook::uniqueSheetName(const QString& wanted) const
{
    if (!isNameUsed(wanted, nullptr))
        return wanted;
    // "Sheet1" -> "Sheet1 (2)"; "Sheet1 (2)" -> "Sheet1 (3)"; the base is cut
    // so that the result stays within 31 characters.
    static const QRegularExpression numbered(u"^(.*) \\((\\d+)\\)$"_s);
    QString base = wanted;
    int n = 2;
    const QRegularExpressionMatch m = numbered.match(wanted);
    if (m.hasMatch()) {
        base = m.captured(1);
        n = m.captured(2).toInt() + 1;
    }
    while (true) {
        const QString suffix = u" (%1)"_s.arg(n);
        const QString candidate = base.left(31 - suffix.size()) + suffix;
        if (!isNameUsed(candidate, nullptr))
            return candidate;
        ++n;
    }
}

QString Workbook::uniquePartName(const QString& stem, const QString& extension) const
{
    for (int n = 1;; ++n) {
        const QString name = stem + QString::number(n) + u'.' + extension;
        if (!m_zip.contains(name))
            return name;
    }
}

void Workbook::addPartType(const QString& part, const QString& type)
{
    const QString ext = PartName::extension(part);
    if (m_types.defaultType(ext) != type)
        m_types.setOverride(part, type);
}

void Workbook::removePart(const QString& part)
{
    m_zip.remove(part);
    m_types.removeOverride(part);
    const QString relsName = PartName::relsPart(part);
    m_zip.remove(relsName);
    m_rels.remove(part.toLower());
}

void Workbook::renumberLocalSheetIds(int position, bool inserted)
{
    pugi::xml_node names = Xml::child(m_workbook.document_element(), "definedNames");
    for (pugi::xml_node n : Xml::children(names, "definedName")) {
        const pugi::xml_attribute a = n.attribute("localSheetId");
        if (!a)
            continue;
        const int id = a.as_int();
        if (inserted && id >= position) {
            n.attribute("localSheetId").set_value(id + 1);
            m_workbookModified = true;
        } else if (!inserted && id > position) {
            n.attribute("localSheetId").set_value(id - 1);
            m_workbookModified = true;
        } else if (!inserted && id == position) {
            names.remove_child(n);
            m_workbookModified = true;
        }
    }
    if (names && !Xml::child(names, "definedName")) {
        m_workbook.document_element().remove_child(names);
        m_workbookModified = true;
    }
}

void Workbook::cellsChanged(bool formulas)
{
    m_cellsChanged = true;
    if (formulas)
        m_formulasWritten = true;
}

Worksheet* Workbook::insertWorksheet(int position, const QString& name, const QByteArray& xml,
                                     WorkbookError* error)
{
    const QString part = uniquePartName(PartName::folder(m_workbookPart).isEmpty()
                                            ? u"worksheets/sheet"_s
                                            : PartName::folder(m_workbookPart) + u"/worksheets/sheet"_s,
                                        u"xml"_s);
    auto sheet = std::unique_ptr<Worksheet>(new Worksheet(this, part));
    if (!sheet->load(xml, error))
        return nullptr;
    return insertSlot(position, name, std::move(sheet), error);
}

QString Workbook::relIdAttributeName()
{
    // The prefix the workbook's own sheets use for the relationships namespace,
    // declared on the workbook element so that elements outside <sheets> see it.
    QString name = u"r:id"_s;
    QByteArray uri = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    for (const Slot& s : m_sheets) {
        const pugi::xml_attribute a = Internal::relIdAttribute(s.node);
        if (!a)
            continue;
        name = QString::fromUtf8(a.name());
        const std::string declaration = "xmlns:" + name.section(u':', 0, 0).toStdString();
        for (pugi::xml_node n = s.node; n; n = n.parent()) {
            if (const pugi::xml_attribute d = n.attribute(declaration.c_str())) {
                uri = d.value();
                break;
            }
        }
        break;
    }
    pugi::xml_node wb = m_workbook.document_element();
    const std::string declaration = "xmlns:" + name.section(u':', 0, 0).toStdString();
    if (!wb.attribute(declaration.c_str()))
        wb.append_attribute(declaration.c_str()).set_value(uri.constData());
    return name;
}

Worksheet* Workbook::insertSlot(int position, const QString& name, std::unique_ptr<Worksheet> sheet,
                                WorkbookError* error)
{
    Relationships* wbRels = rels(m_workbookPart, error);
    if (!wbRels)
        return nullptr;
    const QString part = sheet->m_part;
    sheet->markModified();
    const QString relId =
        wbRels->add(relTypeBase() + u"worksheet"_s, PartName::relativeTarget(m_workbookPart, part));
    addPartType(part, Types::worksheet);
    // The name is taken now; the content is written when the workbook is saved.
    m_zip.write(part, QByteArray());

    pugi::xml_node wb = m_workbook.document_element();
    pugi::xml_node sheets = Xml::ensureOrdered(wb, "sheets", Xml::workbookOrder());
    int maxId = 0;
    for (const Slot& s : m_sheets)
        maxId = std::max(maxId, Xml::intAttr(s.node, "sheetId", 0));
    const QString idAttr = relIdAttributeName();
    const std::string elementName = Xml::prefixOf(sheets) + "sheet";
    position = std::clamp(position, 0, sheetCount());
    pugi::xml_node node =
        position < sheetCount()
            ? sheets.insert_child_before(elementName.c_str(), m_sheets[size_t(position)].node)
            : sheets.append_child(elementName.c_str());
    Xml::setAttr(node, "name", name);
    Xml::setAttr(node, "sheetId", maxId + 1);
    Xml::setAttr(node, idAttr.toUtf8().constData(), relId);

    // The active sheet keeps its place.
    const int active = activeIndex();
    renumberLocalSheetIds(position, true);
    Slot slot;
    slot.node = node;
    slot.part = part;
    slot.type = SheetType::Worksheet;
    slot.sheet = std::move(sheet);
    Worksheet* result = slot.sheet.get();
    m_sheets.insert(m_sheets.begin() + position, std::move(slot));
    if (active >= position && sheetCount() > 1)
        setActiveIndex(active + 1);
    m_workbookModified = true;
    m_sheetsChanged = true;
    return result;
}

Worksheet* Workbook::addWorksheet(Worksheet* after, WorkbookError* error)
{
    int position = sheetCount();
    if (after) {
        const int i = slotOf(after);
        if (i < 0) {
            fail(error, WorkbookError::Code::InvalidArgument, u"the sheet is not in this workbook"_s);
            return nullptr;
        }
        position = i + 1;
    }
    QString name;
    for (int n = sheetCount() + 1;; ++n) {
        name = u"Sheet"_s + QString::number(n);
        if (!isNameUsed(name, nullptr))
            break;
    }
    QByteArray ns = Internal::namespaceOf(m_workbook.document_element());
    if (ns.isEmpty())
        ns = Types::mainNamespace.toUtf8();
    Worksheet* sheet = insertWorksheet(position, name, Internal::emptySheetXml(ns, false), error);
    if (sheet)
        sheet->Activate();
    return sheet;
}

bool Workbook::renameSheet(Worksheet* sheet, const QString& name, WorkbookError* error)
{
    const int index = slotOf(sheet);
    if (index < 0)
        return fail(error, WorkbookError::Code::InvalidArgument, u"the sheet is not in this workbook"_s);
    const QString old = Xml::attr(m_sheets[size_t(index)].node, "name");
    if (name == old)
        return true;
    if (!isValidSheetName(name))
        return fail(error, WorkbookError::Code::InvalidName, u"\"%1\""_s.arg(name));
    if (isNameUsed(name, sheet))
        return fail(error, WorkbookError::Code::NameTaken, u"\"%1\""_s.arg(name));
    Xml::setAttr(m_sheets[size_t(index)].node, "name", name);
    m_workbookModified = true;
    m_sheetsChanged = true;

    // References to the sheet follow the new name.
    auto rename = [&](const QString& f) { return FormulaRefs::renameSheet(f, old, name); };
    for (pugi::xml_node n : definedNames()) {
        const QString f = Xml::text(n);
        const QString g = rename(f);
        if (g != f) {
            Xml::setText(n, g);
            m_workbookModified = true;
        }
    }
    for (Slot& s : m_sheets) {
        if (s.sheet)
            s.sheet->rewriteFormulas(old, rename, false);
    }
    rewriteChartFormulas(old, name);
    return true;
}

void Workbook::rewriteChartFormulas(const QString& from, const QString& to)
{
    // Chart series name their data by sheet ("<c:f>Sheet1!$A$1:$A$5</c:f>").
    for (const QString& part : m_zip.names()) {
        if (!part.startsWith(u"xl/charts/chart"_s, Qt::CaseInsensitive) || !part.endsWith(u".xml"_s))
            continue;
        QByteArray data;
        if (!m_zip.read(part, &data, nullptr) || !data.contains(from.toUtf8()))
            continue;
        pugi::xml_document doc;
        if (!Xml::load(doc, data, part, nullptr))
            continue;
        bool changed = false;
        std::function<void(pugi::xml_node)> walk = [&](pugi::xml_node n) {
            for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
                if (Xml::is(c, "f")) {
                    const QString f = Xml::text(c);
                    const QString g =
                        to.isNull() ? FormulaRefs::dropSheet(f, from) : FormulaRefs::renameSheet(f, from, to);
                    if (g != f) {
                        Xml::setText(c, g);
                        changed = true;
                    }
                } else {
                    walk(c);
                }
            }
        };
        walk(doc.document_element());
        if (changed)
            m_zip.write(part, Xml::save(doc));
    }
}

QStringList Workbook::partGraph(const QString& part)
{
    QStringList out;
    QSet<QString> seen;
    QStringList todo{part};
    while (!todo.isEmpty()) {
        const QString p = todo.takeFirst();
        if (seen.contains(p.toLower()))
            continue;
        seen.insert(p.toLower());
        out << p;
        Relationships* r = rels(p);
        if (!r)
            continue;
        for (const Relationships::Relationship& rel : r->all()) {
            if (rel.external)
                continue;
            const QString target = m_zip.spelling(PartName::resolve(p, rel.target));
            if (!target.isEmpty())
                todo << target;
        }
    }
    return out;
}

QSet<QString> Workbook::reachableParts()
{
    QSet<QString> out;
    Relationships* root = rels(QString());
    if (!root)
        return out;
    for (const Relationships::Relationship& rel : root->all()) {
        if (rel.external)
            continue;
        const QString target = m_zip.spelling(PartName::resolve(QString(), rel.target));
        if (target.isEmpty())
            continue;
        for (const QString& p : partGraph(target))
            out.insert(p.toLower());
    }
    return out;
}

bool Workbook::deleteSheet(Worksheet* sheet, WorkbookError* error)
{
    const int index = slotOf(sheet);
    if (index < 0)
        return fail(error, WorkbookError::Code::InvalidArgument, u"the sheet is not in this workbook"_s);
    if (sheetCount() <= 1)
        return fail(error, WorkbookError::Code::LastSheet, Xml::attr(m_sheets[size_t(index)].node, "name"));
    if (sheet->isVisible()) {
        int visible = 0;
        for (const Slot& s : m_sheets) {
            const QString state = Xml::attr(s.node, "state");
            visible += (state.isEmpty() || state == u"visible"_s) ? 1 : 0;
        }
        if (visible <= 1)
            return fail(error, WorkbookError::Code::LastSheet,
                        Xml::attr(m_sheets[size_t(index)].node, "name"));
    }
    Relationships* wbRels = rels(m_workbookPart, error);
    if (!wbRels)
        return false;

    const QString name = Xml::attr(m_sheets[size_t(index)].node, "name");
    const QString part = m_sheets[size_t(index)].part;
    const QString relId = QString::fromUtf8(Internal::relIdAttribute(m_sheets[size_t(index)].node).value());
    const QStringList owned = partGraph(part);
    const int active = activeIndex();

    m_sheets[size_t(index)].node.parent().remove_child(m_sheets[size_t(index)].node);
    m_sheets.erase(m_sheets.begin() + index);
    wbRels->remove(relId);

    // Parts only the deleted sheet used (its drawings, comments, tables...) go too.
    const QSet<QString> keep = reachableParts();
    for (const QString& p : owned) {
        if (!keep.contains(p.toLower()))
            removePart(p);
    }

    // Names scoped to the sheet go; references into it become #REF!.
    renumberLocalSheetIds(index, false);
    for (pugi::xml_node n : definedNames()) {
        const QString f = Xml::text(n);
        const QString g = FormulaRefs::dropSheet(f, name);
        if (g != f) {
            Xml::setText(n, g);
            m_workbookModified = true;
        }
    }
    for (Slot& s : m_sheets) {
        if (s.sheet)
            s.sheet->rewriteFormulas(name, [&](const QString& f) { return FormulaRefs::dropSheet(f, name); });
    }
    rewriteChartFormulas(name, QString());

    // The active tab stays on a visible sheet near the old one.
    int next = active > index ? active - 1 : active;
    next = std::min(next, sheetCount() - 1);
    auto visibleAt = [&](int i) {
        const QString state = Xml::attr(m_sheets[size_t(i)].node, "state");
        return state.isEmpty() || state == u"visible"_s;
    };
    if (!visibleAt(next)) {
        for (int d = 1; d < sheetCount(); ++d) {
            if (next + d < sheetCount() && visibleAt(next + d)) {
                next += d;
                break;
            }
            if (next - d >= 0 && visibleAt(next - d)) {
                next -= d;
                break;
            }
        }
    }
    pugi::xml_node view = workbookView();
    if (Xml::intAttr(view, "firstSheet", 0) >= sheetCount())
        Xml::setAttr(view, "firstSheet", std::max(0, sheetCount() - 1));
    Xml::setAttr(view, "activeTab", next);
    m_activeChanged = true;
    m_workbookModified = true;
    m_sheetsChanged = true;
    m_cellsChanged = true; // the calculation chain named the deleted sheet's cells
    return true;
}

void Workbook::syncAppProperties()
{
    // docProps/app.xml lists the worksheet names; the group that listed them
    // when the workbook was read is brought up to date.
    Relationships* root = rels(QString());
    if (!root)
        return;
    QString appPart;
    for (const Relationships::Relationship& r : root->all()) {
        if (Relationships::isKind(r.type, u"extended-properties"_s) && !r.external)
            appPart = m_zip.spelling(PartName::resolve(QString(), r.target));
    }
    if (appPart.isEmpty())
        return;
    QByteArray data;
    pugi::xml_document doc;
    if (!m_zip.read(appPart, &data, nullptr) || !Xml::load(doc, data, appPart, nullptr))
        return;
    const pugi::xml_node props = doc.document_element();
    const pugi::xml_node headingVector = Xml::child(Xml::child(props, "HeadingPairs"), "vector");
    pugi::xml_node titlesVector = Xml::child(Xml::child(props, "TitlesOfParts"), "vector");
    if (!headingVector || !titlesVector)
        return;
    const std::vector<pugi::xml_node> variants = Xml::children(headingVector, "variant");
    std::vector<pugi::xml_node> titles = Xml::children(titlesVector, "lpstr");
    const QStringList wanted = m_originalAppNames.split(QChar(0));
    int offset = 0;
    for (size_t g = 0; g + 1 < variants.size(); g += 2) {
        pugi::xml_node countNode = Xml::child(variants[g + 1], "i4");
        const int count = countNode.text().as_int();
        QStringList group;
        for (int k = 0; k < count && offset + k < int(titles.size()); ++k)
            group << Xml::text(titles[size_t(offset + k)]);
        if (group == wanted) {
            QStringList now;
            for (const Slot& s : m_sheets) {
                if (s.type == SheetType::Worksheet)
                    now << Xml::attr(s.node, "name");
            }
            // Replace the group's titles.
            pugi::xml_node before =
                offset + count < int(titles.size()) ? titles[size_t(offset + count)] : pugi::xml_node();
            for (int k = 0; k < count; ++k)
                titlesVector.remove_child(titles[size_t(offset + k)]);
            const std::string lpstr = Xml::prefixOf(titlesVector) + "lpstr";
            for (const QString& n : now) {
                pugi::xml_node t = before ? titlesVector.insert_child_before(lpstr.c_str(), before)
                                          : titlesVector.append_child(lpstr.c_str());
                Xml::setText(t, n);
            }
            countNode.text().set(int(now.size()));
            Xml::setAttr(titlesVector, "size", qint64(Xml::children(titlesVector, "lpstr").size()));
            m_zip.write(appPart, Xml::save(doc));
            m_originalAppNames = now.join(QChar(0));
            return;
        }
        offset += count;
    }
}

} // namespace Xl
