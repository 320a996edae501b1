#include "Worksheet.h"

#include "CellAddress.h"
#include "FormulaRefs.h"
#include "SheetPartReader.h"
#include "ValueText.h"
#include "Workbook.h"
#include "WorkbookInternals.h"
#include "Xml.h"
#include "XmlScanner.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

const char* const placeholderAttribute = "tarnwick-placeholder";

} // namespace

Worksheet::Worksheet(Workbook* book, const QString& part) : m_book(book), m_part(part) {}

Worksheet::~Worksheet() = default;

bool Worksheet::load(const QByteArray& xml, WorkbookError* error, std::atomic<qint64>* cellBudget)
{
    SheetPartReader reader(m_part, cellBudget);
    if (!reader.feed(xml.constData(), xml.size()) || !reader.finish())
        return fail(error, reader.error());
    return load(reader, error);
}

bool Worksheet::load(const ZipPackage::Stored& stored, WorkbookError* error, std::atomic<qint64>* cellBudget)
{
    SheetPartReader reader(m_part, cellBudget);
    if (!ZipPackage::inflateStored(
            stored, qint64(4) << 20,
            [&reader](const char* data, qsizetype size) { return reader.feed(data, size); }, error))
        return false;
    if (!reader.finish())
        return fail(error, reader.error());
    return load(reader, error);
}

bool Worksheet::load(SheetPartReader& reader, WorkbookError* error)
{
    m_prefix = reader.prefix;
    m_data = std::move(reader.data);
    const QByteArray placeholder =
        '<' + QByteArray::fromStdString(m_prefix) + "sheetData " + placeholderAttribute + "=\"1\"/>";
    QByteArray rest = std::move(reader.head);
    if (reader.hasSheetData) {
        rest.append(placeholder);
        rest.append(reader.tail);
    }
    reader.tail.clear();
    if (!Xml::load(m_doc, rest, m_part, error))
        return false;
    if (!reader.hasSheetData) {
        pugi::xml_node node = Xml::insertOrdered(root(), "sheetData", Xml::worksheetOrder());
        node.append_attribute(placeholderAttribute).set_value("1");
    }
    return true;
}

void Worksheet::prepareSave()
{
    // The dimension records the used range.
    pugi::xml_node dim = Xml::ensureOrdered(root(), "dimension", Xml::worksheetOrder());
    Xml::setAttr(dim, "ref", UsedRange().address());
}

QByteArray Worksheet::save() const
{
    QByteArray xml = Xml::save(m_doc);
    const QByteArray marker = QByteArray(placeholderAttribute) + "=\"1\"";
    const qsizetype at = xml.indexOf(marker);
    if (at < 0)
        return xml;
    const qsizetype lt = xml.lastIndexOf('<', at);
    const qsizetype gt = xml.indexOf('>', at);
    QByteArray out;
    qsizetype cells = 0;
    for (const RowRecord& r : m_data.rows)
        cells += qsizetype(r.cells.size());
    out.reserve(xml.size() + qsizetype(m_data.rows.size()) * 24 + cells * 40);
    out.append(xml.constData(), lt);
    m_data.write(out, m_prefix);
    out.append(xml.constData() + gt + 1, xml.size() - gt - 1);
    return out;
}

void Worksheet::contentChanged()
{
    m_modified = true;
    m_mastersValid = false;
    m_book->cellsChanged(false);
}

QString Worksheet::Name() const
{
    const int i = m_book->slotOf(this);
    return i < 0 ? QString() : Xml::attr(m_book->m_sheets[size_t(i)].node, "name");
}

bool Worksheet::setName(const QString& name, WorkbookError* error)
{
    return m_book->renameSheet(this, name, error);
}

int Worksheet::Index() const
{
    return m_book->slotOf(this) + 1;
}

bool Worksheet::isVisible() const
{
    const int i = m_book->slotOf(this);
    const QString state = i < 0 ? QString() : Xml::attr(m_book->m_sheets[size_t(i)].node, "state");
    return state.isEmpty() || state == u"visible"_s;
}

void Worksheet::Activate()
{
    const int i = m_book->slotOf(this);
    if (i >= 0)
        m_book->setActiveIndex(i);
}

bool Worksheet::Delete(WorkbookError* error)
{
    return m_book->deleteSheet(this, error);
}

Worksheet* Worksheet::Copy(Worksheet* after, WorkbookError* error)
{
    Workbook* target = after ? after->parent() : m_book;
    const int position = after ? target->slotOf(after) + 1 : target->sheetCount();
    return m_book->copySheet(this, target, position, error);
}

