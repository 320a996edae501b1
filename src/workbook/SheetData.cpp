#include "SheetData.h"

#include "CellAddress.h"
#include "SharedStrings.h"
#include "TextCodec.h"
#include "Xml.h"
#include "XmlScanner.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\n' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool parseInt(std::string_view s, int* out)
{
    s = trim(s);
    if (s.empty())
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool parseDouble(std::string_view s, double* out)
{
    s = trim(s);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

QString toQString(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

void appendInt(QByteArray& out, long long v)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, qsizetype(r.ptr - buf));
}

void appendDouble(QByteArray& out, double v)
{
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, qsizetype(r.ptr - buf));
}

void appendCellName(QByteArray& out, int row, int column)
{
    char letters[4];
    int n = 0;
    while (column > 0) {
        letters[n++] = char('A' + (column - 1) % 26);
        column = (column - 1) / 26;
    }
    while (n > 0)
        out.append(letters[--n]);
    appendInt(out, row);
}

void appendText(QByteArray& out, const QString& s)
{
    Xml::appendEscaped(out, escapeXstring(s), false);
}

} // namespace

bool SheetData::parse(const char* begin, const char* end, QString* error, bool* unsafe,
                      std::atomic<qint64>* cellBudget, bool* tooLarge, const char** stoppedAt, int* rowBefore)
{
    *unsafe = false;
    if (tooLarge)
        *tooLarge = false;
    rows.clear();
    strings.clear();
    formulas.clear();
    extras.clear();
    trailing.clear();

    XmlScanner sc(begin, end);
    auto failed = [&](const QString& text) {
        *error = text.isEmpty() ? sc.errorText() : text;
        *unsafe = sc.unsafe();
        return false;
    };

    XmlScanner::Token t = sc.next();
    while (t == XmlScanner::Token::Text)
        t = sc.next();
    if (t != XmlScanner::Token::StartTag || sc.localName() != "sheetData")
        return failed(t == XmlScanner::Token::Error ? QString() : u"<sheetData> expected"_s);
    if (sc.isEmptyElement()) {
        if (stoppedAt)
            *stoppedAt = sc.position();
        return true;
    }

    std::string vBuffer;
    std::string fText;
    int lastRow = rowBefore ? *rowBefore : 0;
    bool sorted = true;

    while (true) {
        t = sc.next();
        if (t == XmlScanner::Token::Error || t == XmlScanner::Token::End)
            return failed({});
        if (t == XmlScanner::Token::EndTag) {
            if (stoppedAt)
                *stoppedAt = sc.position();
            break; // </sheetData>
        }
        if (t == XmlScanner::Token::Text)
            continue;
        if (sc.localName() != "row") {
            const char* from = sc.tokenBegin();
            if (!sc.skipElement())
                return failed({});
            trailing.append(from, qsizetype(sc.position() - from));
            continue;
        }

        RowRecord row;
        bool hasNumber = false;
        bool attrsOk = XmlScanner::forEachAttribute(
            sc.rawAttributes(), [&](std::string_view name, std::string_view value) {
                if (name == "r") {
                    hasNumber = parseInt(value, &row.number);
                } else if (name != "spans") {
                    row.attributes.append(' ');
                    row.attributes.append(name.data(), qsizetype(name.size()));
                    row.attributes.append("=\"");
                    if (value.find('"') != std::string_view::npos) {
                        // Single-quoted values holding '"' are re-quoted.
                        Xml::appendEscaped(row.attributes, XmlScanner::decodeToString(value, true), true);
                    } else {
                        row.attributes.append(value.data(), qsizetype(value.size()));
                    }
                    row.attributes.append('"');
                }
            });
        if (!attrsOk)
            return failed(u"malformed attributes of <row>"_s);
        if (!hasNumber)
            row.number = lastRow + 1;
        if (row.number < 1 || row.number > MaxRows)
            return failed(u"row number %1 out of range"_s.arg(row.number));
        if (row.number <= lastRow)
            sorted = false;
        lastRow = row.number;

        if (!sc.isEmptyElement()) {
            int lastColumn = 0;
            bool cellsSorted = true;
            while (true) {
                t = sc.next();
                if (t == XmlScanner::Token::Error || t == XmlScanner::Token::End)
                    return failed({});
                if (t == XmlScanner::Token::EndTag)
                    break; // </row>
                if (t == XmlScanner::Token::Text)
                    continue;
                if (sc.localName() != "c") {
                    const char* from = sc.tokenBegin();
                    if (!sc.skipElement())
                        return failed({});
                    row.trailing.append(from, qsizetype(sc.position() - from));
                    continue;
                }
                CellRecord cell;
                std::string_view typeAttr;
                CellExtra extra;
                bool hasRef = false;
                bool ok = true;
                attrsOk = XmlScanner::forEachAttribute(sc.rawAttributes(), [&](std::string_view name,
                                                                               std::string_view value) {
                    if (name == "r") {
                        int r, c;
                        if (parseCellName(trim(value), &r, &c)) {
                            cell.column = c;
                            hasRef = true;
                        } else {
                            ok = false;
                        }
                    } else if (name == "s") {
                        if (!parseInt(value, &cell.style) || cell.style < 0)
                            ok = false;
                    } else if (name == "t") {
                        typeAttr = trim(value);
                    } else {
                        extra.attributes.append(' ');
                        extra.attributes.append(name.data(), qsizetype(name.size()));
                        extra.attributes.append("=\"");
                        Xml::appendEscaped(extra.attributes, XmlScanner::decodeToString(value, true), true);
                        extra.attributes.append('"');
                    }
                });
                if (!attrsOk || !ok)
                    return failed(u"malformed cell in row %1"_s.arg(row.number));
                if (!hasRef)
                    cell.column = lastColumn + 1;
                if (cell.column < 1 || cell.column > MaxColumns)
                    return failed(u"column out of range in row %1"_s.arg(row.number));
                if (cell.column <= lastColumn)
                    cellsSorted = false;
                lastColumn = cell.column;

                bool hasV = false;
                std::string_view vText;
                QString inlineText;
                bool hasInline = false;
                if (!sc.isEmptyElement() && sc.takeSimpleChild("v", &vText)) {
                    hasV = true;
                } else if (!sc.isEmptyElement()) {
                    while (true) {
                        t = sc.next();
                        if (t == XmlScanner::Token::Error || t == XmlScanner::Token::End)
                            return failed({});
                        if (t == XmlScanner::Token::EndTag)
                            break; // </c>
                        if (t == XmlScanner::Token::Text)
                            continue;
                        const std::string_view local = sc.localName();
                        if (local == "v") {
                            if (!sc.readElementView(vText, vBuffer))
                                return failed({});
                            hasV = true;
                        } else if (local == "f") {
                            Formula f;
                            bool fOk = XmlScanner::forEachAttribute(
                                sc.rawAttributes(), [&](std::string_view name, std::string_view value) {
                                    if (name == "t") {
                                        const std::string_view v = trim(value);
                                        if (v == "shared")
                                            f.kind = Formula::Kind::Shared;
                                        else if (v == "array")
                                            f.kind = Formula::Kind::Array;
                                        else if (v == "dataTable")
                                            f.kind = Formula::Kind::DataTable;
                                    } else if (name == "si") {
                                        parseInt(value, &f.sharedIndex);
                                    } else if (name == "ref") {
                                        f.ref = XmlScanner::decodeToString(trim(value), true);
                                    } else {
                                        f.otherAttributes.append(' ');
                                        f.otherAttributes.append(name.data(), qsizetype(name.size()));
                                        f.otherAttributes.append("=\"");
                                        Xml::appendEscaped(f.otherAttributes,
                                                           XmlScanner::decodeToString(value, true), true);
                                        f.otherAttributes.append('"');
                                    }
                                });
                            if (!fOk)
                                return failed(u"malformed formula attributes"_s);
                            if (!sc.readElementText(fText))
                                return failed({});
                            f.text = toQString(fText);
                            cell.formula = addFormula(f);
                        } else if (local == "is") {
                            const char* from = sc.tokenBegin();
                            bool rich = false;
                            if (!readRichText(sc, &inlineText, &rich, error))
                                return failed(*error);
                            hasInline = true;
                            if (rich)
                                extra.inlineMarkup = QByteArray(from, qsizetype(sc.position() - from));
                        } else {
                            const char* from = sc.tokenBegin();
                            if (!sc.skipElement())
                                return failed({});
                            extra.trailing.append(from, qsizetype(sc.position() - from));
                        }
                    }
                }

                // The value, by type.
                if (typeAttr.empty() || typeAttr == "n") {
                    if (hasV && !trim(vText).empty()) {
                        if (parseDouble(vText, &cell.number)) {
                            cell.kind = CellKind::Number;
                        } else {
                            cell.kind = CellKind::Text;
                            cell.text = addString(QString::fromUtf8(vText.data(), qsizetype(vText.size())));
                        }
                    }
                } else if (typeAttr == "s") {
                    int index;
                    if (hasV && parseInt(vText, &index) && index >= 0) {
                        cell.kind = CellKind::SharedString;
                        cell.text = index;
                    } else if (hasV) {
                        return failed(u"bad shared string index in row %1"_s.arg(row.number));
                    }
                } else if (typeAttr == "b") {
                    if (hasV) {
                        const std::string_view v = trim(vText);
                        cell.kind = CellKind::Boolean;
                        cell.number = (v == "1" || v == "true") ? 1 : 0;
                    }
                } else if (typeAttr == "e") {
                    if (hasV) {
                        cell.kind = CellKind::Error;
                        cell.text =
                            addString(QString::fromUtf8(trim(vText).data(), qsizetype(trim(vText).size())));
                    }
                } else if (typeAttr == "str") {
                    if (hasV) {
                        cell.kind = CellKind::Text;
                        cell.text = addString(
                            unescapeXstring(QString::fromUtf8(vText.data(), qsizetype(vText.size()))));
                    }
                } else if (typeAttr == "inlineStr") {
                    if (hasInline) {
                        cell.kind = CellKind::InlineString;
                        cell.text = addString(inlineText);
                    } else if (hasV) {
                        cell.kind = CellKind::InlineString;
                        cell.text = addString(
                            unescapeXstring(QString::fromUtf8(vText.data(), qsizetype(vText.size()))));
                    }
                } else if (typeAttr == "d") {
                    if (hasV) {
                        cell.kind = CellKind::Date;
                        cell.text =
                            addString(QString::fromUtf8(trim(vText).data(), qsizetype(trim(vText).size())));
                    }
                } else {
                    return failed(u"unknown cell type in row %1"_s.arg(row.number));
                }
                if (cell.kind != CellKind::InlineString)
                    extra.inlineMarkup.clear();
                if (!extra.attributes.isEmpty() || !extra.inlineMarkup.isEmpty() || !extra.trailing.isEmpty())
                    cell.extra = addExtra(extra);
                if (cell.style == 0 && cell.kind == CellKind::Blank && cell.formula < 0 && cell.extra < 0)
                    continue;
                if (cellBudget && cellBudget->fetch_sub(1) <= 0) {
                    if (tooLarge)
                        *tooLarge = true;
                    return failed(u"more cells than a workbook may hold here"_s);
                }
                row.cells.push_back(cell);
            }
            if (!cellsSorted) {
                std::stable_sort(
                    row.cells.begin(), row.cells.end(),
                    [](const CellRecord& a, const CellRecord& b) { return a.column < b.column; });
                // A repeated reference keeps its last cell.
                std::vector<CellRecord> unique;
                unique.reserve(row.cells.size());
                for (const CellRecord& c : row.cells) {
                    if (!unique.empty() && unique.back().column == c.column)
                        unique.back() = c;
                    else
                        unique.push_back(c);
                }
                row.cells = std::move(unique);
            }
        }
        if (row.cells.empty() && row.attributes.isEmpty() && row.trailing.isEmpty())
            continue;
        rows.push_back(std::move(row));
    }

    if (rowBefore)
        *rowBefore = lastRow;
    if (!sorted)
        sortRows();
    return true;
}

