#pragma once

#include <QString>

#include <string_view>

namespace Xl {

// Worksheet bounds of the file format the engine writes.
constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

// 1-based row and column.
struct CellAddress
{
    int row = 0;
    int column = 0;

    bool isValid() const { return row >= 1 && row <= MaxRows && column >= 1 && column <= MaxColumns; }
    bool operator==(const CellAddress&) const = default;
};

// "A", "Z", "AA", ... for 1, 26, 27, ...
QString columnName(int column);
// "B3" for (3, 2).
QString cellName(int row, int column);
// Parses "B3" or "$B$3" (dollar signs ignored). False on anything else.
bool parseCellName(std::string_view text, int* row, int* column);
// Parses the letters of a column ("AB"); 0 when invalid.
int parseColumnLetters(std::string_view letters);
// Parses "A1:C4" or a single cell; rows/columns are ordered.
bool parseRangeName(std::string_view text, int* row1, int* col1, int* row2, int* col2);

} // namespace Xl