void Worksheet::forEachCell(const std::function<void(int row, int column)>& visit) const
{
    for (const RowRecord& row : m_data.rows) {
        for (const auto& cell : row.cells) {
            if (cell.hasContent())
                visit(row.number, cell.column);
        }
    }
}

int Worksheet::lastValueRow() const
{
    for (auto row = m_data.rows.rbegin(); row != m_data.rows.rend(); ++row) {
        for (const auto& cell : row->cells) {
            if (cell.hasContent())
                return row->number;
        }
    }
    return 0;
}

bool Worksheet::hasDrawing() const
{
    return bool(Xml::child(root(), "drawing")) || bool(Xml::child(root(), "picture"));
}

Range Worksheet::UsedRange() const
{
    int r1 = 0, r2 = 0, c1 = 0, c2 = 0;
    for (const RowRecord& row : m_data.rows) {
        for (const auto& cell : row.cells) {
            if (!cell.hasContent() && cell.style == 0)
                continue;
            if (r1 == 0)
                r1 = row.number;
            r2 = row.number;
            if (c1 == 0 || cell.column < c1)
                c1 = cell.column;
            c2 = std::max(c2, cell.column);
        }
    }
    if (r1 == 0)
        return Range(const_cast<Worksheet*>(this), 1, 1, 1, 1);
    return Range(const_cast<Worksheet*>(this), r1, c1, r2 - r1 + 1, c2 - c1 + 1);
}

Cell Worksheet::Cells(int row, int column)
{
    return Cell(this, row, column);
}

Range Worksheet::range(const Cell& a, const Cell& b)
{
    return Range(a, b);
}

Range Worksheet::Columns(int first, int last)
{
    if (last < first)
        last = first;
    return Range(this, 1, first, MaxRows, last - first + 1);
}

int Worksheet::styleIndex(int row, int column) const
{
    // An empty cell shows its row's format, else its column's.
    if (const auto* cell = m_data.find(row, column))
        return cell->style;
    if (const RowRecord* r = m_data.findRow(row)) {
        if (SheetData::rowAttribute(*r, "customFormat") == "1" ||
            SheetData::rowAttribute(*r, "customFormat") == "true")
            return SheetData::rowAttribute(*r, "s").toInt();
    }
    return columnStyle(column);
}

CellValue Worksheet::value(int row, int column) const
{
    const auto* cell = m_data.find(row, column);
    return cell ? valueOf(*cell) : CellValue();
}

CellValue Worksheet::valueOf(const CellRecord& cell) const
{
    switch (cell.kind) {
    case CellKind::Blank:
        return {};
    case CellKind::Number:
        return CellValue::number(cell.number);
    case CellKind::Boolean:
        return CellValue::boolean(cell.number != 0);
    case CellKind::Error:
        return CellValue::error(m_data.strings[size_t(cell.text)]);
    case CellKind::SharedString:
        return CellValue::text(m_book->sharedStrings().text(cell.text));
    case CellKind::InlineString:
    case CellKind::Text:
        return CellValue::text(m_data.strings[size_t(cell.text)]);
    case CellKind::Date: {
        bool ok = false;
        const double serial = isoToSerial(m_data.strings[size_t(cell.text)], m_book->date1904(), &ok);
        return ok ? CellValue::number(serial) : CellValue::text(m_data.strings[size_t(cell.text)]);
    }
    }
    return {};
}

QString Worksheet::text(int row, int column) const
{
    const auto* cell = m_data.find(row, column);
    return cell ? textOf(*cell) : QString();
}

QString Worksheet::textOf(const CellRecord& cell) const
{
    const CellValue v = valueOf(cell);
    const bool date = cell.kind == CellKind::Date ||
                      (v.type() == CellValue::Type::Number && m_book->styles().isDateStyle(cell.style));
    if (v.type() == CellValue::Type::Number && !date && cell.style != 0) {
        const QString code = m_book->styles().numberFormatOf(cell.style);
        if (code.compare(u"General"_s, Qt::CaseInsensitive) != 0)
            return formatNumberText(v.toNumber(), code);
    }
    return valueText(v, date, m_book->date1904());
}

