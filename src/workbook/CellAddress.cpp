#include "CellAddress.h"

namespace Xl {

QString columnName(int column)
{
    QString out;
    while (column > 0) {
        const int rem = (column - 1) % 26;
        out.prepend(QChar(u'A' + rem));
        column = (column - 1) / 26;
    }
    return out;
}

QString cellName(int row, int column)
{
    return columnName(column) + QString::number(row);
}

int parseColumnLetters(std::string_view letters)
{
    if (letters.empty() || letters.size() > 3)
        return 0;
    int col = 0;
    for (char c : letters) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            return 0;
        col = col * 26 + (c - 'A' + 1);
    }
    return col <= MaxColumns ? col : 0;
}

bool parseCellName(std::string_view text, int* row, int* column)
{
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && text[i] == '$')
        ++i;
    int col = 0;
    size_t letters = 0;
    while (i < n) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            break;
        col = col * 26 + (c - 'A' + 1);
        ++letters;
        ++i;
        if (letters > 3)
            return false;
    }
    if (letters == 0 || col > MaxColumns)
        return false;
    if (i < n && text[i] == '$')
        ++i;
    if (i >= n)
        return false;
    long long r = 0;
    size_t digits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        r = r * 10 + (text[i] - '0');
        ++digits;
        ++i;
        if (r > MaxRows)
            return false;
    }
    if (digits == 0 || i != n || r < 1)
        return false;
    *row = int(r);
    *column = col;
    return true;
}

bool parseRangeName(std::string_view text, int* row1, int* col1, int* row2, int* col2)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) {
        if (!parseCellName(text, row1, col1))
            return false;
        *row2 = *row1;
        *col2 = *col1;
        return true;
    }
    int r1, c1, r2, c2;
    if (!parseCellName(text.substr(0, colon), &r1, &c1) || !parseCellName(text.substr(colon + 1), &r2, &c2))
        return false;
    *row1 = std::min(r1, r2);
    *row2 = std::max(r1, r2);
    *col1 = std::min(c1, c2);
    *col2 = std::max(c1, c2);
    return true;
}

} // namespace Xl
