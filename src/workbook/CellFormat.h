#pragma once

#include <QString>

namespace Xl {

// The format of a cell in plain terms, as its workbook's styles define it.
struct CellFormat
{
    QString numberFormat; // format code ("General", "0.00%", ...)
    QString fontName;
    double fontSize = 11;
    bool bold = false;
    bool italic = false;
    QString fillColour;                         // "FFFFFF00" for a solid fill, "" for none
    QString left, right, top, bottom, diagonal; // border styles ("thin", ...), "" for none
    QString borderColour; // colour of the left border: "auto", "indexed:N", "rgb:AARRGGBB"
    bool diagonalUp = false, diagonalDown = false;
    QString horizontal, vertical; // alignment ("center", ...), "" for the default
};

} // namespace Xl