QString Worksheet::formula(int row, int column) const
{
    const auto* cell = m_data.find(row, column);
    if (!cell || cell->formula < 0)
        return {};
    const Formula& f = m_data.formulas[size_t(cell->formula)];
    if (f.kind != Formula::Kind::Shared || !f.text.isEmpty())
        return u'=' + f.text;
    // A follower of a shared formula: the master's text, moved.
    if (!m_mastersValid) {
        m_masters.clear();
        for (const RowRecord& r : m_data.rows) {
            for (const auto& c : r.cells) {
                if (c.formula < 0)
                    continue;
                const Formula& m = m_data.formulas[size_t(c.formula)];
                if (m.kind == Formula::Kind::Shared && !m.text.isEmpty())
                    m_masters.insert(m.sharedIndex, SharedMaster{r.number, c.column, c.formula});
            }
        }
        m_mastersValid = true;
    }
    const auto it = m_masters.constFind(f.sharedIndex);
    if (it == m_masters.constEnd())
        return {};
    return u'=' +
           FormulaRefs::shift(m_data.formulas[size_t(it->formula)].text, row - it->row, column - it->column);
}

void Worksheet::unshareFormula(int sharedIndex)
{
    // Find the master first.
    int masterRow = 0, masterColumn = 0;
    QString masterText;
    for (const RowRecord& r : m_data.rows) {
        for (const auto& c : r.cells) {
            if (c.formula < 0)
                continue;
            const Formula& m = m_data.formulas[size_t(c.formula)];
            if (m.kind == Formula::Kind::Shared && m.sharedIndex == sharedIndex && !m.text.isEmpty()) {
                masterRow = r.number;
                masterColumn = c.column;
                masterText = m.text;
            }
        }
    }
    for (RowRecord& r : m_data.rows) {
        for (auto& c : r.cells) {
            if (c.formula < 0)
                continue;
            const Formula& m = m_data.formulas[size_t(c.formula)];
            if (m.kind != Formula::Kind::Shared || m.sharedIndex != sharedIndex)
                continue;
            Formula own;
            own.text = masterRow
                           ? FormulaRefs::shift(masterText, r.number - masterRow, c.column - masterColumn)
                           : QString();
            own.otherAttributes = m.otherAttributes;
            c.formula = m_data.addFormula(own);
        }
    }
    m_modified = true;
    m_mastersValid = false;
}

void Worksheet::prepareOverwrite(int row, int column)
{
    const auto* cell = m_data.find(row, column);
    if (!cell || cell->formula < 0)
        return;
    const Formula& f = m_data.formulas[size_t(cell->formula)];
    // The followers of a shared formula need their master's text.
    if (f.kind == Formula::Kind::Shared && !f.text.isEmpty())
        unshareFormula(f.sharedIndex);
}

void Worksheet::setValue(int row, int column, const CellValue& v)
{
    if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns)
        return;
    prepareOverwrite(row, column);
    auto& cell = m_data.ensure(row, column);
    m_data.clearContent(cell);
    switch (v.type()) {
    case CellValue::Type::Empty:
        if (cell.style == 0 && cell.extra < 0) {
            m_data.erase(row, column);
            RowRecord* r = m_data.findRow(row);
            if (r && r->cells.empty() && r->attributes.isEmpty() && r->trailing.isEmpty())
                m_data.rows.erase(m_data.rows.begin() + m_data.rowIndex(row));
        }
        break;
    case CellValue::Type::Number:
        cell.kind = CellKind::Number;
        cell.number = v.toNumber();
        break;
    case CellValue::Type::Boolean:
        cell.kind = CellKind::Boolean;
        cell.number = v.toBool() ? 1 : 0;
        break;
    case CellValue::Type::Error:
        cell.kind = CellKind::Error;
        cell.text = m_data.addString(v.toText());
        break;
    case CellValue::Type::Text:
        cell.kind = CellKind::SharedString;
        cell.text = m_book->sharedStrings().add(v.toText());
        break;
    }
    contentChanged();
}

void Worksheet::setFormula(int row, int column, const QString& formula, const CellValue& cached)
{
    if (row < 1 || row > MaxRows || column < 1 || column > MaxColumns)
        return;
    QString text = formula.trimmed();
    if (text.startsWith(u'='))
        text.remove(0, 1);
    if (text.isEmpty()) {
        setValue(row, column, cached);
        return;
    }
    prepareOverwrite(row, column);
    auto& cell = m_data.ensure(row, column);
    m_data.clearContent(cell);
    Formula f;
    f.text = text;
    cell.formula = m_data.addFormula(f);
    switch (cached.type()) {
    case CellValue::Type::Empty:
        break;
    case CellValue::Type::Number:
        cell.kind = CellKind::Number;
        cell.number = cached.toNumber();
        break;
    case CellValue::Type::Boolean:
        cell.kind = CellKind::Boolean;
        cell.number = cached.toBool() ? 1 : 0;
        break;
    case CellValue::Type::Error:
        cell.kind = CellKind::Error;
        cell.text = m_data.addString(cached.toText());
        break;
    case CellValue::Type::Text:
        cell.kind = CellKind::Text;
        cell.text = m_data.addString(cached.toText());
        break;
    }
    contentChanged();
    m_book->cellsChanged(true);
}

