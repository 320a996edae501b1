// Copying a worksheet within a workbook or into another one, with the parts it
// brings along (drawings, charts, images, comments, tables, printer settings).

#include "Workbook.h"

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

struct Workbook::CopyContext
{
    QString fromName; // the sheet's name in its workbook
    QString toName;   // the copy's name
    bool crossBook = false;
    StyleImport* styles = nullptr;
    QHash<QString, QString> copied; // source part (lower case) -> new part
    bool tablesScanned = false;
    QSet<QString> tableNames; // lower case, in the target
    int maxTableId = 0;
    QHash<QString, QString> renamedTables; // old table name -> new
};

namespace {

// "xl/drawings/drawing3.xml" -> ("xl/drawings/drawing", "xml")
std::pair<QString, QString> stemOf(const QString& part)
{
    const QString folder = PartName::folder(part);
    QString name = PartName::fileName(part);
    QString ext;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) {
        ext = name.mid(dot + 1);
        name.truncate(dot);
    }
    while (!name.isEmpty() && name.back().isDigit())
        name.chop(1);
    if (name.isEmpty())
        name = u"part"_s;
    return {(folder.isEmpty() ? QString() : folder + u'/') + name, ext};
}

bool isDroppedKind(const QString& type)
{
    // Parts tied to workbook-level caches or people lists are not carried along;
    // the copy keeps the cells (and the legacy comments) they show.
    static const QStringList kinds = {u"pivotTable"_s, u"slicer"_s, u"timeline"_s, u"threadedComment"_s,
                                      u"queryTable"_s};
    for (const QString& k : kinds) {
        if (Relationships::isKind(type, k))
            return true;
    }
    return false;
}

// Removes elements that refer to a relationship id that was not copied.
void dropReferences(pugi::xml_node node, const QSet<QString>& ids)
{
    for (pugi::xml_node c = node.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        bool drop = false;
        for (pugi::xml_attribute a : c.attributes()) {
            const char* colon = std::strchr(a.name(), ':');
            if (colon && std::strcmp(colon + 1, "id") == 0 && ids.contains(QString::fromUtf8(a.value()))) {
                drop = true;
                break;
            }
        }
        if (drop) {
            // An extension holding the reference goes as a whole.
            pugi::xml_node victim = c;
            for (pugi::xml_node p = c.parent(); p && p != node.root(); p = p.parent()) {
                if (Xml::is(p, "ext")) {
                    victim = p;
                    break;
                }
            }
            if (victim == c) {
                node.remove_child(c);
            } else {
                pugi::xml_node owner = victim.parent();
                owner.remove_child(victim);
                if (Xml::is(owner, "extLst") && !owner.first_child())
                    owner.parent().remove_child(owner);
                return dropReferences(node.root(), ids);
            }
        } else {
            dropReferences(c, ids);
        }
        c = next;
    }
}

void remapDxfAttributes(pugi::xml_node node, Styles& to, const Styles& from, StyleImport& map)
{
    for (pugi::xml_attribute a : node.attributes()) {
        const QString name = QString::fromUtf8(a.name());
        if (name.endsWith(u"DxfId"_s))
            a.set_value(to.importDxf(from, a.as_int(), map));
    }
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element)
            remapDxfAttributes(c, to, from, map);
    }
}

} // namespace