void SheetData::sortRows()
{
    if (std::adjacent_find(rows.begin(), rows.end(), [](const RowRecord& a, const RowRecord& b) {
            return a.number >= b.number;
        }) == rows.end()) {
        return;
    }
    {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const RowRecord& a, const RowRecord& b) { return a.number < b.number; });
        std::vector<RowRecord> unique;
        unique.reserve(rows.size());
        for (RowRecord& r : rows) {
            if (!unique.empty() && unique.back().number == r.number) {
                for (CellRecord& c : r.cells) {
                    RowRecord& u = unique.back();
                    auto it = std::lower_bound(u.cells.begin(), u.cells.end(), c.column,
                                               [](const CellRecord& x, int col) { return x.column < col; });
                    if (it != u.cells.end() && it->column == c.column)
                        *it = c;
                    else
                        u.cells.insert(it, c);
                }
            } else {
                unique.push_back(std::move(r));
            }
        }
        rows = std::move(unique);
    }
}

void SheetData::append(SheetData&& more)
{
    const int stringBase = int(strings.size());
    const int formulaBase = int(formulas.size());
    const int extraBase = int(extras.size());
    for (RowRecord& row : more.rows) {
        for (CellRecord& cell : row.cells) {
            if (cell.text >= 0 && cell.kind != CellKind::SharedString)
                cell.text += stringBase;
            if (cell.formula >= 0)
                cell.formula += formulaBase;
            if (cell.extra >= 0)
                cell.extra += extraBase;
        }
        rows.push_back(std::move(row));
    }
    std::move(more.strings.begin(), more.strings.end(), std::back_inserter(strings));
    std::move(more.formulas.begin(), more.formulas.end(), std::back_inserter(formulas));
    std::move(more.extras.begin(), more.extras.end(), std::back_inserter(extras));
    trailing += more.trailing;
    more = SheetData();
}