void Worksheet::setStyle(int row, int column, int style)
{
    auto* existing = m_data.find(row, column);
    if (!existing && style == 0)
        return;
    auto& cell = existing ? *existing : m_data.ensure(row, column);
    if (cell.style != style) {
        cell.style = style;
        m_modified = true;
    }
}

CellAddress Worksheet::end(int row, int column, Direction direction) const
{
    auto filled = [&](int r, int c) {
        const auto* cell = m_data.find(r, c);
        return cell && cell->hasContent();
    };
    switch (direction) {
    case Direction::Down: {
        if (row >= MaxRows)
            return {MaxRows, column};
        if (filled(row, column) && filled(row + 1, column)) {
            int r = row + 1;
            while (r < MaxRows && filled(r + 1, column))
                ++r;
            return {r, column};
        }
        for (size_t i = size_t(m_data.lowerRow(row + 1)); i < m_data.rows.size(); ++i) {
            if (filled(m_data.rows[i].number, column))
                return {m_data.rows[i].number, column};
        }
        return {MaxRows, column};
    }
    case Direction::Up: {
        if (row <= 1)
            return {1, column};
        if (filled(row, column) && filled(row - 1, column)) {
            int r = row - 1;
            while (r > 1 && filled(r - 1, column))
                --r;
            return {r, column};
        }
        for (int i = m_data.lowerRow(row) - 1; i >= 0; --i) {
            if (filled(m_data.rows[size_t(i)].number, column))
                return {m_data.rows[size_t(i)].number, column};
        }
        return {1, column};
    }
    case Direction::ToRight:
    case Direction::ToLeft: {
        const bool right = direction == Direction::ToRight;
        const int edge = right ? MaxColumns : 1;
        if (column == edge)
            return {row, edge};
        const int step = right ? 1 : -1;
        const RowRecord* r = m_data.findRow(row);
        if (!r)
            return {row, edge};
        if (filled(row, column) && filled(row, column + step)) {
            int c = column + step;
            while (c != edge && filled(row, c + step))
                c += step;
            return {row, c};
        }
        if (right) {
            for (const auto& cell : r->cells) {
                if (cell.column > column && cell.hasContent())
                    return {row, cell.column};
            }
        } else {
            for (auto it = r->cells.rbegin(); it != r->cells.rend(); ++it) {
                if (it->column < column && it->hasContent())
                    return {row, it->column};
            }
        }
        return {row, edge};
    }
    }
    return {row, column};
}

qint64 Worksheet::countA(int row1, int col1, int row2, int col2) const
{
    qint64 n = 0;
    for (size_t i = size_t(m_data.lowerRow(row1)); i < m_data.rows.size() && m_data.rows[i].number <= row2;
         ++i) {
        const RowRecord& r = m_data.rows[i];
        auto it = std::lower_bound(r.cells.begin(), r.cells.end(), col1,
                                   [](const auto& c, int col) { return c.column < col; });
        for (; it != r.cells.end() && it->column <= col2; ++it)
            n += it->hasContent() ? 1 : 0;
    }
    return n;
}

// ---- structure ----

pugi::xml_node Worksheet::ensureChild(const char* local)
{
    return Xml::ensureOrdered(root(), local, Xml::worksheetOrder());
}

double Worksheet::defaultColumnWidth() const
{
    const pugi::xml_node fmt = Xml::child(root(), "sheetFormatPr");
    if (fmt.attribute("defaultColWidth"))
        return fmt.attribute("defaultColWidth").as_double(8.43);
    const double base = fmt.attribute("baseColWidth").as_double(8);
    // Characters of the default font plus the cell padding (5 pixels of a 7-pixel digit).
    return std::trunc((base * 7 + 5) / 7 * 256) / 256;
}

double Worksheet::defaultRowHeight() const
{
    const pugi::xml_node fmt = Xml::child(root(), "sheetFormatPr");
    return fmt.attribute("defaultRowHeight").as_double(15);
}

