#pragma once

#include <QElapsedTimer>
#include <QString>

// Shared by the workbook benchmarks: sample workbooks and measurements.
namespace Bench {

// Writes `count` workbooks of `sheets` sheets × `rows` rows × `columns`
// columns into `folder` (names book001.xlsx ...): a title row, then rows of
// text, numbers and a date column.
bool writeFolder(const QString& folder, int count, int sheets, int rows, int columns);
// One workbook with one sheet of rows × columns cells.
bool writeWorkbook(const QString& path, int sheets, int rows, int columns);

// Peak resident memory of this process, in megabytes.
double peakMegabytes();

} // namespace Bench