void SheetData::write(QByteArray& out, std::string_view prefix) const
{
    const QByteArray p(prefix.data(), qsizetype(prefix.size()));
    const QByteArray rowOpen = '<' + p + "row r=\"";
    const QByteArray rowClose = "</" + p + "row>";
    const QByteArray cOpen = '<' + p + "c r=\"";
    const QByteArray cClose = "</" + p + "c>";
    const QByteArray vOpen = '<' + p + "v>";
    const QByteArray vClose = "</" + p + "v>";
    const QByteArray fOpen = '<' + p + 'f';
    const QByteArray fClose = "</" + p + "f>";

    if (rows.empty() && trailing.isEmpty()) {
        out.append('<' + p + "sheetData/>");
        return;
    }
    out.append('<' + p + "sheetData>");
    for (const RowRecord& row : rows) {
        out.append(rowOpen);
        appendInt(out, row.number);
        out.append('"');
        out.append(row.attributes);
        if (row.cells.empty() && row.trailing.isEmpty()) {
            out.append("/>");
            continue;
        }
        out.append('>');
        for (const CellRecord& cell : row.cells) {
            const CellExtra* extra = cell.extra >= 0 ? &extras[size_t(cell.extra)] : nullptr;
            out.append(cOpen);
            appendCellName(out, row.number, cell.column);
            out.append('"');
            if (cell.style != 0) {
                out.append(" s=\"");
                appendInt(out, cell.style);
                out.append('"');
            }
            switch (cell.kind) {
            case CellKind::Blank:
            case CellKind::Number:
                break;
            case CellKind::Boolean:
                out.append(" t=\"b\"");
                break;
            case CellKind::Error:
                out.append(" t=\"e\"");
                break;
            case CellKind::SharedString:
                out.append(" t=\"s\"");
                break;
            case CellKind::InlineString:
                out.append(" t=\"inlineStr\"");
                break;
            case CellKind::Text:
                out.append(" t=\"str\"");
                break;
            case CellKind::Date:
                out.append(" t=\"d\"");
                break;
            }
            if (extra)
                out.append(extra->attributes);
            const bool hasBody =
                cell.kind != CellKind::Blank || cell.formula >= 0 || (extra && !extra->trailing.isEmpty());
            if (!hasBody) {
                out.append("/>");
                continue;
            }
            out.append('>');
            if (cell.formula >= 0) {
                const Formula& f = formulas[size_t(cell.formula)];
                out.append(fOpen);
                switch (f.kind) {
                case Formula::Kind::Normal:
                    break;
                case Formula::Kind::Shared:
                    out.append(" t=\"shared\"");
                    break;
                case Formula::Kind::Array:
                    out.append(" t=\"array\"");
                    break;
                case Formula::Kind::DataTable:
                    out.append(" t=\"dataTable\"");
                    break;
                }
                if (!f.ref.isEmpty()) {
                    out.append(" ref=\"");
                    Xml::appendEscaped(out, f.ref, true);
                    out.append('"');
                }
                if (f.sharedIndex >= 0) {
                    out.append(" si=\"");
                    appendInt(out, f.sharedIndex);
                    out.append('"');
                }
                out.append(f.otherAttributes);
                if (f.text.isEmpty()) {
                    out.append("/>");
                } else {
                    out.append('>');
                    Xml::appendEscaped(out, f.text, false);
                    out.append(fClose);
                }
            }
            switch (cell.kind) {
            case CellKind::Blank:
                break;
            case CellKind::Number:
                out.append(vOpen);
                appendDouble(out, cell.number);
                out.append(vClose);
                break;
            case CellKind::Boolean:
                out.append(vOpen);
                out.append(cell.number != 0 ? '1' : '0');
                out.append(vClose);
                break;
            case CellKind::SharedString:
                out.append(vOpen);
                appendInt(out, cell.text);
                out.append(vClose);
                break;
            case CellKind::Error:
            case CellKind::Date:
                out.append(vOpen);
                Xml::appendEscaped(out, strings[size_t(cell.text)], false);
                out.append(vClose);
                break;
            case CellKind::Text:
                out.append(vOpen);
                appendText(out, strings[size_t(cell.text)]);
                out.append(vClose);
                break;
            case CellKind::InlineString:
                if (extra && !extra->inlineMarkup.isEmpty()) {
                    out.append(extra->inlineMarkup);
                } else {
                    const QString& s = strings[size_t(cell.text)];
                    out.append('<' + p + "is><" + p + 't');
                    if (!s.isEmpty() && (s.front().isSpace() || s.back().isSpace()))
                        out.append(" xml:space=\"preserve\"");
                    out.append('>');
                    appendText(out, s);
                    out.append("</" + p + "t></" + p + "is>");
                }
                break;
            }
            if (extra)
                out.append(extra->trailing);
            out.append(cClose);
        }
        out.append(row.trailing);
        out.append(rowClose);
    }
    out.append(trailing);
    out.append("</" + p + "sheetData>");
}