QString Workbook::copyPartTree(const QString& part, Workbook* target, CopyContext& ctx)
{
    const QString key = part.toLower();
    const auto done = ctx.copied.constFind(key);
    if (done != ctx.copied.constEnd())
        return *done;
    if (!m_zip.contains(part))
        return {};
    QByteArray data;
    if (!m_zip.read(part, &data, nullptr))
        return {};
    const QString type = m_types.typeOf(part);
    const auto [stem, ext] = stemOf(part);
    const QString newPart = target->uniquePartName(stem, ext);
    ctx.copied.insert(key, newPart);

    if (type.endsWith(u"table+xml"_s)) {
        // Tables are named and numbered across the whole workbook.
        if (!ctx.tablesScanned) {
            for (const QString& p : target->m_zip.names()) {
                if (!target->m_types.typeOf(p).endsWith(u"table+xml"_s))
                    continue;
                QByteArray t;
                pugi::xml_document doc;
                if (target->m_zip.read(p, &t, nullptr) && Xml::load(doc, t, p, nullptr)) {
                    ctx.maxTableId = std::max(ctx.maxTableId, Xml::intAttr(doc.document_element(), "id", 0));
                    ctx.tableNames.insert(Xml::attr(doc.document_element(), "name").toLower());
                    ctx.tableNames.insert(Xml::attr(doc.document_element(), "displayName").toLower());
                }
            }
            ctx.tablesScanned = true;
        }
        pugi::xml_document doc;
        if (Xml::load(doc, data, part, nullptr)) {
            pugi::xml_node table = doc.document_element();
            Xml::setAttr(table, "id", ++ctx.maxTableId);
            const QString old = Xml::attr(table, "displayName");
            QString name = old;
            for (int n = 2; ctx.tableNames.contains(name.toLower()); ++n)
                name = old + u'_' + QString::number(n);
            ctx.tableNames.insert(name.toLower());
            if (name != old) {
                Xml::setAttr(table, "name", name);
                Xml::setAttr(table, "displayName", name);
                ctx.renamedTables.insert(old, name);
            }
            if (ctx.crossBook && ctx.styles)
                remapDxfAttributes(table, target->m_styles, m_styles, *ctx.styles);
            data = Xml::save(doc);
        }
    } else if (type.endsWith(u"drawingml.chart+xml"_s) && ctx.fromName != ctx.toName &&
               data.contains(ctx.fromName.toUtf8())) {
        // The copy's charts draw from the copy.
        pugi::xml_document doc;
        if (Xml::load(doc, data, part, nullptr)) {
            std::function<void(pugi::xml_node)> walk = [&](pugi::xml_node n) {
                for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
                    if (Xml::is(c, "f"))
                        Xml::setText(c, FormulaRefs::renameSheet(Xml::text(c), ctx.fromName, ctx.toName));
                    else
                        walk(c);
                }
            };
            walk(doc.document_element());
            data = Xml::save(doc);
        }
    }
    target->m_zip.write(newPart, data);

    const QString extLower = PartName::extension(newPart);
    if (target->m_types.defaultType(extLower) != type) {
        if (m_types.defaultType(extLower) == type && !target->m_types.hasDefault(extLower))
            target->m_types.setDefault(extLower, type);
        else
            target->m_types.setOverride(newPart, type);
    }

    Relationships* from = rels(part);
    if (from && !from->isEmpty()) {
        Relationships* to = target->rels(newPart);
        for (const Relationships::Relationship& r : from->all()) {
            if (r.external) {
                to->addWithId(r.id, r.type, r.target, true);
                continue;
            }
            const QString child =
                copyPartTree(m_zip.spelling(PartName::resolve(part, r.target)), target, ctx);
            if (!child.isEmpty())
                to->addWithId(r.id, r.type, PartName::relativeTarget(newPart, child), false);
        }
    }
    return newPart;
}

ExternalLink* Workbook::linkTo(const QString& path)
{
    for (const auto& link : m_links) {
        if (link->path() == path)
            return link.get();
    }
    Relationships* wbRels = rels(m_workbookPart);
    if (!wbRels)
        return nullptr;
    const QString folder = PartName::folder(m_workbookPart);
    const QString part = uniquePartName(
        (folder.isEmpty() ? QString() : folder + u'/') + u"externalLinks/externalLink"_s, u"xml"_s);
    m_zip.write(part, QByteArray()); // the name is taken; the content comes with the save
    addPartType(part, Types::externalLink);
    const QString relId =
        wbRels->add(relTypeBase() + u"externalLink"_s, PartName::relativeTarget(m_workbookPart, part));

    pugi::xml_node refs =
        Xml::ensureOrdered(m_workbook.document_element(), "externalReferences", Xml::workbookOrder());
    const std::string elementName = Xml::prefixOf(refs) + "externalReference";
    Xml::setAttr(refs.append_child(elementName.c_str()), relIdAttributeName().toUtf8().constData(), relId);
    const int number = int(Xml::children(refs, "externalReference").size());
    m_workbookModified = true;
    m_links.push_back(std::make_unique<ExternalLink>(path, part, number));
    return m_links.back().get();
}