double Worksheet::columnWidth(int column) const
{
    for (pugi::xml_node col : Xml::children(Xml::child(root(), "cols"), "col")) {
        if (Xml::intAttr(col, "min") <= column && column <= Xml::intAttr(col, "max") &&
            col.attribute("width"))
            return col.attribute("width").as_double();
    }
    return defaultColumnWidth();
}

bool Worksheet::hasCustomWidth(int column) const
{
    for (pugi::xml_node col : Xml::children(Xml::child(root(), "cols"), "col")) {
        if (Xml::intAttr(col, "min") <= column && column <= Xml::intAttr(col, "max"))
            return col.attribute("customWidth").as_bool(false) || col.attribute("width");
    }
    return false;
}

int Worksheet::columnStyle(int column) const
{
    for (pugi::xml_node col : Xml::children(Xml::child(root(), "cols"), "col")) {
        if (Xml::intAttr(col, "min") <= column && column <= Xml::intAttr(col, "max"))
            return Xml::intAttr(col, "style", 0);
    }
    return 0;
}

namespace {

// Splits the <col> spans of `cols` so that first..last is covered by spans of
// its own (created where missing); returns those spans.
std::vector<pugi::xml_node> isolateColumns(pugi::xml_node cols, int first, int last)
{
    const std::string colName = Xml::prefixOf(cols) + "col";
    // Split spans that straddle the bounds.
    for (pugi::xml_node col : Xml::children(cols, "col")) {
        const int min = Xml::intAttr(col, "min"), max = Xml::intAttr(col, "max");
        if (max < first || min > last)
            continue;
        if (min < first) {
            pugi::xml_node left = cols.insert_copy_before(col, col);
            Xml::setAttr(left, "max", first - 1);
            Xml::setAttr(col, "min", first);
        }
        const int min2 = Xml::intAttr(col, "min");
        if (max > last) {
            pugi::xml_node right = cols.insert_copy_after(col, col);
            Xml::setAttr(right, "min", last + 1);
            Xml::setAttr(col, "max", last);
        }
        (void)min2;
    }
    // Fill the gaps.
    int next = first;
    std::vector<pugi::xml_node> out;
    pugi::xml_node insertBefore;
    for (pugi::xml_node col : Xml::children(cols, "col")) {
        const int min = Xml::intAttr(col, "min"), max = Xml::intAttr(col, "max");
        if (max < first)
            continue;
        if (min > last) {
            insertBefore = col;
            break;
        }
        if (min > next) {
            pugi::xml_node gap = cols.insert_child_before(colName.c_str(), col);
            Xml::setAttr(gap, "min", next);
            Xml::setAttr(gap, "max", min - 1);
            out.push_back(gap);
        }
        out.push_back(col);
        next = max + 1;
    }
    if (next <= last) {
        pugi::xml_node gap = insertBefore ? cols.insert_child_before(colName.c_str(), insertBefore)
                                          : cols.append_child(colName.c_str());
        Xml::setAttr(gap, "min", next);
        Xml::setAttr(gap, "max", last);
        out.push_back(gap);
    }
    return out;
}

} // namespace

void Worksheet::setColumnWidth(int first, int last, double width, bool custom)
{
    pugi::xml_node cols = ensureChild("cols");
    for (pugi::xml_node col : isolateColumns(cols, first, last)) {
        col.remove_attribute("width");
        col.append_attribute("width").set_value(width);
        if (custom) {
            Xml::setAttr(col, "bestFit", u"1"_s);
            Xml::setAttr(col, "customWidth", u"1"_s);
        }
    }
    m_modified = true;
}

void Worksheet::setColumnStyle(int column, int style)
{
    pugi::xml_node cols = ensureChild("cols");
    for (pugi::xml_node col : isolateColumns(cols, column, column)) {
        Xml::setAttr(col, "style", style);
        if (!col.attribute("width"))
            col.append_attribute("width").set_value(defaultColumnWidth());
    }
    m_modified = true;
}

double Worksheet::rowHeight(int row) const
{
    const RowRecord* r = m_data.findRow(row);
    if (r) {
        const QByteArray ht = SheetData::rowAttribute(*r, "ht");
        bool ok = false;
        const double v = ht.toDouble(&ok);
        if (ok)
            return v;
    }
    return defaultRowHeight();
}