int SheetData::lowerRow(int row) const
{
    const auto it = std::lower_bound(rows.begin(), rows.end(), row,
                                     [](const RowRecord& r, int n) { return r.number < n; });
    return int(it - rows.begin());
}

int SheetData::rowIndex(int row) const
{
    const int i = lowerRow(row);
    return (i < int(rows.size()) && rows[size_t(i)].number == row) ? i : -1;
}

const RowRecord* SheetData::findRow(int row) const
{
    const int i = rowIndex(row);
    return i < 0 ? nullptr : &rows[size_t(i)];
}

RowRecord* SheetData::findRow(int row)
{
    const int i = rowIndex(row);
    return i < 0 ? nullptr : &rows[size_t(i)];
}

RowRecord& SheetData::ensureRow(int row)
{
    const int i = lowerRow(row);
    if (i < int(rows.size()) && rows[size_t(i)].number == row)
        return rows[size_t(i)];
    RowRecord r;
    r.number = row;
    return *rows.insert(rows.begin() + i, std::move(r));
}

const CellRecord* SheetData::find(int row, int column) const
{
    const RowRecord* r = findRow(row);
    if (!r)
        return nullptr;
    const auto it = std::lower_bound(r->cells.begin(), r->cells.end(), column,
                                     [](const CellRecord& c, int col) { return c.column < col; });
    return (it != r->cells.end() && it->column == column) ? &*it : nullptr;
}

