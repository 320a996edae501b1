// Column widths, alignment and borders of ranges.

#include "Worksheet.h"

#include "CellAddress.h"
#include "Styles.h"
#include "TextCodec.h"
#include "Workbook.h"

#include <QHash>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

QString borderStyleName(LineStyle style, BorderWeight weight)
{
    const bool heavy = weight == BorderWeight::Medium || weight == BorderWeight::Thick;
    switch (style) {
    case LineStyle::None:
        return {};
    case LineStyle::Continuous:
        switch (weight) {
        case BorderWeight::Hairline:
            return u"hair"_s;
        case BorderWeight::Thin:
            return u"thin"_s;
        case BorderWeight::Medium:
            return u"medium"_s;
        case BorderWeight::Thick:
            return u"thick"_s;
        }
        return u"thin"_s;
    case LineStyle::Dash:
        return heavy ? u"mediumDashed"_s : u"dashed"_s;
    case LineStyle::DashDot:
        return heavy ? u"mediumDashDot"_s : u"dashDot"_s;
    case LineStyle::DashDotDot:
        return heavy ? u"mediumDashDotDot"_s : u"dashDotDot"_s;
    case LineStyle::Dot:
        return weight == BorderWeight::Hairline ? u"hair"_s : u"dotted"_s;
    case LineStyle::Double:
        return u"double"_s;
    case LineStyle::SlantDashDot:
        return u"slantDashDot"_s;
    }
    return {};
}

QString colourName(int colorIndex)
{
    if (colorIndex == ColorIndexAutomatic)
        return u"auto"_s;
    if (colorIndex >= 1 && colorIndex <= 56)
        return u"indexed:"_s + QString::number(colorIndex + 7); // palette entries 8..63
    return {};
}

// Excel's width unit: characters of the default font's digit (7 pixels at
// 96 dpi) plus 5 pixels of padding, in 1/256 steps.
double widthForCharacters(double characters)
{
    return std::min(255.0, std::trunc((characters * 7 + 5) / 7 * 256) / 256);
}

} // namespace

void Worksheet::autoFit(int row1, int col1, int row2, int col2)
{
    const QList<Range> merges = mergedCells();
    auto inMerge = [&](int r, int c) {
        for (const Range& m : merges) {
            if (r >= m.Row() && r <= m.lastRow() && c >= m.Column() && c <= m.lastColumn())
                return true;
        }
        return false;
    };
    QHash<int, double> widest;
    QHash<int, int> stringWidths; // shared string index -> characters
    const Styles& styles = m_book->styles();
    // Width factor of each cell format: its font size, and bold type wider.
    QHash<int, double> factors;
    auto factor = [&](int style) {
        const auto it = factors.constFind(style);
        if (it != factors.constEnd())
            return *it;
        const double f = styles.fontSize(style) / 11.0 * (styles.isBold(style) ? 1.1 : 1.0);
        factors.insert(style, f);
        return f;
    };
    for (size_t i = size_t(m_data.lowerRow(row1)); i < m_data.rows.size() && m_data.rows[i].number <= row2;
         ++i) {
        const RowRecord& r = m_data.rows[i];
        for (const auto& cell : r.cells) {
            if (cell.column < col1 || cell.column > col2 || !cell.hasContent())
                continue;
            if (!merges.isEmpty() && inMerge(r.number, cell.column))
                continue;
            int chars = 0;
            // A shared string is measured once however many cells show it.
            const auto known = cell.kind == CellKind::SharedString ? stringWidths.constFind(cell.text)
                                                                     : stringWidths.constEnd();
            if (known != stringWidths.constEnd()) {
                chars = *known;
            } else {
                const QString t = textOf(cell);
                for (const QStringView line : QStringView(t).tokenize(u'\n'))
                    chars = std::max(chars, displayWidth(line));
                if (cell.kind == CellKind::SharedString)
                    stringWidths.insert(cell.text, chars);
            }
            if (chars == 0)
                continue;
            const double scaled = chars * factor(cell.style);
            widest[cell.column] = std::max(widest.value(cell.column), scaled);
        }
    }
    for (auto it = widest.constBegin(); it != widest.constEnd(); ++it)
        setColumnWidth(it.key(), it.key(), widthForCharacters(it.value()), true);
}

