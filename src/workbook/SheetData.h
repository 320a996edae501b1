#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <string_view>
#include <vector>

namespace Xl {

// How a cell stores its value in the sheet XML.
enum class CellKind : quint8
{
    Blank,        // no value (possibly a formula without a cached result)
    Number,       // t="n"
    Boolean,      // t="b"
    Error,        // t="e"
    SharedString, // t="s": `text` indexes the shared strings
    InlineString, // t="inlineStr"
    Text,         // t="str": a formula's text result, or a text constant
    Date,         // t="d": ISO 8601 text
};

struct Formula
{
    enum class Kind : quint8
    {
        Normal,
        Shared,
        Array,
        DataTable
    };
    QString text; // without "="; empty for the followers of a shared formula
    Kind kind = Kind::Normal;
    int sharedIndex = -1;       // "si"
    QString ref;                // "ref" of a shared master, an array or a data table
    QByteArray otherAttributes; // raw, each with a leading space
};

// Markup of a cell the engine does not interpret, kept as it was.
struct CellExtra
{
    QByteArray attributes;   // raw attributes besides r, s and t
    QByteArray inlineMarkup; // raw <is> element of a rich inline string
    QByteArray trailing;     // raw unknown child elements
};

struct CellRecord
{
    int column = 0;
    int style = 0;
    CellKind kind = CellKind::Blank;
    int text = -1;    // SharedString: shared string index; other text kinds: index into `strings`
    int formula = -1; // index into `formulas`
    int extra = -1;   // index into `extras`
    double number = 0;

    // What counts for CountA: a value, or a formula (even one returning "").
    bool hasContent() const { return kind != CellKind::Blank || formula >= 0; }
};

struct RowRecord
{
    int number = 0;
    QByteArray attributes;         // raw, without r and spans, each with a leading space
    QByteArray trailing;           // raw unknown children
    std::vector<CellRecord> cells; // ordered by column
};

// The <sheetData> of a worksheet in a compact form: about 32 bytes a cell.
class SheetData
{
public:
    std::vector<RowRecord> rows; // ordered by number
    std::vector<QString> strings;
    std::vector<Formula> formulas;
    std::vector<CellExtra> extras;
    QByteArray trailing; // raw unknown children of <sheetData>

    // Parses a whole <sheetData> element. False with `error` set on malformed
    // or unsafe XML.
    // `cellBudget` (shared by the sheets of a workbook) caps the cells kept;
    // running out is reported as `tooLarge`. Cells without value, format or
    // markup of their own are dropped, as they mean nothing.
    // `stoppedAt` receives the end of the </sheetData> tag (input after it is
    // not read); `rowBefore`, when given, is the row before the first one (for
    // rows without a number) and receives the last row read.
    bool parse(const char* begin, const char* end, QString* error, bool* unsafe,
               std::atomic<qint64>* cellBudget = nullptr, bool* tooLarge = nullptr,
               const char** stoppedAt = nullptr, int* rowBefore = nullptr);
    // Appends the rows of `more` (read from the part's next piece) and its
    // strings, formulas and extras, moving the cells' indexes along.
    void append(SheetData&& more);
    // Orders the rows by number; a repeated row number merges into one row,
    // a repeated cell keeping the last one.
    void sortRows();
    // Writes the element with element names prefixed by `prefix` ("x:" or "").
    void write(QByteArray& out, std::string_view prefix) const;

    int rowIndex(int row) const; // -1 when absent
    int lowerRow(int row) const; // index of the first row >= `row`
    const RowRecord* findRow(int row) const;
    RowRecord* findRow(int row);
    RowRecord& ensureRow(int row);
    const CellRecord* find(int row, int column) const;
    CellRecord* find(int row, int column);
    CellRecord& ensure(int row, int column);
    void erase(int row, int column);

    int addString(const QString& s);
    int addFormula(const Formula& f);
    int addExtra(const CellExtra& e);

    // Clears the value and formula of a cell (its style stays).
    void clearContent(CellRecord& cell);

    // Reads a row attribute from the raw attribute text ("" when absent).
    static QByteArray rowAttribute(const RowRecord& row, std::string_view name);
    static void setRowAttribute(RowRecord& row, std::string_view name, const QByteArray& value);
    static void removeRowAttribute(RowRecord& row, std::string_view name);
};

} // namespace Xl