CellRecord* SheetData::find(int row, int column)
{
    return const_cast<CellRecord*>(static_cast<const SheetData*>(this)->find(row, column));
}

CellRecord& SheetData::ensure(int row, int column)
{
    RowRecord& r = ensureRow(row);
    auto it = std::lower_bound(r.cells.begin(), r.cells.end(), column,
                               [](const CellRecord& c, int col) { return c.column < col; });
    if (it != r.cells.end() && it->column == column)
        return *it;
    CellRecord c;
    c.column = column;
    return *r.cells.insert(it, c);
}

void SheetData::erase(int row, int column)
{
    RowRecord* r = findRow(row);
    if (!r)
        return;
    auto it = std::lower_bound(r->cells.begin(), r->cells.end(), column,
                               [](const CellRecord& c, int col) { return c.column < col; });
    if (it != r->cells.end() && it->column == column)
        r->cells.erase(it);
}

int SheetData::addString(const QString& s)
{
    strings.push_back(s);
    return int(strings.size() - 1);
}

int SheetData::addFormula(const Formula& f)
{
    formulas.push_back(f);
    return int(formulas.size() - 1);
}

int SheetData::addExtra(const CellExtra& e)
{
    extras.push_back(e);
    return int(extras.size() - 1);
}

void SheetData::clearContent(CellRecord& cell)
{
    cell.kind = CellKind::Blank;
    cell.text = -1;
    cell.formula = -1;
    cell.number = 0;
    if (cell.extra >= 0) {
        CellExtra& e = extras[size_t(cell.extra)];
        e.inlineMarkup.clear();
        // Value metadata ("vm", "cm") belongs to the old value.
        if (e.attributes.isEmpty() && e.trailing.isEmpty())
            cell.extra = -1;
    }
}

