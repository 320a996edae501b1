#pragma once

#include "CellFormat.h"
#include "WorkbookError.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <pugixml.hpp>

#include <vector>

namespace Xl {

// One side of a cell border as the workbook stores it.
struct BorderLine
{
    QString style;  // "thin", "medium", ... ; empty for no line
    QString colour; // "auto", "indexed:N" or "rgb:AARRGGBB"; empty for none
};

enum class BorderSide
{
    Left,
    Right,
    Top,
    Bottom,
    Diagonal
};

// Index maps of one import from another workbook's styles, so that a style
// used by many cells is remapped once.
struct StyleImport
{
    QHash<int, int> xfs, cellStyleXfs, fonts, fills, borders, numFmts, dxfs;
};

// styles.xml: number formats, fonts, fills, borders and the cell formats
// (cellXfs) that cells refer to by index, plus the differential formats of
// conditional formatting. New entries are added only when no equal one exists.
class Styles
{
public:
    Styles();
    bool load(const QByteArray& data, const QString& part, WorkbookError* error);
    void createDefault();
    bool isModified() const { return m_modified; }
    QByteArray save() const;

    int xfCount() const { return int(m_cellXfs.items.size()); }
    int numFmtId(int xf) const;
    // The format code of a number format id (built-in or the workbook's own).
    QString formatCode(int numFmtId) const;
    // True when cells of this format show a date or a time.
    bool isDateStyle(int xf) const;
    // True when cells of this format show a day of the calendar (not a time
    // of day or an elapsed time alone): their serial numbers depend on the
    // workbook's date system.
    bool isCalendarStyle(int xf) const;
    // The number format code of a cell format (cached: asked for every cell
    // shown as text).
    QString numberFormatOf(int xf) const;
    double fontSize(int xf) const;
    CellFormat describe(int xf) const;
    bool isBold(int xf) const;

    // The index in this workbook of a cell format of `from` (and of the fonts,
    // fills, borders, number formats and cell style it uses).
    int importXf(const Styles& from, int xf, StyleImport& map);
    int importDxf(const Styles& from, int dxf, StyleImport& map);

    // A cell format like `xf` but with one border side, diagonal directions or
    // alignment changed.
    int withBorder(int xf, BorderSide side, const BorderLine& line);
    // Sets or (with an empty line) clears one diagonal direction.
    int withDiagonal(int xf, bool down, const BorderLine& line);
    int withAlignment(int xf, const QString& horizontal, const QString& vertical);

    // Format codes that show dates or times, as number format ids do.
    static bool isDateFormatCode(const QString& code);
    static bool isCalendarFormatCode(const QString& code);
    static bool isBuiltinDateFormat(int id);
    static QString builtinFormatCode(int id);

private:
    struct Collection
    {
        pugi::xml_node parent;
        std::vector<pugi::xml_node> items;
        QHash<QByteArray, int> index; // serialized item -> position
        bool indexed = false;
    };

    void reindex();
    void collect(Collection& c, const char* parent, const char* item);
    // Position of an item equal to `node` in `c`, appending a copy when none.
    int intern(Collection& c, const char* parentName, const char* itemName, pugi::xml_node node);
    pugi::xml_node scratch(const pugi::xml_node& copyOf);
    void dropScratch();
    int importNumFmt(const Styles& from, int id, StyleImport& map);
    int importPart(Collection& target, const char* parentName, const char* itemName, const Collection& source,
                   int index, QHash<int, int>& cache);
    int importStyleXf(const Styles& from, int id, StyleImport& map);
    pugi::xml_node remapParts(const Styles& from, const pugi::xml_node& source, StyleImport& map);
    pugi::xml_node xfNode(int xf) const;
    int withBorderNode(pugi::xml_node xf, pugi::xml_node border);
    pugi::xml_node fontOf(int xf) const;

    pugi::xml_document m_doc;
    pugi::xml_document m_scratch;
    Collection m_fonts, m_fills, m_borders, m_cellXfs, m_cellStyleXfs, m_dxfs;
    QHash<int, QString> m_numFmts; // custom codes by id
    mutable QHash<int, bool> m_dateXf;
    mutable QHash<int, QString> m_codeXf;
    bool m_modified = false;
};

} // namespace Xl
