// Copy and paste of cell ranges, and the remapping of styles and strings of
// cells that move between workbooks.

#include "Worksheet.h"

#include "CellAddress.h"
#include "FormulaRefs.h"
#include "Styles.h"
#include "Workbook.h"
#include "Xml.h"

#include <QHash>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

// A source cell taken before the paste writes anything (source and target may overlap).
struct Snapshot
{
    int row = 0;
    int column = 0;
    int style = 0;
    CellKind kind = CellKind::Blank;
    double number = 0;
    int sstIndex = -1;
    QString text; // pool text kinds
    bool hasFormula = false;
    QString formula; // without "="
    bool array = false;
    QString arrayRef;
    QByteArray formulaAttributes;
    bool hasExtra = false;
    CellExtra extra;
};

// Days between the two date systems' day zero: a date's serial number in a
// 1900-based workbook is its 1904-based one plus this.
constexpr double daysFrom1900To1904 = 1462;

// What to add to a calendar date's serial number that moves from `from` to `to`.
double dateSystemShift(const Workbook& from, const Workbook& to)
{
    if (from.date1904() == to.date1904())
        return 0;
    return from.date1904() ? daysFrom1900To1904 : -daysFrom1900To1904;
}

} // namespace

void Worksheet::importFrom(const Worksheet& source, StyleImport& map)
{
    Styles& to = m_book->styles();
    const Styles& from = source.m_book->styles();
    SharedStrings& sst = m_book->sharedStrings();
    const SharedStrings& fromSst = source.m_book->sharedStrings();
    QHash<int, int> strings;
    const double shift = dateSystemShift(*source.m_book, *m_book);
    for (RowRecord& row : m_data.rows) {
        const QByteArray rowStyle = SheetData::rowAttribute(row, "s");
        if (!rowStyle.isEmpty())
            SheetData::setRowAttribute(row, "s",
                                       QByteArray::number(to.importXf(from, rowStyle.toInt(), map)));
        for (auto& cell : row.cells) {
            if (shift != 0 && cell.kind == CellKind::Number && from.isCalendarStyle(cell.style))
                cell.number += shift;
            // Style 0 too: the two workbooks' default formats may differ, and
            // the copy keeps the look of its source (the import gives 0 back
            // when they are the same).
            cell.style = to.importXf(from, cell.style, map);
            if (cell.kind == CellKind::SharedString) {
                const auto it = strings.constFind(cell.text);
                if (it != strings.constEnd()) {
                    cell.text = *it;
                } else {
                    const int index = sst.addItem(fromSst.itemMarkup(cell.text), fromSst.prefix(),
                                                  fromSst.text(cell.text), fromSst.isRich(cell.text));
                    strings.insert(cell.text, index);
                    cell.text = index;
                }
            }
        }
    }
    for (pugi::xml_node col : Xml::children(Xml::child(root(), "cols"), "col")) {
        if (col.attribute("style"))
            Xml::setAttr(col, "style", to.importXf(from, Xml::intAttr(col, "style"), map));
    }
    for (pugi::xml_node cf : Xml::children(root(), "conditionalFormatting")) {
        for (pugi::xml_node rule : Xml::children(cf, "cfRule")) {
            if (rule.attribute("dxfId"))
                Xml::setAttr(rule, "dxfId", to.importDxf(from, Xml::intAttr(rule, "dxfId"), map));
        }
    }
    m_modified = true;
}