QByteArray SheetData::rowAttribute(const RowRecord& row, std::string_view name)
{
    QByteArray found;
    const std::string_view raw(row.attributes.constData(), size_t(row.attributes.size()));
    XmlScanner::forEachAttribute(raw, [&](std::string_view n, std::string_view v) {
        if (n == name)
            found = QByteArray(v.data(), qsizetype(v.size()));
    });
    return found;
}

void SheetData::removeRowAttribute(RowRecord& row, std::string_view name)
{
    QByteArray rebuilt;
    const std::string_view raw(row.attributes.constData(), size_t(row.attributes.size()));
    XmlScanner::forEachAttribute(raw, [&](std::string_view n, std::string_view v) {
        if (n == name)
            return;
        rebuilt.append(' ');
        rebuilt.append(n.data(), qsizetype(n.size()));
        rebuilt.append("=\"");
        rebuilt.append(v.data(), qsizetype(v.size()));
        rebuilt.append('"');
    });
    row.attributes = rebuilt;
}

void SheetData::setRowAttribute(RowRecord& row, std::string_view name, const QByteArray& value)
{
    removeRowAttribute(row, name);
    row.attributes.append(' ');
    row.attributes.append(name.data(), qsizetype(name.size()));
    row.attributes.append("=\"");
    row.attributes.append(value);
    row.attributes.append('"');
}

} // namespace Xl
