#pragma once

#include <QString>

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

// The sheet name as a reference prefix needs it: quoted when it is not a plain
// identifier ("'My Sheet'", "'It''s'"), without the "!".
QString quoteSheetName(const QString& name);

} // namespace Xl::FormulaRefs