void Worksheet::applyAlignment(const Range& range, const QString& horizontal, const QString& vertical)
{
    Styles& styles = m_book->styles();
    QHash<int, int> cache;
    auto aligned = [&](int style) {
        const auto it = cache.constFind(style);
        if (it != cache.constEnd())
            return *it;
        const int s = styles.withAlignment(style, horizontal, vertical);
        cache.insert(style, s);
        return s;
    };
    const bool wholeColumns = range.Row() == 1 && range.rowCount() == MaxRows;
    if (wholeColumns) {
        for (int c = range.Column(); c <= range.lastColumn(); ++c)
            setColumnStyle(c, aligned(columnStyle(c)));
        for (RowRecord& r : m_data.rows) {
            for (auto& cell : r.cells) {
                if (cell.column >= range.Column() && cell.column <= range.lastColumn())
                    cell.style = aligned(cell.style);
            }
        }
    } else {
        for (int r = range.Row(); r <= range.lastRow(); ++r) {
            for (int c = range.Column(); c <= range.lastColumn(); ++c)
                setStyle(r, c, aligned(styleIndex(r, c)));
        }
    }
    m_modified = true;
}

void Worksheet::applyBorder(const Range& range, BordersIndex index, LineStyle style, BorderWeight weight,
                            int colorIndex)
{
    const BorderLine line{borderStyleName(style, weight),
                          style == LineStyle::None ? QString() : colourName(colorIndex)};
    const bool clearing = line.style.isEmpty();
    Styles& styles = m_book->styles();

    int row1 = range.Row(), row2 = range.lastRow();
    if (row1 == 1 && range.rowCount() == MaxRows) {
        // Whole columns: the rows in use.
        const Range used = UsedRange();
        row1 = used.Row();
        row2 = used.lastRow();
    }
    const int col1 = range.Column(), col2 = range.lastColumn();

    QHash<quint64, int> cache;
    auto apply = [&](int r, int c, int what) {
        const int current = styleIndex(r, c);
        if (clearing && !m_data.find(r, c))
            return;
        const quint64 key = (quint64(quint32(current)) << 8) | quint64(what);
        int next;
        const auto it = cache.constFind(key);
        if (it != cache.constEnd()) {
            next = *it;
        } else {
            if (what == 5 || what == 6)
                next = styles.withDiagonal(current, what == 5, line);
            else
                next = styles.withBorder(current, BorderSide(what), line);
            cache.insert(key, next);
        }
        setStyle(r, c, next);
    };
    const int left = int(BorderSide::Left), right = int(BorderSide::Right);
    const int top = int(BorderSide::Top), bottom = int(BorderSide::Bottom);
    switch (index) {
    case BordersIndex::DiagonalDown:
    case BordersIndex::DiagonalUp:
        for (int r = row1; r <= row2; ++r)
            for (int c = col1; c <= col2; ++c)
                apply(r, c, index == BordersIndex::DiagonalDown ? 5 : 6);
        break;
    case BordersIndex::EdgeLeft:
        for (int r = row1; r <= row2; ++r)
            apply(r, col1, left);
        break;
    case BordersIndex::EdgeRight:
        for (int r = row1; r <= row2; ++r)
            apply(r, col2, right);
        break;
    case BordersIndex::EdgeTop:
        for (int c = col1; c <= col2; ++c)
            apply(row1, c, top);
        break;
    case BordersIndex::EdgeBottom:
        for (int c = col1; c <= col2; ++c)
            apply(row2, c, bottom);
        break;
    case BordersIndex::InsideVertical:
        for (int r = row1; r <= row2; ++r) {
            for (int c = col1; c <= col2; ++c) {
                if (c < col2)
                    apply(r, c, right);
                if (c > col1)
                    apply(r, c, left);
            }
        }
        break;
    case BordersIndex::InsideHorizontal:
        for (int r = row1; r <= row2; ++r) {
            for (int c = col1; c <= col2; ++c) {
                if (r < row2)
                    apply(r, c, bottom);
                if (r > row1)
                    apply(r, c, top);
            }
        }
        break;
    }
}

} // namespace Xl