QString Workbook::linkFormula(Workbook* source, const QString& formula, const QString& keep)
{
    if (source == this || source->m_path.isEmpty() || !formula.contains(u'!'))
        return formula;
    // Cell references name worksheets only.
    auto savedName = [&](const QString& sheet) -> QString {
        if (!keep.isEmpty() && sheet.compare(keep, Qt::CaseInsensitive) == 0)
            return {};
        const Worksheet* ws = source->Worksheets(sheet);
        return ws ? source->m_sheets[size_t(source->slotOf(ws))].savedName : QString();
    };
    ExternalLink* link = nullptr;
    QList<FormulaRefs::SheetRange> ranges;
    const QString out = FormulaRefs::externalize(
        formula,
        [&] {
            if (!link)
                link = linkTo(source->m_path);
            return link ? link->number() : 0;
        },
        savedName, &ranges);
    if (!link)
        return formula;
    for (const FormulaRefs::SheetRange& r : ranges) {
        link->addSheet(r.sheet);
        const QString key = u"%1|%2|%3|%4|%5|%6"_s.arg(link->number())
                                .arg(r.sheet.toLower())
                                .arg(r.firstRow)
                                .arg(r.firstColumn)
                                .arg(r.lastRow)
                                .arg(r.lastColumn);
        if (m_linkedRanges.contains(key))
            continue;
        m_linkedRanges.insert(key);
        const Worksheet* ws = nullptr;
        for (const Slot& s : source->m_sheets) {
            if (s.sheet && s.savedName.compare(r.sheet, Qt::CaseInsensitive) == 0)
                ws = s.sheet.get();
        }
        if (!ws)
            continue;
        const std::vector<RowRecord>& rows = ws->m_data.rows;
        for (size_t i = size_t(ws->m_data.lowerRow(r.firstRow));
             i < rows.size() && rows[i].number <= r.lastRow; ++i) {
            for (const auto& c : rows[i].cells) {
                if (c.column >= r.firstColumn && c.column <= r.lastColumn && c.hasContent())
                    link->addCell(r.sheet, rows[i].number, c.column, ws->value(rows[i].number, c.column));
            }
        }
    }
    return out;
}

void Workbook::adoptTheme(Workbook* source)
{
    Relationships* own = rels(m_workbookPart);
    Relationships* theirs = source->rels(source->m_workbookPart);
    if (!own || !theirs || !own->byKind(u"theme"_s).isEmpty())
        return;
    const QList<Relationships::Relationship> themes = theirs->byKind(u"theme"_s);
    if (themes.isEmpty() || themes.first().external)
        return;
    CopyContext ctx;
    const QString part = source->copyPartTree(
        source->m_zip.spelling(PartName::resolve(source->m_workbookPart, themes.first().target)), this, ctx);
    if (!part.isEmpty())
        own->add(relTypeBase() + u"theme"_s, PartName::relativeTarget(m_workbookPart, part));
}