QList<Range> Worksheet::mergedCells() const
{
    QList<Range> out;
    for (pugi::xml_node m : Xml::children(Xml::child(root(), "mergeCells"), "mergeCell")) {
        int r1, c1, r2, c2;
        const std::string ref = m.attribute("ref").value();
        if (parseRangeName(ref, &r1, &c1, &r2, &c2))
            out << Range(const_cast<Worksheet*>(this), r1, c1, r2 - r1 + 1, c2 - c1 + 1);
    }
    return out;
}

void Worksheet::addMerge(int row1, int col1, int row2, int col2)
{
    pugi::xml_node merges = ensureChild("mergeCells");
    pugi::xml_node m = Xml::append(merges, "mergeCell");
    Xml::setAttr(m, "ref", Range(this, row1, col1, row2 - row1 + 1, col2 - col1 + 1).address());
    Xml::setAttr(merges, "count", qint64(Xml::children(merges, "mergeCell").size()));
    m_modified = true;
}

void Worksheet::removeMergesIn(int row1, int col1, int row2, int col2)
{
    pugi::xml_node merges = Xml::child(root(), "mergeCells");
    if (!merges)
        return;
    for (pugi::xml_node m : Xml::children(merges, "mergeCell")) {
        int r1, c1, r2, c2;
        const std::string ref = m.attribute("ref").value();
        if (!parseRangeName(ref, &r1, &c1, &r2, &c2))
            continue;
        if (r2 < row1 || r1 > row2 || c2 < col1 || c1 > col2)
            continue;
        merges.remove_child(m);
        m_modified = true;
    }
    const size_t left = Xml::children(merges, "mergeCell").size();
    if (left == 0)
        root().remove_child(merges);
    else
        Xml::setAttr(merges, "count", qint64(left));
}

bool Worksheet::isTabSelected() const
{
    const pugi::xml_node view = Xml::child(Xml::child(root(), "sheetViews"), "sheetView");
    return view.attribute("tabSelected").as_bool(false);
}

void Worksheet::setTabSelected(bool selected)
{
    pugi::xml_node views = Xml::child(root(), "sheetViews");
    if (!views && !selected)
        return;
    if (!views)
        views = ensureChild("sheetViews");
    pugi::xml_node view = Xml::child(views, "sheetView");
    if (!view) {
        view = Xml::append(views, "sheetView");
        Xml::setAttr(view, "workbookViewId", 0);
    }
    view.remove_attribute("tabSelected");
    if (selected) {
        // tabSelected comes first among the view's attributes by convention.
        pugi::xml_attribute a = view.first_attribute()
                                    ? view.insert_attribute_before("tabSelected", view.first_attribute())
                                    : view.append_attribute("tabSelected");
        a.set_value("1");
    }
    m_modified = true;
}

bool Worksheet::rewriteFormulas(const QString& hint, const std::function<QString(const QString&)>& f,
                                bool inputsChanged)
{
    bool changed = false;
    for (Formula& formula : m_data.formulas) {
        if (formula.text.isEmpty() || !formula.text.contains(hint, Qt::CaseInsensitive))
            continue;
        const QString g = f(formula.text);
        if (g != formula.text) {
            formula.text = g;
            changed = true;
        }
    }
    if (changed)
        m_book->cellsChanged(inputsChanged);
    // Hyperlinks to places in the workbook, validation and conditional-format
    // formulas name sheets as well.
    auto rewriteNode = [&](pugi::xml_node n) {
        const QString t = Xml::text(n);
        if (!t.contains(hint, Qt::CaseInsensitive))
            return;
        const QString g = f(t);
        if (g != t) {
            Xml::setText(n, g);
            changed = true;
        }
    };
    for (pugi::xml_node h : Xml::children(Xml::child(root(), "hyperlinks"), "hyperlink")) {
        const QString loc = Xml::attr(h, "location");
        if (!loc.contains(hint, Qt::CaseInsensitive))
            continue;
        const QString g = f(loc);
        if (g != loc) {
            Xml::setAttr(h, "location", g);
            changed = true;
        }
    }
    for (pugi::xml_node dv : Xml::children(Xml::child(root(), "dataValidations"), "dataValidation")) {
        rewriteNode(Xml::child(dv, "formula1"));
        rewriteNode(Xml::child(dv, "formula2"));
    }
    for (pugi::xml_node cf : Xml::children(root(), "conditionalFormatting")) {
        for (pugi::xml_node rule : Xml::children(cf, "cfRule")) {
            for (pugi::xml_node fn : Xml::children(rule, "formula"))
                rewriteNode(fn);
        }
    }
    if (changed)
        m_modified = true;
    return changed;
}

} // namespace Xl