bool Worksheet::copyRange(const Range& src, Worksheet* target, int row, int column, WorkbookError* error)
{
    if (!target)
        return fail(error, WorkbookError::Code::InvalidArgument, u"no destination"_s);
    const int dr = row - src.Row();
    const int dc = column - src.Column();
    const int lastRow = row + src.rowCount() - 1;
    const int lastColumn = column + src.columnCount() - 1;
    if (lastRow > MaxRows || lastColumn > MaxColumns)
        return fail(error, WorkbookError::Code::InvalidArgument, u"the paste area leaves the sheet"_s);
    const bool cross = target->m_book != m_book;

    // 1. Take the source.
    std::vector<Snapshot> cells;
    std::vector<std::pair<int, std::pair<QByteArray, QByteArray>>> heights; // row -> (ht, customHeight)
    bool anyFormula = false;
    for (size_t i = size_t(m_data.lowerRow(src.Row()));
         i < m_data.rows.size() && m_data.rows[i].number <= src.lastRow(); ++i) {
        const RowRecord& r = m_data.rows[i];
        const QByteArray ht = SheetData::rowAttribute(r, "ht");
        if (!ht.isEmpty())
            heights.push_back({r.number, {ht, SheetData::rowAttribute(r, "customHeight")}});
        auto it = std::lower_bound(r.cells.begin(), r.cells.end(), src.Column(),
                                   [](const auto& c, int col) { return c.column < col; });
        for (; it != r.cells.end() && it->column <= src.lastColumn(); ++it) {
            Snapshot s;
            s.row = r.number;
            s.column = it->column;
            s.style = it->style;
            s.kind = it->kind;
            s.number = it->number;
            if (it->kind == CellKind::SharedString)
                s.sstIndex = it->text;
            else if (it->text >= 0)
                s.text = m_data.strings[size_t(it->text)];
            if (it->formula >= 0) {
                const Formula& f = m_data.formulas[size_t(it->formula)];
                s.hasFormula = true;
                anyFormula = true;
                s.formula = formula(r.number, it->column).mid(1);
                s.formulaAttributes = f.otherAttributes;
                if (f.kind == Formula::Kind::Array && !f.ref.isEmpty()) {
                    int r1, c1, r2, c2;
                    const std::string ref = f.ref.toStdString();
                    if (parseRangeName(ref, &r1, &c1, &r2, &c2) && r1 >= src.Row() && r2 <= src.lastRow() &&
                        c1 >= src.Column() && c2 <= src.lastColumn()) {
                        s.array = true;
                        s.arrayRef = Range(this, r1 + dr, c1 + dc, r2 - r1 + 1, c2 - c1 + 1).address();
                    }
                }
            }
            if (it->extra >= 0) {
                s.hasExtra = true;
                s.extra = m_data.extras[size_t(it->extra)];
            }
            cells.push_back(std::move(s));
        }
    }
    std::vector<Range> merges;
    for (const Range& m : mergedCells()) {
        if (m.Row() >= src.Row() && m.lastRow() <= src.lastRow() && m.Column() >= src.Column() &&
            m.lastColumn() <= src.lastColumn())
            merges.push_back(m);
    }

    // 2. Clear the target area (a shared formula's followers outside it keep
    //    their text when their master is overwritten).
    target->removeMergesIn(row, column, lastRow, lastColumn);
    QList<int> masters;
    for (size_t i = size_t(target->m_data.lowerRow(row));
         i < target->m_data.rows.size() && target->m_data.rows[i].number <= lastRow; ++i) {
        for (const auto& c : target->m_data.rows[i].cells) {
            if (c.column < column || c.column > lastColumn || c.formula < 0)
                continue;
            const Formula& f = target->m_data.formulas[size_t(c.formula)];
            if (f.kind == Formula::Kind::Shared && !f.text.isEmpty())
                masters << f.sharedIndex;
        }
    }
    for (int si : masters)
        target->unshareFormula(si);
    for (size_t i = size_t(target->m_data.lowerRow(row));
         i < target->m_data.rows.size() && target->m_data.rows[i].number <= lastRow; ++i) {
        auto& list = target->m_data.rows[i].cells;
        const auto from = std::lower_bound(list.begin(), list.end(), column,
                                           [](const auto& c, int col) { return c.column < col; });
        const auto to = std::upper_bound(from, list.end(), lastColumn,
                                         [](int col, const auto& c) { return col < c.column; });
        list.erase(from, to);
    }

    // 3. Place the copies.
    if (cross)
        target->m_book->adoptTheme(m_book);
    StyleImport map;
    Styles& toStyles = target->m_book->styles();
    const Styles& fromStyles = m_book->styles();
    SharedStrings& toSst = target->m_book->sharedStrings();
    const SharedStrings& fromSst = m_book->sharedStrings();
    QHash<int, int> strings;
    const double shift = cross ? dateSystemShift(*m_book, *target->m_book) : 0;
    for (const Snapshot& s : cells) {
        auto& c = target->m_data.ensure(s.row + dr, s.column + dc);
        c.style = cross ? toStyles.importXf(fromStyles, s.style, map) : s.style;
        c.kind = s.kind;
        c.number = s.number;
        if (shift != 0 && s.kind == CellKind::Number && fromStyles.isCalendarStyle(s.style))
            c.number += shift;
        c.text = -1;
        c.formula = -1;
        c.extra = -1;
        if (s.kind == CellKind::SharedString) {
            if (!cross) {
                c.text = s.sstIndex;
            } else {
                const auto it = strings.constFind(s.sstIndex);
                if (it != strings.constEnd()) {
                    c.text = *it;
                } else {
                    c.text = toSst.addItem(fromSst.itemMarkup(s.sstIndex), fromSst.prefix(),
                                           fromSst.text(s.sstIndex), fromSst.isRich(s.sstIndex));
                    strings.insert(s.sstIndex, c.text);
                }
            }
        } else if (s.kind == CellKind::InlineString || s.kind == CellKind::Text ||
                   s.kind == CellKind::Error || s.kind == CellKind::Date) {
            c.text = target->m_data.addString(s.text);
        }
        if (s.hasFormula) {
            Formula f;
            // References into other sheets keep pointing at the source's
            // file from another workbook.
            f.text = FormulaRefs::shift(
                cross ? target->m_book->linkFormula(m_book, s.formula, QString()) : s.formula, dr, dc);
            f.otherAttributes = s.formulaAttributes;
            if (s.array) {
                f.kind = Formula::Kind::Array;
                f.ref = s.arrayRef;
            }
            c.formula = target->m_data.addFormula(f);
        }
        if (s.hasExtra)
            c.extra = target->m_data.addExtra(s.extra);
    }
    for (const auto& [r, h] : heights) {
        RowRecord& tr = target->m_data.ensureRow(r + dr);
        SheetData::setRowAttribute(tr, "ht", h.first);
        if (!h.second.isEmpty())
            SheetData::setRowAttribute(tr, "customHeight", h.second);
    }
    for (const Range& m : merges)
        target->addMerge(m.Row() + dr, m.Column() + dc, m.lastRow() + dr, m.lastColumn() + dc);
    target->contentChanged();
    if (anyFormula)
        target->m_book->cellsChanged(true);
    return true;
}

} // namespace Xl
