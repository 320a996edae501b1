#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace Xl::FormulaRefs {

// Formula text as stored in a workbook (without the leading "=").

// Moves the relative parts of every A1 reference by (rows, columns), as a
// paste does; a reference pushed off the sheet becomes #REF!.
QString shift(const QString& formula, int rows, int columns);
// Renames the sheet in references that name it (compared without case).
QString renameSheet(const QString& formula, const QString& from, const QString& to);
// Replaces references into a removed sheet by #REF!.
QString dropSheet(const QString& formula, const QString& sheet);
// True when some reference names the sheet.
bool refersToSheet(const QString& formula, const QString& sheet);

// A rectangle of a sheet that a reference covers (whole rows or columns run
// to the sheet's edge).
struct SheetRange
{
    QString sheet;
    int firstRow = 1, firstColumn = 1, lastRow = 1, lastColumn = 1;
};

// Turns references into other sheets of the formula's workbook into references
// into an external book ("Data!A1" -> "[1]Data!A1"; `book` gives its number
// when the first such reference is met). `savedName`
// gives, for a sheet named in a reference, its name in the saved file; an empty
// answer leaves the reference as it is (a sheet the file does not hold, or one
// that stays in the workbook). Three-dimensional references stay as they are.
// The rectangles of the rewritten references go to `ranges`, in the names of
// the saved file.
QString externalize(const QString& formula, const std::function<int()>& book,
                    const std::function<QString(const QString& sheet)>& savedName, QList<SheetRange>* ranges);

// True when some reference points into another workbook ("[1]Data!A1").
bool hasExternalReference(const QString& formula);

// The sheet name as a reference prefix needs it: quoted when it is not a plain
// identifier ("'My Sheet'", "'It''s'"), without the "!".
QString quoteSheetName(const QString& name);

} // namespace Xl::FormulaRefs