Worksheet* Workbook::copySheet(Worksheet* source, Workbook* target, int position, WorkbookError* error)
{
    const int sourceIndex = slotOf(source);
    if (sourceIndex < 0 || !target) {
        fail(error, WorkbookError::Code::InvalidArgument, u"no sheet to copy"_s);
        return nullptr;
    }
    CopyContext ctx;
    ctx.fromName = source->Name();
    ctx.toName = target->uniqueSheetName(ctx.fromName);
    ctx.crossBook = target != this;
    StyleImport styleMap;
    ctx.styles = &styleMap;

    const QString folder = PartName::folder(target->m_workbookPart);
    const QString part = target->uniquePartName(
        (folder.isEmpty() ? QString() : folder + u'/') + u"worksheets/sheet"_s, u"xml"_s);
    auto sheet = std::unique_ptr<Worksheet>(new Worksheet(target, part));
    sheet->m_doc.reset(source->m_doc);
    sheet->m_data = source->m_data;
    sheet->m_prefix = source->m_prefix;
    if (ctx.crossBook) {
        target->adoptTheme(this);
        sheet->importFrom(*source, styleMap);
    }
    // A code name belongs to the original's macros.
    if (pugi::xml_node pr = Xml::child(sheet->root(), "sheetPr"))
        pr.remove_attribute("codeName");

    // The related parts, under new names; relationship ids stay, so the
    // sheet's markup needs no change.
    Relationships* fromRels = rels(source->m_part, error);
    if (!fromRels)
        return nullptr;
    Relationships* toRels = target->rels(part, error);
    if (!toRels)
        return nullptr;
    QSet<QString> dropped;
    for (const Relationships::Relationship& r : fromRels->all()) {
        if (r.external) {
            toRels->addWithId(r.id, r.type, r.target, true);
            continue;
        }
        if (isDroppedKind(r.type)) {
            dropped.insert(r.id);
            continue;
        }
        const QString copied =
            copyPartTree(m_zip.spelling(PartName::resolve(source->m_part, r.target)), target, ctx);
        if (copied.isEmpty())
            dropped.insert(r.id);
        else
            toRels->addWithId(r.id, r.type, PartName::relativeTarget(part, copied), false);
    }
    if (!dropped.isEmpty())
        dropReferences(sheet->root(), dropped);

    // Names scoped to the sheet come along (print area, titles, filters),
    // read before the insertion renumbers the target's.
    pugi::xml_document namesDoc;
    pugi::xml_document globalDoc;
    for (pugi::xml_node n : definedNames()) {
        if (n.attribute("localSheetId")) {
            if (n.attribute("localSheetId").as_int() == sourceIndex)
                namesDoc.append_copy(n);
        } else if (ctx.crossBook && FormulaRefs::refersToSheet(Xml::text(n), ctx.fromName)) {
            // A workbook-wide name into the sheet goes along to another workbook,
            // unless the name is taken there.
            bool taken = false;
            for (pugi::xml_node own : target->definedNames()) {
                if (!own.attribute("localSheetId") &&
                    Xml::attr(own, "name").compare(Xml::attr(n, "name"), Qt::CaseInsensitive) == 0)
                    taken = true;
            }
            if (!taken)
                globalDoc.append_copy(n);
        }
    }

    Worksheet* copy = target->insertSlot(position, ctx.toName, std::move(sheet), error);
    if (!copy)
        return nullptr;
    // A hidden sheet stays hidden.
    const QString state = Xml::attr(m_sheets[size_t(sourceIndex)].node, "state");
    if (!state.isEmpty() && state != u"visible"_s)
        Xml::setAttr(target->m_sheets[size_t(target->slotOf(copy))].node, "state", state);

    // References to the other sheets of this workbook point into its file
    // from another workbook, as the spreadsheet application's own copy does.
    if (ctx.crossBook) {
        bool any = false;
        for (const Formula& f : copy->m_data.formulas)
            any = any || f.text.contains(u'!');
        if (any) {
            // Followers of a shared formula reach other cells than their master:
            // every cell's own text says which values the link must keep.
            for (const RowRecord& r : copy->m_data.rows) {
                for (const auto& c : r.cells) {
                    if (c.formula >= 0)
                        target->linkFormula(this, copy->formula(r.number, c.column).mid(1), ctx.fromName);
                }
            }
            for (Formula& f : copy->m_data.formulas) {
                if (!f.text.isEmpty())
                    f.text = target->linkFormula(this, f.text, ctx.fromName);
            }
            copy->markModified();
        }
    }

    // References to the sheet itself follow the copy's name, and those to
    // renamed tables the tables' new names.
    if (ctx.toName != ctx.fromName) {
        copy->rewriteFormulas(
            ctx.fromName,
            [&](const QString& f) { return FormulaRefs::renameSheet(f, ctx.fromName, ctx.toName); }, false);
    }
    for (auto it = ctx.renamedTables.constBegin(); it != ctx.renamedTables.constEnd(); ++it) {
        const QRegularExpression structured(u"(?<![\\w.])"_s + QRegularExpression::escape(it.key()) +
                                                u"(?=\\[)"_s,
                                            QRegularExpression::CaseInsensitiveOption);
        const QString to = it.value();
        copy->rewriteFormulas(
            it.key(), [&](const QString& f) { return QString(f).replace(structured, to); }, false);
    }

    if (namesDoc.first_child() || globalDoc.first_child()) {
        pugi::xml_node defined =
            Xml::ensureOrdered(target->m_workbook.document_element(), "definedNames", Xml::workbookOrder());
        const int at = target->slotOf(copy);
        const std::string elementName = Xml::prefixOf(defined) + "definedName";
        for (pugi::xml_document* doc : {&namesDoc, &globalDoc}) {
            for (pugi::xml_node n = doc->first_child(); n; n = n.next_sibling()) {
                pugi::xml_node added = defined.append_copy(n);
                added.set_name(elementName.c_str());
                if (doc == &namesDoc)
                    Xml::setAttr(added, "localSheetId", at);
                Xml::setText(added, FormulaRefs::renameSheet(Xml::text(added), ctx.fromName, ctx.toName));
            }
        }
        target->m_workbookModified = true;
    }
    // The copy computes what the original did: its own cells came along and
    // the values of other sheets are in the link, so the cached results stand.
    target->cellsChanged(false);
    if (copy->isVisible()) {
        copy->Activate();
    } else if (copy->isTabSelected()) {
        copy->setTabSelected(false);
    }
    return copy;
}

} // namespace Xl
